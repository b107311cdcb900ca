// Cutting the instrument's answers, written here byte by byte as the
// instrument sends them, and the prompt search over a growing buffer.

#include "device/instrument_protocol.h"

#include <QTest>

using namespace instrument;

namespace {

const QString CRLF = QStringLiteral("\r\n");

// A trailer of exactly `length` characters ending with the prompt.
QString trailerOf(int length)
{
  const QString end = CRLF + QStringLiteral("Command:");
  return CRLF + QString(length - 2 - end.size(), u'#') + end;
}

QString fileLine(const QString& name9, const QString& ext3, const QString& size15)
{
  return CRLF + name9 + u' ' + ext3 + QStringLiteral(" 12:00") + size15;
}

QString listing(const QStringList& lines)
{
  return QStringLiteral("4\r\n") + lines.join(QString()) + trailerOf(ListingTrailerLength);
}

QString content(const QString& body)
{
  return QStringLiteral("5\r\nDATA1    .TXT 0000000000") + body + trailerOf(ContentTrailerLength);
}

QString countLine(const QString& time, const QString& br)
{
  return CRLF + time + u' ' + br;
}

const QString Blank14 = CRLF + QString(14, u' ');

}  // namespace

Q_DECLARE_METATYPE(QVector<FileEntry>)

