// The simulated instrument's answers, byte for byte at the positions the
// program cuts them, its clock, its files and its faults.

#include "data/measurement_file.h"
#include "device/device_probe.h"
#include "device/instrument_protocol.h"
#include "common/formats.h"
#include "sim_answers.h"
#include "sim_instrument.h"
#include "sim_terminal.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime Noon(QDate(2024, 3, 1), QTime(12, 0, 0));

GridRow countRow(int row, const char* time, const char* br)
{
  return GridRow{
      {MeasurementGrid::countNumberCell(row, QString::fromLatin1(time)), QString::fromLatin1(br)}};
}

// count, count, separator, count: two records.
SimFile smallFile()
{
  return {instrumentFileName(QStringLiteral("SMALL"), QStringLiteral("DAT")),
          {GridRow{{TimeHeader, BrHeader}}, GridRow{}, countRow(2, "12:30:05", "-1,25"),
           countRow(3, "12:30:09", "05,43"), GridRow{}, countRow(5, "12:31:40", "99,99")}};
}

QByteArray ask(SimInstrument& instrument, const QList<QByteArray>& writes)
{
  QByteArray answer;
  for (const QByteArray& w : writes)
    answer += instrument.receive(w).bytes;
  return answer;
}

// The file lines of a listing: every CR LF starts one (header and trailer cut).
QList<QByteArray> listingLines(const QByteArray& answer)
{
  const QByteArray body =
      answer.mid(ListingHeaderLength, answer.size() - ListingHeaderLength - ListingTrailerLength);
  QList<QByteArray> lines = body.split('\n');
  lines.removeFirst();  // before the first pair
  for (QByteArray& l : lines)
    l.chop(l.endsWith('\r') ? 1 : 0);
  return lines;
}

long long bytesOfSize(const QByteArray& field)
{
  double kilo = 0.0;
  return fmt::readReal(QString::fromLatin1(field.trimmed()), &kilo) ? fmt::nearest(kilo * 1000)
                                                                    : -1;
}

}  // namespace

class TestSimInstrument : public QObject {
  Q_OBJECT

 private slots:
  void identification_data();
  void identification();
  void clockSetAndReadBack_data();
  void clockSetAndReadBack();
  void listingLayout_data();
  void listingLayout();
  void contentLayout();
  void deletion_data();
  void deletion();
  void faults_data();
  void faults();
  void demoFilesLookLikeWork();
  void programCutsWhatWasStored();
  void folderFiles();
  void pacedArrival_data();
  void pacedArrival();
};

void TestSimInstrument::identification_data()
{
  QTest::addColumn<QString>("model");
  QTest::addColumn<QString>("serial");
  QTest::addColumn<int>("modelAt");  // position from 1
  QTest::addColumn<int>("serialAt");

  QTest::newRow("RZ-37m") << "RZ-37m"
                          << "12345" << 4 << 12;
  QTest::newRow("RZ-48") << "RZ-48"
                         << "00417" << 4 << 11;
}

void TestSimInstrument::identification()
{
  QFETCH(QString, model);
  QFETCH(QString, serial);
  QFETCH(int, modelAt);
  QFETCH(int, serialAt);

  FixedClock clock(Noon);
  SimInstrument instrument({model, serial, {}}, demoFiles(), clock);
  const QByteArray answer = ask(instrument, {"7"});
  QCOMPARE(answer.mid(modelAt - 1, model.size()), model.toLatin1());
  QCOMPARE(answer.mid(serialAt - 1, 5), serial.toLatin1());
  QVERIFY(!answer.contains(model == "RZ-48" ? "RZ-37" : "RZ-48"));
  QVERIFY(!answer.contains(Prompt));  // nothing waits for a prompt after "7"
  QCOMPARE(deviceNameFromAnswer(answer),
           " " + model + "  SN" + serial);  // as the device list shows it
}

