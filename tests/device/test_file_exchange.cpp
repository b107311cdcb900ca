// The download progress, the steps of "Delete all" and the silence watch.

#include "device/file_exchange.h"
#include "common/clock.h"

#include <QSignalSpy>
#include <QTest>

class TestFileExchange : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void progress_data()
  {
    QTest::addColumn<int>("received");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("status");
    QTest::newRow("half") << 617 << 1234 << " Loading file: 50%";
    QTest::newRow("nothing yet") << 0 << 1234 << " Loading file: 0%";
    QTest::newRow("header and trailer past the size") << 1397 << 1234 << " Loading file: 100%";
    QTest::newRow("half a percent rounds to even") << 1 << 200 << " Loading file: 0%";
    QTest::newRow("one and a half to even") << 3 << 200 << " Loading file: 2%";
    QTest::newRow("size zero shows bytes") << 617 << 0 << " Loading file: 617 bytes";
    QTest::newRow("large file") << 2000000000 << 2000000000 << " Loading file: 100%";
  }
  void progress()
  {
    QFETCH(int, received);
    QFETCH(int, expected);
    QFETCH(QString, status);
    QCOMPARE(loadingStatusText(received, expected), status);
  }

  void listingSteps_data()
  {
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("next");
    QTest::addColumn<bool>("look");
    QTest::addColumn<bool>("deleteFirst");
    QTest::addColumn<bool>("enableGrid");
    QTest::newRow("idle") << 2 << "A        .TXT" << 2 << true << false << false;
    QTest::newRow("step sent") << 1 << "A        .TXT" << 1 << false << false << false;
    QTest::newRow("next step") << 0 << "A        .TXT" << 1 << false << true << false;
    QTest::newRow("nothing left to delete") << 0 << "" << 2 << true << false << true;
  }
  void listingSteps()
  {
    QFETCH(int, state);
    QFETCH(QString, first);
    const ListingStep s = afterListing(static_cast<unsigned char>(state), first);
    QTEST(int(s.state), "next");
    QTEST(s.fileListLook, "look");
    QTEST(s.deleteFirst, "deleteFirst");
    QTEST(s.enableGrid, "enableGrid");
  }

  void deletionSteps_data()
  {
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("next");
    QTest::addColumn<bool>("enableGrid");
    QTest::addColumn<bool>("sendListing");
    QTest::newRow("single deletion") << 2 << 5 << 2 << true << true;
    QTest::newRow("delete all, more left") << 1 << 4 << 0 << false << true;
    QTest::newRow("delete all, last one") << 1 << 2 << 2 << true << true;
    QTest::newRow("waiting for the listing") << 0 << 4 << 0 << false << false;
  }
  void deletionSteps()
  {
    QFETCH(int, state);
    QFETCH(int, rows);
    const DeletionStep s = afterDeletion(static_cast<unsigned char>(state), rows);
    QTEST(int(s.state), "next");
    QTEST(s.enableGrid, "enableGrid");
    QTEST(s.sendListing, "sendListing");
  }

  // "Delete all" over a list of three: each step deletes the file then listed
  // first, lists again, and the chain stops after the last one.
  void deleteAllChain()
  {
    QStringList files{"A", "B", "C"};
    QStringList deleted;
    int listings = 0;
    unsigned char state = DeleteAllStep;
    deleted << files.takeFirst();  // the command itself deletes row 1
    for (int guard = 0; guard < 20; ++guard) {
      const DeletionStep d = afterDeletion(state, static_cast<int>(files.size()) + 2);
      state = d.state;
      if (!d.sendListing)
        break;
      ++listings;
      const ListingStep l = afterListing(state, files.value(0));
      state = l.state;
      if (!l.deleteFirst)
        break;
      deleted << files.takeFirst();
    }
    QCOMPARE(deleted, (QStringList{"A", "B", "C"}));
    QCOMPARE(listings, 3);
    QCOMPARE(int(state), int(Idle));
  }

  void silenceWatch()
  {
    FixedClock clock(QDateTime(QDate(2024, 3, 3), QTime(9, 0)));
    FileExchange exchange(clock);
    QSignalSpy silence(&exchange, &FileExchange::silence);
    int restored = 0;

    QVERIFY(!exchange.checkSilence());  // nothing asked, nothing awaited
    exchange.begin(FileExchange::Request::Content, [&] { ++restored; });
    clock.sleep(9999);
    QVERIFY(!exchange.checkSilence());
    exchange.heard();  // a byte restarts the ten seconds
    clock.sleep(9999);
    QVERIFY(!exchange.checkSilence());
    exchange.next(FileExchange::Request::Listing);
    clock.sleep(10000);
    QVERIFY(exchange.checkSilence());
    QCOMPARE(silence.size(), 1);
    QCOMPARE(silence.at(0).at(0).value<FileExchange::Request>(), FileExchange::Request::Listing);

    exchange.abandon();
    exchange.abandon();
    QCOMPARE(restored, 1);  // the window is given back once, with the first request's picture
    QVERIFY(!exchange.underWay());
    clock.sleep(20000);
    QVERIFY(!exchange.checkSilence());

    exchange.begin(FileExchange::Request::Deletion, [&] { ++restored; });
    exchange.finish();
    exchange.abandon();
    QCOMPARE(restored, 1);  // an exchange that ended well has nothing to give back
  }
};

QTEST_GUILESS_MAIN(TestFileExchange)
#include "test_file_exchange.moc"
