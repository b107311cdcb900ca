// The inspection report's figures and text, and the section of Config.ini that
// remembers its title, object and operator.

#include "analysis/test_statistics_grid.h"
#include "export/report_content.h"
#include "export/report_settings.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

class TestReportContent : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void summaryOfRows_data();
  void summaryOfRows();
  void stressWithFallingLawSwapsEnds();
  void oneSummaryPerRecord();
  void tipSaysCountsSpreadAndWhere();
  void reportFields_data();
  void reportFields();
  void tableRowsWholeFileThenRecords();
  void peopleRemembered();
  void otherSettingsKept();
  void unwritableSettingsSayWhy();
};

void TestReportContent::summaryOfRows_data()
{
  QTest::addColumn<QStringList>("cells");
  QTest::addColumn<int>("counts");
  QTest::addColumn<double>("min");
  QTest::addColumn<int>("minCount");
  QTest::addColumn<double>("max");
  QTest::addColumn<int>("maxCount");
  QTest::addColumn<double>("mean");
  QTest::addColumn<double>("stdDev");

  QTest::newRow("spread") << QStringList{"02,00", "04,00", "04,00", "04,00",
                                         "05,00", "05,00", "07,00", "09,00"}
                          << 8 << 2.0 << 1 << 9.0 << 8 << 5.0 << std::sqrt(32.0 / 7.0);
  QTest::newRow("first of equal extremes")
      << QStringList{"05,00", "03,00", "07,00", "03,00", "07,00"} << 5 << 3.0 << 2 << 7.0 << 3
      << 5.0 << 2.0;
  QTest::newRow("separators and text left out") << QStringList{"06,00", "", "x", "08,00"} << 2
                                                << 6.0 << 1 << 8.0 << 4 << 7.0 << std::sqrt(2.0);
  QTest::newRow("one count has no spread")
      << QStringList{"25,00"} << 1 << 25.0 << 1 << 25.0 << 1 << 25.0 << 0.0;
  QTest::newRow("no counts") << QStringList{"", ""} << 0 << 0.0 << 0 << 0.0 << 0 << 0.0 << 0.0;
}

void TestReportContent::summaryOfRows()
{
  QFETCH(QStringList, cells);
  MeasurementGrid grid;
  fillGrid(grid, cells);
  const RecordSummary s = SummariseRows(grid, 2, grid.RowCount() - 1, false, {});
  QTEST(s.counts, "counts");
  QTEST(s.min, "min");
  QTEST(s.minCount, "minCount");
  QTEST(s.max, "max");
  QTEST(s.maxCount, "maxCount");
  QTEST(s.mean, "mean");
  QFETCH(double, stdDev);
  QVERIFY2(std::abs(s.stdDev - stdDev) < 1e-12, qPrintable(QString::number(s.stdDev)));
}

void TestReportContent::stressWithFallingLawSwapsEnds()
{
  MeasurementGrid grid;
  fillGrid(grid, {"04,00", "10,00", "06,00"});
  StressLaw law;
  law.StressZeroBr = 12.0;
  law.StressSlope = -50.0;  // more Br, less stress
  const RecordSummary s = SummariseRows(grid, 2, 4, true, law);
  QCOMPARE(s.max, 400.0);
  QCOMPARE(s.maxCount, 1);
  QCOMPARE(s.min, 100.0);
  QCOMPARE(s.minCount, 2);
  const double brSpread = SummariseRows(grid, 2, 4, false, law).stdDev;
  QVERIFY(std::abs(s.stdDev - 50.0 * brSpread) < 1e-9);  // spread is never negative
}

void TestReportContent::oneSummaryPerRecord()
{
  MeasurementGrid grid;
  fillGrid(grid, {"05,00", "06,00", "", "", "09,00", ""});
  const QVector<RecordSummary> r = SummariseRecords(grid, false, {});
  QCOMPARE(r.size(), grid.countRecords());
  QCOMPARE(r.size(), 4);
  QCOMPARE(r[0].counts, 2);
  QCOMPARE(r[1].counts, 0);  // two separators in a row
  QCOMPARE(r[2].counts, 1);
  QCOMPARE(r[2].maxCount, 5);  // count numbers run through the whole file
  QCOMPARE(r[3].counts, 0);
}

void TestReportContent::tipSaysCountsSpreadAndWhere()
{
  MeasurementGrid grid;
  fillGrid(grid, {"05,00", "07,00", "03,00"});
  const QString tip = StatisticsToolTip(SummariseRows(grid, 2, 4, false, {}), false);
  QCOMPARE(tip, QStringLiteral("Counts: 3\nStandard deviation: 2,00 mT\n"
                               "Minimum at count 3, maximum at count 2"));
  QCOMPARE(StatisticsToolTip(RecordSummary{}, false), QStringLiteral("No counts"));
}

