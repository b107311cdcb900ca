// The cubic trend fit of a run of counts and the values it detrends to.

#include "analysis/trend.h"
#include "common/formats.h"

#include <QTest>

#include <cmath>

using Reals = QVector<double>;
Q_DECLARE_METATYPE(Reals)

namespace {

// Grid rows 2.. hold the given Br cells ("" for a separator).
QVector<GridRow> rowsOf(const QStringList& brCells)
{
  QVector<GridRow> rows(brCells.size() + 2);
  rows[0].cell = {TimeHeader, BrHeader};
  for (int i = 0; i < brCells.size(); ++i) {
    const int r = i + 2;
    if (!brCells[i].isEmpty())
      rows[r].cell = {MeasurementGrid::countNumberCell(r, QStringLiteral("10:00:00")), brCells[i]};
  }
  return rows;
}

QStringList cellsOf(const Reals& values)
{
  QStringList cells;
  for (double v : values)
    cells << fmt::general(v);
  return cells;
}

// The values of rows first..last with the run's own trend taken out.
Reals detrend(const MeasurementGrid& g, int first, int last, double* mean)
{
  const TrendCoefficients t = FitRecordTrend(g, first, last, mean);
  Reals out;
  for (int r = first; r <= last; ++r) {
    double v = 0.0;
    fmt::readReal(g.cell(r, 1), &v);
    out << t.detrended(v, r - first + 1, *mean);
  }
  return out;
}

void compareValues(const Reals& got, const Reals& want, double tolerance)
{
  QCOMPARE(got.size(), want.size());
  for (int i = 0; i < got.size(); ++i)
    QVERIFY2(std::fabs(got[i] - want[i]) <= tolerance,
             qPrintable(QStringLiteral("position %1: %2, expected %3")
                            .arg(i + 1)
                            .arg(got[i], 0, 'g', 17)
                            .arg(want[i], 0, 'g', 17)));
}

Reals cubicRun(int n)
{
  Reals v;
  for (int p = 1; p <= n; ++p)
    v << 0.5 + 0.02 * p - 3e-4 * p * p + 1.5e-6 * p * p * p;
  return v;
}

double meanOf(const Reals& v)
{
  double s = 0;
  for (double x : v)
    s += x;
  return s / v.size();
}

}  // namespace

class TestTrend : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void detrendsARun_data();
  void detrendsARun();
  void runWithoutNumbersIsFlatAtZero();
  void emptyRunKeepsTheLastMean();
  void recordsAreFittedSeparately();
};

void TestTrend::detrendsARun_data()
{
  QTest::addColumn<Reals>("values");
  QTest::addColumn<Reals>("detrended");
  QTest::addColumn<double>("mean");

  QTest::newRow("points on a cubic") << Reals{1, 8, 27, 64, 125} << Reals(5, 45.0) << 45.0;
  QTest::newRow("ramp") << Reals{1, 2, 3, 4, 5} << Reals{3, 3, 3, 3, 3} << 3.0;
  QTest::newRow("three counts stay")
      << Reals{5.43, 7.1, 2.05} << Reals{5.43, 7.1, 2.05} << (5.43 + 7.1 + 2.05) / 3;
  QTest::newRow("one count stays") << Reals{4.2} << Reals{4.2} << 4.2;
  // A long record: the closed-form sums and the determinants grow like n^16,
  // which only extended precision keeps accurate.
  const Reals cubic = cubicRun(400);
  QTest::newRow("400 counts on a cubic") << cubic << Reals(400, meanOf(cubic)) << meanOf(cubic);
  // Off the cubic: the deviations from the least-squares cubic, solved
  // exactly in rationals, come back around the mean.
  QTest::newRow("line plus alternating")
      << Reals{1.1, 1.9, 3.1, 3.9, 5.1, 5.9, 7.1, 7.9}
      << Reals{1493.0 / 330, 3393.0 / 770,   10691.0 / 2310, 2039.0 / 462,
               2119.0 / 462, 10099.0 / 2310, 3537.0 / 770,   1477.0 / 330}
      << 4.5;
}

void TestTrend::detrendsARun()
{
  QFETCH(Reals, values);
  QFETCH(Reals, detrended);
  QFETCH(double, mean);
  // A separator in front, as the chart fill meets a record.
  MeasurementGrid g;
  g.replaceRows(rowsOf(QStringList{QString()} + cellsOf(values)));
  double currentMean = -99.0;
  const Reals got = detrend(g, 3, g.RowCount() - 1, &currentMean);
  QVERIFY(std::fabs(currentMean - mean) < 1e-12);
  compareValues(got, detrended, 1e-9);
}

void TestTrend::runWithoutNumbersIsFlatAtZero()
{
  MeasurementGrid g;
  g.replaceRows(rowsOf({QString(), QString(), QString(), QString(), QString()}));
  double mean = 7.0;
  const TrendCoefficients t = FitRecordTrend(g, 2, 6, &mean);
  QCOMPARE(mean, 0.0);
  QCOMPARE(t.a0, 0.0);
  QCOMPARE(t.a1, 0.0);
  QCOMPARE(t.a2, 0.0);
  QCOMPARE(t.a3, 0.0);
}

void TestTrend::emptyRunKeepsTheLastMean()
{
  // Two adjacent separators: the chart fill asks for a run of no rows.
  MeasurementGrid g;
  g.replaceRows(rowsOf({QStringLiteral("05,00"), QString(), QString()}));
  double mean = 5.0;
  const TrendCoefficients t = FitRecordTrend(g, 4, 3, &mean);
  QCOMPARE(mean, 5.0);
  QCOMPARE(t.at(1), 5.0);
}

void TestTrend::recordsAreFittedSeparately()
{
  // A steep ramp, a separator, then a flat record with one bump.
  MeasurementGrid g;
  g.replaceRows(rowsOf(cellsOf({1, 3, 5, 7, 9, 11}) + QStringList{QString()} +
                       cellsOf({10, 10, 10, 12, 10})));
  double mean = 0.0;
  const Reals first = detrend(g, 2, 7, &mean);
  compareValues(first, Reals(6, 6.0), 1e-9);
  QVERIFY(std::fabs(mean - 6.0) < 1e-12);

  const Reals second = detrend(g, 9, 13, &mean);
  QVERIFY(std::fabs(mean - 10.4) < 1e-12);
  // Nothing of the ramp: the second record's fit sees only its own counts, so
  // it is the same as fitting those counts alone.
  MeasurementGrid alone;
  alone.replaceRows(rowsOf(cellsOf({10, 10, 10, 12, 10})));
  double aloneMean = 0.0;
  compareValues(second, detrend(alone, 2, 6, &aloneMean), 1e-12);
}

QTEST_GUILESS_MAIN(TestTrend)
#include "test_trend.moc"
