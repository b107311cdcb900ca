// The measurement file reader and writer: line forms, round trip, append,
// and that failures keep what the user had.

#include "data/measurement_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include "support/test_files.h"

#include <sys/resource.h>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

// Fills g from file-like lines through the reader itself.
void load(MeasurementGrid& g, const QByteArray& content)
{
  MeasurementFileError err;
  auto rows = parseMeasurementFile(content, &err);
  QVERIFY2(rows.has_value(), qPrintable(err.message()));
  g.replaceRows(*rows);
}

QByteArray manyCountLines(int n)
{
  QByteArray out;
  for (int i = 0; i < n; ++i)
    out += "10:42:05;05,43\r\n";
  return out;
}

}  // namespace

class TestMeasurementFile : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void readsLineForms_data();
  void readsLineForms();
  void badLineIsRefusedAndNamed_data();
  void badLineIsRefusedAndNamed();
  void unreadableFileGivesTheSystemReason();
  void roundTripOfTwoRecords();
  void appendAddsRecordsAfterOldData_data();
  void appendAddsRecordsAfterOldData();
  void failedRewriteKeepsTheOldFile();
  void failedAppendKeepsTheOldFile();
  void uncreatableFileGivesPathAndReason();
  void namesAndTexts();
};

void TestMeasurementFile::readsLineForms_data()
{
  QTest::addColumn<QByteArray>("line");
  QTest::addColumn<QString>("countCell");  // "" for a separator row
  QTest::addColumn<QString>("brCell");

  QTest::newRow("count line") << QByteArray("10:42:05;05,43") << "2) 10:42:05"
                              << "05,43";
  QTest::newRow("25 characters with a date")
      << QByteArray("07.12.2026;10:42:05;05,43") << "2) 10:42:05"
      << "05,43";
  QTest::newRow("decimal point") << QByteArray("10:42:05;05.43") << "2) 10:42:05"
                                 << "05,43";
  QTest::newRow("any character at 9") << QByteArray("10:42:05,12,07") << "2) 10:42:05"
                                      << "12,07";
  QTest::newRow("trailing blanks") << QByteArray("10:42:05;05,43   ") << "2) 10:42:05"
                                   << "05,43";
  QTest::newRow("empty line") << QByteArray("") << ""
                              << "";
  QTest::newRow("14 blanks") << QByteArray(14, ' ') << ""
                             << "";
}

void TestMeasurementFile::readsLineForms()
{
  QFETCH(QByteArray, line);
  QFETCH(QString, countCell);
  QFETCH(QString, brCell);
  // The line sits between two counts, and is tried with each line end an
  // editor may write.
  for (const QByteArray& eol : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")}) {
    const QByteArray content = "09:00:00;01,00" + eol + line + eol + "09:00:02;01,50" + eol;
    MeasurementFileError err;
    const auto rows = parseMeasurementFile(content, &err);
    QVERIFY2(rows.has_value(), qPrintable(err.message()));
    QCOMPARE(rows->size(), 5);
    QCOMPARE((*rows)[0].cell[0], TimeHeader);
    QCOMPARE((*rows)[0].cell[1], BrHeader);
    QCOMPARE((*rows)[1].cell[0], QString());
    QCOMPARE((*rows)[2].cell[0], QStringLiteral("1) 09:00:00"));
    QCOMPARE((*rows)[3].cell[0], countCell);
    QCOMPARE((*rows)[3].cell[1], brCell);
    QCOMPARE((*rows)[4].cell[0], QStringLiteral("3) 09:00:02"));
  }
}

void TestMeasurementFile::badLineIsRefusedAndNamed_data()
{
  QTest::addColumn<QByteArray>("badLine");
  QTest::newRow("13 blanks") << QByteArray(13, ' ');
  QTest::newRow("hour without leading zero") << QByteArray("9:42:05;05,43");
  QTest::newRow("Br without leading zero") << QByteArray("10:42:05;5,43");
  QTest::newRow("short line") << QByteArray("10:42");
  QTest::newRow("text") << QByteArray("Time;Br");
}

void TestMeasurementFile::badLineIsRefusedAndNamed()
{
  QFETCH(QByteArray, badLine);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("survey.csv"));
  putFile(path, "10:42:05;05,43\r\n10:42:06;05,44\r\n\r\n" + badLine + "\r\n10:42:08;05,46\r\n");

  MeasurementFileError err;
  QVERIFY(!readMeasurementFile(path, &err).has_value());
  QCOMPARE(err.kind, MeasurementFileError::Kind::BadLine);
  QCOMPARE(err.line, 4);
  QCOMPARE(err.lineText, QString::fromLatin1(badLine));
  const QString msg = err.message();
  QVERIFY2(msg.contains(QStringLiteral("survey.csv")), qPrintable(msg));
  QVERIFY2(msg.contains(QStringLiteral("line 4")), qPrintable(msg));
  QVERIFY2(msg.contains(u'"' + QString::fromLatin1(badLine) + u'"'), qPrintable(msg));
}

void TestMeasurementFile::unreadableFileGivesTheSystemReason()
{
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("missing.csv"));
  MeasurementFileError err;
  QVERIFY(!readMeasurementFile(path, &err).has_value());
  QCOMPARE(err.kind, MeasurementFileError::Kind::Read);
  QVERIFY(!err.reason.isEmpty());
  QVERIFY(err.message().contains(path));
  QVERIFY(err.message().contains(err.reason));
}