void TestReportContent::reportFields_data()
{
  QTest::addColumn<QString>("instrument");
  QTest::addColumn<bool>("stress");
  QTest::addColumn<QStringList>("labels");
  QTest::addColumn<QString>("values");
  QTest::newRow("from a file, Br")
      << QString() << false
      << QStringList{"Object", "Operator", "Date", "File", "Program", "Values"} << "Br, mT";
  QTest::newRow("from the instrument, stress")
      << "RZ-37m 01234" << true
      << QStringList{"Object", "Operator", "Date", "File", "Instrument", "Program", "Values"}
      << "S, MPa: St3, Br(S=0) = 3,5 mT, Smax = 260 MPa, Br(Smax) = 9,1 mT";
}

void TestReportContent::reportFields()
{
  QFETCH(QString, instrument);
  QFETCH(bool, stress);
  QFETCH(QStringList, labels);
  QFETCH(QString, values);
  MeasurementGrid grid;
  fillGrid(grid, {"05,00"});
  ReportInfo info;
  info.object = QStringLiteral("Boiler drum");
  info.operatorName = QStringLiteral("A. Smith");
  info.fileName = QStringLiteral("drum.csv");
  info.instrument = instrument;
  info.version = QStringLiteral("1.0");
  info.created = QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3));
  info.stressMode = stress;
  info.stressItem = {"St3", "3,5", "260", "9,1"};
  const ReportText t = ComposeReport(info, grid, {});
  QCOMPARE(t.title, DefaultReportTitle);  // none given
  QStringList gotLabels;
  for (const auto& f : t.fields)
    gotLabels << f.first;
  QCOMPARE(gotLabels, labels);
  QCOMPARE(t.fields[2].second, QStringLiteral("07.12.2026 9:05:03"));
  QCOMPARE(t.fields.last().second, values);
  QCOMPARE(t.tableHeader[2], stress ? QStringLiteral("Min, MPa") : QStringLiteral("Min, mT"));
}

void TestReportContent::tableRowsWholeFileThenRecords()
{
  MeasurementGrid grid;
  fillGrid(grid, {"05,00", "07,00", "", "", "04,00"});
  ReportInfo info;
  info.title = QStringLiteral("  Pipe 7 ");
  const ReportText t = ComposeReport(info, grid, {});
  QCOMPARE(t.title, QStringLiteral("Pipe 7"));
  QCOMPARE(t.tableRows.size(), 4);
  QCOMPARE(t.tableRows[0], (QStringList{"All", "3", "4,00", "5", "7,00", "2", "5,33", "1,53"}));
  QCOMPARE(t.tableRows[1], (QStringList{"1", "2", "5,00", "1", "7,00", "2", "6,00", "1,41"}));
  QCOMPARE(t.tableRows[2], (QStringList{"2", "0", "", "", "", "", "", ""}));
  QCOMPARE(t.tableRows[3][0], QStringLiteral("3"));
}

void TestReportContent::peopleRemembered()
{
  QTemporaryDir dir;
  const QString ini = dir.filePath("Config.ini");
  QCOMPARE(LoadReportPeople(ini).object, QString());  // no file yet
  QString reason;
  QVERIFY(StoreReportPeople(ini, {"Survey", "Pipe\n7", "I. Petrov"}, &reason));
  const ReportPeople p = LoadReportPeople(ini);
  QCOMPARE(p.title, QStringLiteral("Survey"));
  QCOMPARE(p.object, QStringLiteral("Pipe 7"));  // a line break cannot live in the file
  QCOMPARE(p.operatorName, QStringLiteral("I. Petrov"));
}

void TestReportContent::otherSettingsKept()
{
  QTemporaryDir dir;
  const QString ini = dir.filePath("Config.ini");
  putFile(ini,
          "[Graph]\r\nColor=255\r\n; a note\r\n[report]\r\nobject = Old\r\nExtra=1\r\n"
          "[Paths]\r\nDB=/data\r\n");
  QCOMPARE(LoadReportPeople(ini).object, QStringLiteral("Old"));  // any case, blanks around
  QString reason;
  QVERIFY(StoreReportPeople(ini, {"T", "New", "Op"}, &reason));
  QCOMPARE(fileBytes(ini), QByteArray("[Graph]\r\nColor=255\r\n; a note\r\n[Paths]\r\nDB=/data\r\n"
                                      "[Report]\r\nTitle=T\r\nObject=New\r\nOperator=Op\r\n"));
}

void TestReportContent::unwritableSettingsSayWhy()
{
  QTemporaryDir dir;
  QString reason;
  QVERIFY(!StoreReportPeople(dir.filePath("gone/Config.ini"), {"T", "O", "P"}, &reason));
  QVERIFY(!reason.isEmpty());
}

QTEST_GUILESS_MAIN(TestReportContent)
#include "test_report_content.moc"
