#include "analysis/statistics.h"
#include "common/app_state.h"
#include "analysis/test_statistics_grid.h"

#include <QtTest>

class TestStatistics : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void rangeFigures_data();
  void rangeFigures();
  void labelNumbers_data();
  void labelNumbers();
  void labelLayout_data();
  void labelLayout();
  void storedFigures();
};

void TestStatistics::rangeFigures_data()
{
  QTest::addColumn<QStringList>("cells");
  QTest::addColumn<int>("firstRow");
  QTest::addColumn<int>("lastRow");  // -1: the last row of the grid
  QTest::addColumn<double>("min");
  QTest::addColumn<double>("max");
  QTest::addColumn<double>("mean");
  QTest::addColumn<int>("records");

  QTest::newRow("all above the scale keep the minimum at 20")
      << QStringList{"25,00", "30,00"} << 2 << -1 << 20.0 << 30.0 << 27.5 << 1;
  QTest::newRow("all below zero keep the maximum at 0")
      << QStringList{"-1,00", "-3,00"} << 2 << -1 << -3.0 << 0.0 << -2.0 << 1;
  QTest::newRow("separators count records and nothing else")
      << QStringList{"1,00", "", "3,00", "", "5,00"} << 2 << -1 << 1.0 << 5.0 << 3.0 << 3;
  QTest::newRow("five records in the whole file")
      << QStringList{"2,00", "", "2,00", "", "2,00", "", "2,00", "", "2,00"} << 2 << -1 << 2.0
      << 2.0 << 2.0 << 5;
  QTest::newRow("a sub-range sees only its rows")
      << QStringList{"1,00", "9,00", "3,00", "7,00"} << 3 << 4 << 3.0 << 9.0 << 6.0 << 1;
  QTest::newRow("empty range") << QStringList{"5,00"} << 5 << 4 << 20.0 << 0.0 << 0.0 << 1;
  QTest::newRow("a cell that is no number is left out")
      << QStringList{"2,00", "x", "4,00"} << 2 << -1 << 2.0 << 4.0 << 3.0 << 1;
}

void TestStatistics::rangeFigures()
{
  QFETCH(QStringList, cells);
  QFETCH(int, firstRow);
  QFETCH(int, lastRow);
  MeasurementGrid grid;
  fillGrid(grid, cells);
  if (lastRow < 0)
    lastRow = grid.RowCount() - 1;

  const RangeStatistics s = ComputeRangeStatistics(grid, firstRow, lastRow);
  QFETCH(double, min);
  QFETCH(double, max);
  QFETCH(double, mean);
  QFETCH(int, records);
  QCOMPARE(s.min, min);
  QCOMPARE(s.max, max);
  QCOMPARE(s.mean, mean);
  QCOMPARE(s.records, records);
}

void TestStatistics::labelNumbers_data()
{
  QTest::addColumn<double>("value");
  QTest::addColumn<bool>("stressMode");
  QTest::addColumn<QString>("text");

  QTest::newRow("mT rounds to 3 digits, pads to 2 decimals") << 12.345 << false << "12,30";
  QTest::newRow("mT below one") << 0.5 << false << "0,50";
  QTest::newRow("mT half rounds away from zero") << 10.25 << false << "10,30";
  QTest::newRow("mT negative half") << -10.25 << false << "-10,30";
  QTest::newRow("mT below the last decimal") << 0.004 << false << "0,00";
  QTest::newRow("mT over half of the last decimal") << 0.006 << false << "0,01";
  QTest::newRow("mT carry into a new digit") << 9.996 << false << "10,00";
  QTest::newRow("mT zero") << 0.0 << false << "0,00";
  QTest::newRow("MPa rounds to 4 digits") << 123.45 << true << "123,5";
  QTest::newRow("MPa rounds at the decimal before the 4th digit") << 96.38 << true << "96,4";
  QTest::newRow("MPa negative half") << -87.25 << true << "-87,3";
  QTest::newRow("MPa four whole digits") << 1234.56 << true << "1235,0";
  QTest::newRow("MPa five whole digits turn scientific") << 12345.6 << true << "1,235E+004";
}

void TestStatistics::labelNumbers()
{
  QFETCH(double, value);
  QFETCH(bool, stressMode);
  QFETCH(QString, text);
  QCOMPARE(stressMode ? FormatStressValue(value) : FormatBrValue(value), text);
}

void TestStatistics::labelLayout_data()
{
  QTest::addColumn<bool>("stressMode");
  QTest::addColumn<QString>("text");

  QTest::newRow("mT") << false
                      << QStringLiteral("Br max =2,50 mT \rBr avg =1,75 mT \rBr min =1,00 mT ");
  // St_3_flat: 0,62 mT is 0 MPa, 2,00 mT is 350 MPa.
  QTest::newRow("MPa") << true
                       << QStringLiteral("S max =476,8 MPa \rS avg =286,6 MPa \rS min =96,4 MPa ");
}

void TestStatistics::labelLayout()
{
  QFETCH(bool, stressMode);
  QFETCH(QString, text);
  StressLaw law;
  law.StressZeroBr = 0.62;
  law.StressSlope = 350.0 / (2.00 - 0.62);
  QCOMPARE(StatisticsLabelText(2.5, 1.75, 1.0, stressMode, law), text);
  QCOMPARE(StatisticsLabelLines(text).size(), 3);
}

void TestStatistics::storedFigures()
{
  MeasurementGrid grid;
  fillGrid(grid, {"4,00", "", "8,00"});
  AppState state;
  StoreRangeStatistics(ComputeRangeStatistics(grid, 2, grid.RowCount() - 1), state);
  QCOMPARE(state.RangeMin, 4.0);
  QCOMPARE(state.RangeMax, 8.0);
  QCOMPARE(state.RangeMean, 6.0);
  QCOMPARE(state.CurrentMean, 6.0);
}

QTEST_APPLESS_MAIN(TestStatistics)
#include "test_statistics.moc"