void TestMeasurementFile::roundTripOfTwoRecords()
{
  const QByteArray written =
      "10:42:05;05,43\r\n10:42:06;05,51\r\n              \r\n11:00:00;12,07\r\n";
  MeasurementGrid grid;
  load(grid, written);
  QCOMPARE(grid.RowCount(), 6);
  QCOMPARE(grid.countRecords(), 2);
  QCOMPARE(grid.cell(5, 0), QStringLiteral("4) 11:00:00"));

  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("two.csv"));
  MeasurementFileError err;
  QVERIFY(writeMeasurementFile(path, measurementLines(grid, 2, grid.RowCount() - 1),
                               MeasurementWriteMode::Create, &err));
  QCOMPARE(fileBytes(path), written);

  const auto back = readMeasurementFile(path, &err);
  QVERIFY(back.has_value());
  QCOMPARE(back->size(), grid.RowCount());
  for (int r = 0; r < grid.RowCount(); ++r) {
    QCOMPARE((*back)[r].cell[0], grid.cell(r, 0));
    QCOMPARE((*back)[r].cell[1], grid.cell(r, 1));
  }
  // The rows written are clamped to the data rows.
  QCOMPARE(measurementLines(grid, 0, 99), written);
  QCOMPARE(measurementLines(grid, 5, 5), QByteArray("11:00:00;12,07\r\n"));
}

void TestMeasurementFile::appendAddsRecordsAfterOldData_data()
{
  QTest::addColumn<QByteArray>("oldFile");
  const QByteArray threeRecords =
      "08:00:00;01,00\r\n\r\n08:00:02;01,20\r\n"
      "              \r\n08:00:04;01,40\r\n";
  QTest::newRow("three records") << threeRecords;
  // Written by hand without a last line end: the new records must not merge
  // into the last old one.
  QTest::newRow("no last line end") << threeRecords.chopped(2);
}

void TestMeasurementFile::appendAddsRecordsAfterOldData()
{
  QFETCH(QByteArray, oldFile);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("old.csv"));
  putFile(path, oldFile);

  MeasurementGrid twoRecords;
  load(twoRecords, "09:00:00;02,00\r\n\r\n09:00:02;02,20\r\n");
  MeasurementFileError err;
  QVERIFY(writeMeasurementFile(path, measurementLines(twoRecords, 2, 99),
                               MeasurementWriteMode::Append, &err));
  const QByteArray now = fileBytes(path);
  QVERIFY(now.startsWith(oldFile));

  MeasurementGrid back;
  load(back, now);
  QCOMPARE(back.countRecords(), 5);
  QCOMPARE(back.cell(back.RowCount() - 1, 1), QStringLiteral("02,20"));
  QCOMPARE(back.cell(back.RowCount() - 4, 1), QString());  // the separator line added
  QCOMPARE(back.cell(back.RowCount() - 5, 1), QStringLiteral("01,40"));
}

void TestMeasurementFile::failedRewriteKeepsTheOldFile()
{
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("keep.csv"));
  const QByteArray old = manyCountLines(3);
  putFile(path, old);

  MeasurementFileError err;
  {
    FileSizeLimit limit(4096);
    QVERIFY(!writeMeasurementFile(path, manyCountLines(1000), MeasurementWriteMode::Rewrite, &err));
  }
  QCOMPARE(err.kind, MeasurementFileError::Kind::Write);
  QCOMPARE(err.reason, QString::fromLocal8Bit(std::strerror(EFBIG)));
  QCOMPARE(fileBytes(path), old);
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.csv")});
}

void TestMeasurementFile::failedAppendKeepsTheOldFile()
{
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("keep.csv"));
  const QByteArray old = manyCountLines(100);
  putFile(path, old);

  MeasurementFileError err;
  {
    FileSizeLimit limit(4096);
    QVERIFY(!writeMeasurementFile(path, manyCountLines(1000), MeasurementWriteMode::Append, &err));
  }
  QCOMPARE(err.kind, MeasurementFileError::Kind::Append);
  QCOMPARE(err.reason, QString::fromLocal8Bit(std::strerror(EFBIG)));
  QCOMPARE(fileBytes(path), old);
  QVERIFY(err.message().contains(path));
}

void TestMeasurementFile::uncreatableFileGivesPathAndReason()
{
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("no/such/folder/new.csv"));
  MeasurementFileError err;
  QVERIFY(!writeMeasurementFile(path, manyCountLines(2), MeasurementWriteMode::Create, &err));
  QCOMPARE(err.kind, MeasurementFileError::Kind::Write);
  QVERIFY(!QFile::exists(path));
  QVERIFY(err.message().contains(path));
  QVERIFY(!err.reason.isEmpty() && err.message().contains(err.reason));
}

void TestMeasurementFile::namesAndTexts()
{
  QCOMPARE(proposedMeasurementFileName(QDate(2026, 12, 7)), QStringLiteral("07122026"));
  const QList<QPair<QString, QString>> names = {
      {"data.txt", "data.txt.csv"}, {"list", "list.csv"}, {"list.Csv", "list.Csv.csv"},
      {"/d/a.CSV", "/d/a.CSV"},     {"a.csv", "a.csv"},   {"/d.csv/list", "/d.csv/list.csv"}};
  for (const auto& [chosen, saved] : names)
    QCOMPARE(withCsvExtension(chosen), saved);

  QCOMPARE(appendQuestionText(QStringLiteral("a.csv")),
           QStringLiteral("File named a.csv already exists\r\nWould you like to append it?\r\n\r\n"
                          "Yes - appends file by data you save;\r\n"
                          "No - rewrite file, old data will be cleared;\r\n\r\n"
                          "Press Retry to enter another file name."));
  QCOMPARE(notSavedText(QStringLiteral("a.csv")), QStringLiteral("File a.csv did not saved"));
}

QTEST_GUILESS_MAIN(TestMeasurementFile)
#include "test_measurement_file.moc"
