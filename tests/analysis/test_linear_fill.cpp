#include "analysis/linear_fill.h"
#include "analysis/test_statistics_grid.h"

#include <QtTest>

#include <cmath>

using Values = QList<double>;  // NaN marks a null point
Q_DECLARE_METATYPE(Values)

namespace {

const double N = std::nan("");

void compareSeries(const SeriesPoints& s, const Values& expected, const char* name)
{
  QVERIFY2(s.count() == expected.size(), name);
  for (int i = 0; i < s.count(); ++i) {
    const QByteArray where = QByteArray(name) + " point " + QByteArray::number(i);
    QVERIFY2(s.null[i] == std::isnan(expected[i]), where);
    if (!s.null[i])
      QVERIFY2(std::fabs(s.y[i] - expected[i]) < 1e-9,
               where + " is " + QByteArray::number(s.y[i], 'g', 17));
  }
}

}  // namespace

class TestLinearFill : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void series_data();
  void series();
  void pointsStandForRows();
  void valueAxis();
};

void TestLinearFill::series_data()
{
  QTest::addColumn<QStringList>("cells");
  QTest::addColumn<bool>("removeTrend");
  QTest::addColumn<bool>("stressMode");
  QTest::addColumn<Values>("line");     // from row 1 on
  QTest::addColumn<Values>("average");  // from row 1 on
  QTest::addColumn<double>("currentMean");

  QTest::newRow("raw values, each record at its own mean")
      << QStringList{"1,00", "2,00", "", "4,00"} << false << false << Values{N, 1.0, 2.0, N, 4.0}
      << Values{N, 1.5, 1.5, N, 4.0} << 4.0;
  QTest::newRow("a ramp detrends to its mean")
      << QStringList{"1,00", "2,00", "3,00", "4,00", "5,00"} << true << false
      << Values{N, 3, 3, 3, 3, 3} << Values{N, 3, 3, 3, 3, 3} << 3.0;
  QTest::newRow("a cubic detrends to its mean")
      << QStringList{"1,00", "8,00", "27,00", "64,00", "125,00"} << true << false
      << Values{N, 45, 45, 45, 45, 45} << Values{N, 45, 45, 45, 45, 45} << 45.0;
  QTest::newRow("each record fitted on its own")
      << QStringList{"1,00", "2,00", "3,00", "4,00", "5,00", "", "9,00", "9,00", "9,00", "9,00"}
      << true << false << Values{N, 3, 3, 3, 3, 3, N, 9, 9, 9, 9}
      << Values{N, 3, 3, 3, 3, 3, N, 9, 9, 9, 9} << 9.0;
  QTest::newRow("three counts stay as they are")
      << QStringList{"1,00", "5,00", "2,00"} << true << false << Values{N, 1, 5, 2}
      << Values{N, 8.0 / 3, 8.0 / 3, 8.0 / 3} << 8.0 / 3;
  QTest::newRow("stress converts values and the mean")
      << QStringList{"2,00", "4,00"} << false << true << Values{N, 100, 300} << Values{N, 200, 200}
      << 3.0;
  QTest::newRow("stress after trend removal")
      << QStringList{"1,50", "2,00", "2,50", "3,00"} << true << true
      << Values{N, 125, 125, 125, 125} << Values{N, 125, 125, 125, 125} << 2.25;
  QTest::newRow("a cell that is no number breaks the line")
      << QStringList{"2,00", "?", "6,00"} << false << false << Values{N, 2, N, 6}
      << Values{N, 2, N, 6} << 6.0;
  QTest::newRow("empty records keep the mean of the last counts")
      << QStringList{"2,00", "4,00", "", "", ""} << false << false << Values{N, 2, 4, N, N, N}
      << Values{N, 3, 3, N, N, N} << 3.0;
}

void TestLinearFill::series()
{
  QFETCH(QStringList, cells);
  QFETCH(bool, removeTrend);
  QFETCH(bool, stressMode);
  QFETCH(Values, line);
  QFETCH(Values, average);
  QFETCH(double, currentMean);

  MeasurementGrid grid;
  fillGrid(grid, cells);
  const LinearFill fill =
      ComputeLinearFill(grid, {removeTrend, stressMode, hundredPerMilliTesla()}, -1.0);

  compareSeries(fill.line, line, "line");
  compareSeries(fill.average, average, "average");
  Values dots;
  for (double y : line)
    if (!std::isnan(y))
      dots << y;
  compareSeries(fill.dots, dots, "dots");
  QVERIFY(std::fabs(fill.currentMean - currentMean) < 1e-12);
}

void TestLinearFill::pointsStandForRows()
{
  // Point i of the line is grid row i + 1 and its x the row's count number;
  // the dots carry the same x as the line point of their row.
  MeasurementGrid grid;
  fillGrid(grid, {"1,00", "", "3,00", "4,00"});
  const LinearFill fill = ComputeLinearFill(grid, {}, 0.0);
  QCOMPARE(fill.line.count(), grid.RowCount() - 1);
  for (int i = 0; i < fill.line.count(); ++i)
    QCOMPARE(fill.line.x[i], double(i));
  QCOMPARE(fill.dots.x, (QVector<double>{1, 3, 4}));
  QCOMPARE(fill.average.x, fill.line.x);
}

void TestLinearFill::valueAxis()
{
  MeasurementGrid grid;
  fillGrid(grid, {"5,00"});
  QCOMPARE(ComputeLinearFill(grid, {false, false, {}}, 0).valueAxis.max, 20.0);
  QCOMPARE(ComputeLinearFill(grid, {false, true, {}}, 0).valueAxis.max, 1000.0);
  QCOMPARE(ComputeLinearFill(grid, {false, true, {}}, 0).valueAxis.min, 0.0);
}

QTEST_APPLESS_MAIN(TestLinearFill)
#include "test_linear_fill.moc"