void TestSimInstrument::clockSetAndReadBack_data()
{
  QTest::addColumn<QList<QByteArray>>("writes");
  QTest::addColumn<int>("silenceMs");  // before the read
  QTest::addColumn<QString>("clock");  // date and time read back

  const QList<QByteArray> sync = {"2", "03", "03", "24", "0", "3", "09", "05", "07"};
  QTest::newRow("the program's nine writes") << sync << 0 << "03.03.2024 09:05:07";
  QTest::newRow("all in one piece")
      << QList<QByteArray>{"2030324031", "00000"} << 0 << "03.03.2024 10:00:00";
  QTest::newRow("and the clock runs on") << sync << 61000 << "03.03.2024 09:06:08";
  QTest::newRow("impossible date left alone")
      << QList<QByteArray>{"2", "31", "02", "24", "6"} << 0 << "01.03.2024 12:00:00";
  QTest::newRow("impossible time left alone")
      << QList<QByteArray>{"3", "25", "61", "00"} << 0 << "01.03.2024 12:00:00";
  QTest::newRow("unfinished command dropped after a pause")
      << QList<QByteArray>{"2", "03"} << 2500 << "01.03.2024 12:00:02";
}

void TestSimInstrument::clockSetAndReadBack()
{
  QFETCH(QList<QByteArray>, writes);
  QFETCH(int, silenceMs);
  QFETCH(QString, clock);

  FixedClock computer(Noon);
  SimInstrument instrument({}, demoFiles(), computer);
  for (const QByteArray& w : writes)
    QCOMPARE(instrument.receive(w).bytes, QByteArray());  // settings are not answered
  computer.sleep(silenceMs);
  const QByteArray answer = ask(instrument, {"1"});
  const int date = answer.indexOf("Date:");
  const int time = answer.indexOf("Time:");
  QVERIFY(date >= 0 && time >= 0);
  QCOMPARE(QString::fromLatin1(answer.mid(date + 5, 10) + ' ' + answer.mid(time + 5, 8)), clock);
  QVERIFY(answer.startsWith('1'));
  QVERIFY(!answer.contains(Prompt));
  QCOMPARE(clockFromAnswer(answer), clock.replace(' ', "  "));
}

void TestSimInstrument::listingLayout_data()
{
  QTest::addColumn<bool>("demo");
  QTest::newRow("demo files") << true;
  QTest::newRow("no files") << false;
}

void TestSimInstrument::listingLayout()
{
  QFETCH(bool, demo);

  FixedClock clock(Noon);
  const SimFileSet files = demo ? demoFiles() : SimFileSet();
  SimInstrument instrument({}, files, clock);
  const QByteArray answer = ask(instrument, {"4"});

  QVERIFY(answer.startsWith("4"));
  QVERIFY(answer.endsWith(Prompt));
  QCOMPARE(answer.count(Prompt), 1);
  QVERIFY(answer.right(ListingTrailerLength).contains(Prompt));
  const QList<QByteArray> lines = listingLines(answer);
  QCOMPARE(lines.size(), files.files().size());
  if (!demo)
    QCOMPARE(answer.size(), ListingHeaderLength + ListingTrailerLength);
  for (int i = 0; i < lines.size(); ++i) {
    const QByteArray& line = lines[i];
    QCOMPARE(line.size(), 13 + 6 + 15);
    QCOMPARE(line.left(13), files.files()[i].name.toLatin1());
    QCOMPARE(line.at(9), '.');
    QCOMPARE(line.mid(13, 6), QByteArray(6, ' '));
    QVERIFY(line.at(13 + 6 + 14) != ' ');  // right-aligned
    // The size is what the download will bring, in bytes.
    const QByteArray content = ask(instrument, {"5", line.left(13), "\r"});
    QCOMPARE(bytesOfSize(line.mid(19)), content.size());
  }
}

void TestSimInstrument::contentLayout()
{
  FixedClock clock(Noon);
  const SimFile file = smallFile();
  SimInstrument instrument({}, SimFileSet({file}), clock);
  const QByteArray answer = ask(instrument, {"5", file.name.toLatin1(), "\r"});

  QVERIFY(answer.startsWith('5'));
  QVERIFY(answer.endsWith(Prompt));
  QCOMPARE(answer.count(Prompt), 1);
  const QByteArray body =
      answer.mid(ContentHeaderLength, answer.size() - ContentHeaderLength - ContentTrailerLength);
  QCOMPARE(body, QByteArray("\r\n12:30:05 -1.25"
                            "\r\n12:30:09 05.43"
                            "\r\n              "
                            "\r\n12:31:40 99.99"
                            "\r\n"));
  // Any name the directory shows may be asked for with its blanks kept, or without.
  QCOMPARE(ask(instrument, {"5SMALL.DAT\r"}), answer);
}

