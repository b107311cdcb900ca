#include "analysis/test_statistics_grid.h"
#include "analysis/record_display.h"
#include "common/formats.h"

#include <QtTest>

namespace {

StressLaw st3Flat()  // 0,62 mT is 0 MPa, 2,00 mT is 350 MPa
{
  StressLaw law;
  law.StressZeroBr = 0.62;
  law.StressSlope = 350.0 / (2.00 - 0.62);
  return law;
}

QStringList firstRecordOf24()
{
  return repeatedCells(24, QStringLiteral("05,00")) << QString() << QStringLiteral("07,00");
}

QStringList spanning(const QString& low, const QString& high)
{
  return QStringList{QStringLiteral("10,00"), low, high} << QString() << QStringLiteral("1,00");
}

double raw(const MeasurementGrid& grid, int point)
{
  double v = 0.0;
  fmt::readReal(grid.cell(point + 1, 1), &v);
  return v;
}

}  // namespace

class TestRecordDisplay : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void rangeAndAxes_data();
  void rangeAndAxes();
  void oneCountIsItsOwnStatistics();
  void circularPoints();
};

void TestRecordDisplay::rangeAndAxes_data()
{
  QTest::addColumn<QStringList>("cells");
  QTest::addColumn<int>("record");
  QTest::addColumn<bool>("stressMode");
  QTest::addColumn<QString>("panel23");
  QTest::addColumn<double>("bottomMin");
  QTest::addColumn<double>("bottomMax");
  QTest::addColumn<double>("leftMin");
  QTest::addColumn<double>("leftMax");

  QTest::newRow("first record of 24 counts")
      << firstRecordOf24() << 1 << false << "Range [1..24]  L=24" << 1.0 << 24.0 << 4.0 << 6.0;
  QTest::newRow("second record") << firstRecordOf24() << 2 << false << "Range [26..26]  L=1" << 26.0
                                 << 26.0 << 6.0 << 8.0;
  QTest::newRow("mT axis clamped at both ends") << spanning("00,40", "19,80") << 1 << false
                                                << "Range [1..3]  L=3" << 1.0 << 3.0 << 0.0 << 20.0;
  // ToStress(20.8) = 5118.1, ToStress(-0.6) = -309.4
  QTest::newRow("MPa axis not clamped") << spanning("00,40", "19,80") << 1 << true
                                        << "Range [1..3]  L=3" << 1.0 << 3.0 << -309.0 << 5118.0;
  QTest::newRow("empty record between two separators")
      << QStringList{"05,00", "", "", "06,00"} << 2 << false << "Range [3..3]  L=0" << 3.0 << 3.0
      << 0.0 << 20.0;
  QTest::newRow("empty record in MPa keeps the full scale")
      << QStringList{"05,00", ""} << 2 << true << "Range [3..3]  L=0" << 3.0 << 3.0 << 0.0
      << 1000.0;
}

void TestRecordDisplay::rangeAndAxes()
{
  QFETCH(QStringList, cells);
  QFETCH(int, record);
  QFETCH(bool, stressMode);
  QFETCH(QString, panel23);
  QFETCH(double, bottomMin);
  QFETCH(double, bottomMax);
  QFETCH(double, leftMin);
  QFETCH(double, leftMax);

  MeasurementGrid grid;
  fillGrid(grid, cells);
  const RecordDisplay d = ComputeRecordDisplay(grid, record, {stressMode, st3Flat()},
                                               [&](int i) { return raw(grid, i); });
  QCOMPARE(d.panel22, QString::number(record));
  QCOMPARE(d.panel23, panel23);
  QCOMPARE(d.bottomAxis.min, bottomMin);
  QCOMPARE(d.bottomAxis.max, bottomMax);
  QCOMPARE(d.leftAxis.min, leftMin);
  QCOMPARE(d.leftAxis.max, leftMax);
  QCOMPARE(d.values.size(), d.length());
}

void TestRecordDisplay::oneCountIsItsOwnStatistics()
{
  // Also above the scale: the range statistics would start the minimum at 20.
  MeasurementGrid grid;
  fillGrid(grid, {"01,00", "", "05,43", "", "25,00"});
  const auto line = [&](int i) { return raw(grid, i); };
  const RecordDisplay d = ComputeRecordDisplay(grid, 2, {}, line);
  QCOMPARE(d.labelText, QStringLiteral("Br max =5,43 mT \rBr avg =5,43 mT \rBr min =5,43 mT "));
  QCOMPARE(d.stats.min, 5.43);
  QCOMPARE(d.stats.mean, 5.43);

  const RecordDisplay high = ComputeRecordDisplay(grid, 3, {}, line);
  QCOMPARE(high.stats.min, 25.0);
  QCOMPARE(high.stats.max, 25.0);
  QCOMPARE(high.leftAxis.min, 24.0);  // the 0..20 clamp would invert the axis
  QCOMPARE(high.leftAxis.max, 26.0);
}

void TestRecordDisplay::circularPoints()
{
  // Twelve counts land on every 30 degrees; the radii come from the line series
  // (here doubled, as a stand-in for a converted value), the labels from the cells.
  MeasurementGrid grid;
  QStringList cells{"09,00", ""};
  for (int i = 1; i <= 12; ++i)
    cells << QStringLiteral("%1,00").arg(i, 2, 10, QLatin1Char('0'));
  fillGrid(grid, cells);
  StressLaw law;
  law.StressSlope = 10.0;
  const RecordDisplay d =
      ComputeRecordDisplay(grid, 2, {true, law}, [&](int i) { return 2 * raw(grid, i); });

  QCOMPARE(d.values.size(), 12);
  QCOMPARE(d.means.size(), 12);
  for (int i = 0; i < 12; ++i) {
    QCOMPARE(d.values[i].angle, 30.0 * i);
    QCOMPARE(d.values[i].radius, 2.0 * (i + 1));
    QCOMPARE(d.values[i].label, cells[i + 2]);
    QCOMPARE(d.means[i].angle, 30.0 * i);
    QCOMPARE(d.means[i].radius, 65.0);  // ToStress of the record's mean 6,5
  }
}

QTEST_APPLESS_MAIN(TestRecordDisplay)
#include "test_record_display.moc"