class TestInstrumentProtocol : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void fixedLengthsOfTheHandBuiltAnswers()
  {
    QCOMPARE(trailerOf(ListingTrailerLength).size(), 141);
    QCOMPARE(content(QString()).size(), 27 + 136);
    QCOMPARE(fileLine("DATA1    ", "TXT", QString(15, u' ')).size(), 36);
  }

  void listingFields_data()
  {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QVector<FileEntry>>("files");

    QTest::newRow("three files") << listing({fileLine("DATA1    ", "TXT", "          1,234"),
                                             fileLine("PIPE 12  ", "DAT", "        320,016"),
                                             fileLine("A        ", "   ", "              0")})
                                 << QVector<FileEntry>{{"DATA1    .TXT", "1,234"},
                                                       {"PIPE 12  .DAT", "320,016"},
                                                       {"A        .   ", "0"}};
    QTest::newRow("no file") << listing({}) << QVector<FileEntry>{};
    QTest::newRow("shorter than header and trailer")
        << QStringLiteral("4\r\nCommand:") << QVector<FileEntry>{};
    QTest::newRow("size field cut short by the end")
        << listing({fileLine("DATA1    ", "TXT", "   17")})
        << QVector<FileEntry>{{"DATA1    .TXT", "17"}};
  }
  void listingFields()
  {
    QFETCH(QString, answer);
    QFETCH(QVector<FileEntry>, files);
    QCOMPARE(listingEntries(cutAnswer(answer, ListingHeaderLength, ListingTrailerLength)), files);
  }

  void contentRows_data()
  {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("cells");  // column 0 | column 1 from row 2 on

    QTest::newRow("two records, separator of 14 blanks")
        << countLine("12:30:05", "-1.25") + countLine("12:30:06", "05.43") + Blank14 +
               countLine("12:31:00", "10.00") + CRLF
        << QStringList{"1) 12:30:05|-1,25", "2) 12:30:06|05,43", "|", "4) 12:31:00|10,00"};
    QTest::newRow("separator as an empty line")
        << countLine("10:00:00", "01.00") + CRLF + countLine("10:00:01", "02.00") + CRLF
        << QStringList{"1) 10:00:00|01,00", "|", "3) 10:00:01|02,00"};
    QTest::newRow("no count") << CRLF << QStringList{};
    QTest::newRow("nothing between header and trailer") << QString() << QStringList{};
  }
  void contentRows()
  {
    QFETCH(QString, body);
    QFETCH(QStringList, cells);
    const QVector<GridRow> rows = instrument::contentRows(
        cutAnswer(content(body), ContentHeaderLength, ContentTrailerLength));
    QCOMPARE(rows.size(), cells.size() + 2);
    QCOMPARE(rows[0].cell[0], QStringLiteral(" Time"));
    QCOMPARE(rows[0].cell[1], QStringLiteral(" Br, mT"));
    QCOMPARE(rows[1].cell[0], QStringLiteral("Return"));
    QCOMPARE(rows[1].cell[1], QString());
    for (int i = 0; i < cells.size(); ++i)
      QCOMPARE(rows[i + 2].cell[0] + u'|' + rows[i + 2].cell[1], cells[i]);
    QCOMPARE(firstUnreadableCount(rows), -1);
  }

  void damagedCountIsFound()
  {
    const QString body = countLine("12:30:05", "05.43") + countLine("12:3\x01:06", "x5.4?") + CRLF;
    const auto rows = instrument::contentRows(
        cutAnswer(content(body), ContentHeaderLength, ContentTrailerLength));
    QCOMPARE(firstUnreadableCount(rows), 3);
  }

  void sizeInBytes_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("bytes");
    QTest::newRow("thousands") << "1,234" << true << 1234;
    QTest::newRow("below a thousand") << "0,617" << true << 617;
    QTest::newRow("whole") << "320" << true << 320000;
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("not a number") << "12a" << false << -7;
    QTest::newRow("decimal point") << "1.234" << false << -7;
    QTest::newRow("negative reads as nothing") << "-1,5" << true << 0;
    // Beyond what an int holds: no instrument's file, so the size is unknown.
    QTest::newRow("largest int") << "2147483,647" << true << 2147483647;
    QTest::newRow("one past the largest int") << "2147483,648" << true << 0;
    QTest::newRow("twenty digits") << "99999999999999999999" << true << 0;
    QTest::newRow("1e300") << "1e300" << true << 0;
    QTest::newRow("-1e300") << "-1e300" << true << 0;
  }
  void sizeInBytes()
  {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, bytes);
    int got = -7;
    QCOMPARE(instrument::sizeInBytes(text, &got), ok);
    QCOMPARE(got, bytes);
  }

  // The prompt is found wherever the receive events split it, and a buffer
  // changed behind the scanner's back is searched again from its start.
  void promptAcrossReceiveEvents_data()
  {
    QTest::addColumn<int>("chunk");
    for (int c : {1, 2, 3, 7, 8, 9, 64, 100000})
      QTest::newRow(qPrintable(QString::number(c))) << c;
  }
  void promptAcrossReceiveEvents()
  {
    QFETCH(int, chunk);
    const QString answer = listing({fileLine("DATA1    ", "TXT", "          1,234")});
    PromptScanner scanner;
    QString buffer;
    int foundAt = -1;
    for (qsizetype at = 0; at < answer.size() && foundAt < 0; at += chunk) {
      const qsizetype before = buffer.size();
      buffer += answer.mid(at, chunk);
      if (scanner.found(buffer, before))
        foundAt = static_cast<int>(buffer.size());
    }
    QCOMPARE(foundAt, static_cast<int>(answer.size()));
  }
  void promptInABufferChangedElsewhere()
  {
    PromptScanner scanner;
    QString buffer = QString(50, u'x');
    QVERIFY(!scanner.found(buffer, 0));
    // Connect empties the buffer; the next answer arrives in one piece.
    buffer = QStringLiteral("6\r\nFile deleted!\r\nCommand:") + QString(40, u' ');
    QVERIFY(scanner.found(buffer, 0));
    QVERIFY(!scanner.found(QStringLiteral("Command"), 0));
  }

  // What the simulator and the benchmarks send is cut back to what they meant.
  void builtAnswersCutBack()
  {
    const QVector<FileEntry> files{{padFileName("DATA1", "TXT"), sizeText(1234)},
                                   {padFileName("B", "CSV"), sizeText(617)}};
    QCOMPARE(files[1].size, QStringLiteral("0,617"));
    const QString l = buildListingAnswer(files);
    QCOMPARE(listingEntries(cutAnswer(l, ListingHeaderLength, ListingTrailerLength)), files);
    QVERIFY(l.endsWith(Prompt));

    const QVector<QVector<Count>> records{{{"12:00:00", "05.43"}, {"12:00:01", "-1.25"}},
                                          {{"12:05:00", "19.99"}}};
    const QString c = buildContentAnswer(files[0].name, records);
    QCOMPARE(c.size(), 27 + 3 * 16 + 16 + 2 + 136);
    const auto rows =
        instrument::contentRows(cutAnswer(c, ContentHeaderLength, ContentTrailerLength));
    QCOMPARE(rows.size(), 6);
    QCOMPARE(rows[3].cell[1], QStringLiteral("-1,25"));
    QVERIFY(rows[4].cell[0].isEmpty() && rows[4].cell[1].isEmpty());
    QCOMPARE(rows[5].cell[0], QStringLiteral("4) 12:05:00"));

    QVERIFY(buildDeletionAnswer(files[0].name).contains(FileDeleted));
  }
};

QTEST_GUILESS_MAIN(TestInstrumentProtocol)
#include "test_instrument_protocol.moc"