void TestSimInstrument::deletion_data()
{
  QTest::addColumn<QByteArray>("name");
  QTest::addColumn<bool>("deleted");

  QTest::newRow("a listed file") << QByteArray("WELD_SEAM.DAT") << true;
  QTest::newRow("a file with blanks in its name") << QByteArray("SPOTS    .DAT") << true;
  QTest::newRow("no such file") << QByteArray("NOTHERE  .DAT") << false;
  QTest::newRow("no name") << QByteArray() << false;
}

void TestSimInstrument::deletion()
{
  QFETCH(QByteArray, name);
  QFETCH(bool, deleted);

  FixedClock clock(Noon);
  SimInstrument instrument({}, demoFiles(), clock);
  const int before = int(instrument.files().files().size());
  const QByteArray answer = ask(instrument, {"6", name, "\r"});
  QCOMPARE(answer.contains("File deleted!"), deleted);
  QVERIFY(answer.endsWith(Prompt));
  QCOMPARE(int(listingLines(ask(instrument, {"4"})).size()), before - int(deleted));
  if (deleted)
    QCOMPARE(instrument.files().find(QString::fromLatin1(name)), nullptr);
}

void TestSimInstrument::faults_data()
{
  QTest::addColumn<int>("fault");
  QTest::addColumn<QList<QByteArray>>("writes");
  QTest::addColumn<QString>("expect");

  const QList<QByteArray> download = {"5", "PIPE_3X12.DAT", "\r"};
  QTest::newRow("no clock: silence")
      << int(SimFault::NoClock) << QList<QByteArray>{"1"} << "nothing";
  QTest::newRow("no clock: files still answered")
      << int(SimFault::NoClock) << QList<QByteArray>{"4"} << "prompt";
  QTest::newRow("no prompt: listing")
      << int(SimFault::NoPrompt) << QList<QByteArray>{"4"} << "no prompt";
  QTest::newRow("no prompt: download") << int(SimFault::NoPrompt) << download << "no prompt";
  QTest::newRow("garbage: identification")
      << int(SimFault::Garbage) << QList<QByteArray>{"7"} << "noise";
  QTest::newRow("garbage: download") << int(SimFault::Garbage) << download << "noise";
  QTest::newRow("drop: halfway through a download")
      << int(SimFault::Drop) << download << "half, dropped";
}

void TestSimInstrument::faults()
{
  QFETCH(int, fault);
  QFETCH(QList<QByteArray>, writes);
  QFETCH(QString, expect);

  FixedClock clock(Noon);
  SimInstrument sound({}, demoFiles(), clock);
  SimInstrument faulty({QStringLiteral("RZ-37m"), QStringLiteral("00417"), {SimFault(fault)}},
                       demoFiles(), clock);
  const QByteArray normal = ask(sound, writes);
  QByteArray answer;
  bool dropped = false;
  for (const QByteArray& w : writes) {
    const SimReply reply = faulty.receive(w);
    answer += reply.bytes;
    dropped = dropped || reply.dropLink;
  }
  QCOMPARE(dropped, expect == "half, dropped");
  if (expect == "nothing") {
    QCOMPARE(answer, QByteArray());
  } else if (expect == "prompt") {
    QCOMPARE(answer, normal);
  } else if (expect == "no prompt") {
    QVERIFY(!answer.contains("Command:"));
    QCOMPARE(answer, normal.left(normal.size() - Prompt.size()));
  } else if (expect == "noise") {
    QVERIFY(!answer.isEmpty());
    for (char c : answer)
      QVERIFY(static_cast<unsigned char>(c) >= 0x80);
  } else {
    QCOMPARE(answer, normal.left(normal.size() / 2));
  }
}

void TestSimInstrument::demoFilesLookLikeWork()
{
  struct Shape {
    QString name;
    QList<int> records;  // counts per record
  };
  const QList<Shape> shapes = {{"PIPE_3X12.DAT", {12, 12, 12}},
                               {"PIPE_6X12.DAT", {12, 12, 12, 12, 12, 12}},
                               {"WELD_SEAM.DAT", {48}},
                               {"SPOTS    .DAT", {3, 5, 2, 4}}};
  const SimFileSet files = demoFiles();
  QCOMPARE(files.files().size(), shapes.size());
  for (int i = 0; i < shapes.size(); ++i) {
    const SimFile& f = files.files()[i];
    QCOMPARE(f.name, shapes[i].name);
    QList<int> records{0};
    for (int r = 2; r < f.rows.size(); ++r) {
      const QString& br = f.rows[r].cell[1];
      if (br.isEmpty()) {
        records << 0;
        continue;
      }
      ++records.last();
      double value = 0;
      QVERIFY2(br.size() == 5 && fmt::readReal(br, &value), qPrintable(br));
      QCOMPARE(f.rows[r].cell[0],
               MeasurementGrid::countNumberCell(r, MeasurementGrid::timeOf(f.rows[r].cell[0])));
    }
    QCOMPARE(records, shapes[i].records);
  }
}

// The program's own cutting of the answers gives back each file's name, its
// size as the download's length, and its rows as stored.
void TestSimInstrument::programCutsWhatWasStored()
{
  FixedClock clock(Noon);
  const SimFileSet files = demoFiles();
  SimInstrument instrument({}, files, clock);
  const QString listing = instrument::fromWire(ask(instrument, {"4"}));
  const QVector<instrument::FileEntry> entries = instrument::listingEntries(
      instrument::cutAnswer(listing, ListingHeaderLength, ListingTrailerLength));
  QCOMPARE(entries.size(), files.files().size());
  for (int i = 0; i < entries.size(); ++i) {
    const SimFile& file = files.files()[i];
    QCOMPARE(entries[i].name, file.name);
    const QByteArray content = ask(instrument, {"5", entries[i].name.toLatin1(), "\r"});
    int expected = 0;
    QVERIFY(instrument::sizeInBytes(entries[i].size, &expected));
    QCOMPARE(expected, int(content.size()));
    const QVector<GridRow> rows = instrument::contentRows(instrument::cutAnswer(
        instrument::fromWire(content), ContentHeaderLength, ContentTrailerLength));
    QCOMPARE(rows.size(), file.rows.size());
    for (int r = 2; r < rows.size(); ++r) {
      QCOMPARE(rows[r].cell[0], file.rows[r].cell[0]);
      QCOMPARE(rows[r].cell[1], file.rows[r].cell[1]);
    }
  }
}

void TestSimInstrument::folderFiles()
{
  QTemporaryDir dir;
  auto write = [&](const QString& name, const QByteArray& text) {
    QFile f(dir.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
  };
  write("pipe-north-2024.csv",
        "10:42:05;05,43\r\n10:42:09;-1,50\r\n              \r\n10:43:00;12,00\r\n");
  write("a.CSV", "08:00:00;01,00\r\n");
  write("broken.csv", "10:42:05;fifty\r\n");
  write("notes.txt", "not a measurement\r\n");

  QStringList problems;
  const SimFileSet files = ::folderFiles(dir.path(), &problems);
  QCOMPARE(problems.size(), 1);
  QVERIFY2(problems.first().contains("broken.csv"), qPrintable(problems.first()));
  QCOMPARE(files.files().size(), 2);
  QCOMPARE(files.files()[0].name, "a        .CSV");
  QCOMPARE(files.files()[1].name, "pipe-nort.csv");

  FixedClock clock(Noon);
  SimInstrument instrument({}, files, clock);
  const QByteArray answer = ask(instrument, {"5", "pipe-nort.csv", "\r"});
  QCOMPARE(
      answer.mid(ContentHeaderLength, answer.size() - ContentHeaderLength - ContentTrailerLength),
      QByteArray("\r\n10:42:05 05.43\r\n10:42:09 -1.50\r\n              \r\n10:43:00 12.00\r\n"));
  QStringList none;
  QVERIFY(::folderFiles(dir.filePath("missing"), &none).files().isEmpty());
  QCOMPARE(none.size(), 1);
}

void TestSimInstrument::pacedArrival_data()
{
  QTest::addColumn<long long>("bytes");
  QTest::addColumn<long long>("microseconds");

  // 10 bits a byte at 115 200 baud; a short last packet waits for the latency timer.
  QTest::newRow("one full packet") << 62LL << 5381LL;
  QTest::newRow("ten full packets") << 620LL << 53819LL;
  QTest::newRow("a short packet") << 1LL << 86LL + 16000;
  QTest::newRow("full packets and a short one") << 100LL << 8680LL + 16000;
}

void TestSimInstrument::pacedArrival()
{
  QFETCH(long long, bytes);
  QFETCH(long long, microseconds);
  QCOMPARE(::pacedArrival(bytes).count(), microseconds);
}

QTEST_GUILESS_MAIN(TestSimInstrument)
#include "test_sim_instrument.moc"
