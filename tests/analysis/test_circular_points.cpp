#include "analysis/circular_points.h"
#include "analysis/map_layout.h"
#include "analysis/map_palette.h"
#include "analysis/test_statistics_grid.h"

#include <QtTest>

#include <cmath>

namespace {

StressLaw hundredPerMilliTesla()
{
  StressLaw law;
  law.StressZeroBr = 1.0;
  law.StressSlope = 100.0;
  return law;
}

CircularChart chart(const QStringList& cells, bool trend, bool stress)
{
  MeasurementGrid grid;
  fillGrid(grid, cells);
  const LinearFillOptions lo{trend, stress, hundredPerMilliTesla()};
  const LinearFill fill = ComputeLinearFill(grid, lo, 0.0);
  return ComputeCircularChart(grid, {stress, hundredPerMilliTesla()}, fill);
}

}  // namespace

// The circular chart's points, and the small arithmetic of the map views.
class TestCircularPoints : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void angles_data();
  void angles();
  void values_data();
  void values();
  void emptyGrid();
  void zoom();
  void contourAspect_data();
  void contourAspect();
  void surfaceDepth();
  void palette();
};

void TestCircularPoints::angles_data()
{
  QTest::addColumn<QStringList>("cells");
  QTest::addColumn<QList<int>>("angles");

  QList<int> tens;
  for (int a = 0; a < 360; a += 10)
    tens << a;
  QTest::newRow("36 counts every 10 degrees") << repeatedCells(36, "05,00") << tens;
  QTest::newRow("7 counts, halves to even")
      << repeatedCells(7, "05,00") << QList<int>{0, 51, 103, 154, 206, 257, 309};
  QList<int> twoRecords;
  for (int b = 0; b < 25; ++b)
    if (b != 12)
      twoRecords << static_cast<int>(std::nearbyint(360.0 * b / 25));
  QTest::newRow("a separator keeps its place (173 degrees) empty")
      << (repeatedCells(12, "05,00") << "" << repeatedCells(12, "06,00")) << twoRecords;
}

void TestCircularPoints::angles()
{
  QFETCH(QStringList, cells);
  QFETCH(QList<int>, angles);
  const CircularChart c = chart(cells, false, false);
  QList<int> got;
  for (const PolarPoint& p : c.values)
    got << static_cast<int>(p.angle);
  QCOMPARE(got, angles);
  QVERIFY(!got.contains(173));
  QCOMPARE(c.shownRowCount, cells.size());
  QCOMPARE(c.means.size(), c.values.size());
}

void TestCircularPoints::values_data()
{
  QTest::addColumn<QStringList>("cells");
  QTest::addColumn<bool>("trend");
  QTest::addColumn<bool>("stress");
  QTest::addColumn<QList<double>>("radii");
  QTest::addColumn<double>("mean");
  QTest::addColumn<double>("axisMax");

  QTest::newRow("raw values, the mean of the last record")
      << QStringList{"02,00", "04,00", "", "05,00", "07,00"} << false << false
      << QList<double>{2, 4, 5, 7} << 6.0 << 20.0;
  QTest::newRow("the trend removed, as the linear chart shows it")
      << QStringList{"01,00", "02,00", "03,00", "04,00", "05,00"} << true << false
      << QList<double>{3, 3, 3, 3, 3} << 3.0 << 20.0;
  QTest::newRow("stress: Br(S=0) on the centre, the circle in MPa")
      << QStringList{"01,00", "03,00"} << false << true << QList<double>{0, 200} << 100.0 << 1000.0;
}

void TestCircularPoints::values()
{
  QFETCH(QStringList, cells);
  QFETCH(bool, trend);
  QFETCH(bool, stress);
  QFETCH(QList<double>, radii);
  QFETCH(double, mean);
  QFETCH(double, axisMax);
  const CircularChart c = chart(cells, trend, stress);
  QList<double> got;
  QStringList labels;
  for (const PolarPoint& p : c.values) {
    got << std::round(p.radius * 1e9) / 1e9;
    labels << p.label;
  }
  QCOMPARE(got, radii);
  QStringList counts = cells;
  counts.removeAll(QString());
  QCOMPARE(labels, counts);
  QCOMPARE(c.meanRadius, mean);
  for (const PolarPoint& p : c.means)
    QCOMPARE(p.radius, mean);
  QCOMPARE(c.radiusAxis.min, 0.0);
  QCOMPARE(c.radiusAxis.max, axisMax);
}

void TestCircularPoints::emptyGrid()
{
  MeasurementGrid grid;
  grid.setRowCount(1);
  const CircularChart c = ComputeCircularChart(grid, {}, LineValueAt{}, 0.0);
  QVERIFY(c.values.isEmpty());
  QVERIFY(c.means.isEmpty());
  QCOMPARE(c.shownRowCount, 0);
}

void TestCircularPoints::zoom()
{
  RadiusScale s;
  s = ZoomRadius(ZoomRadius(s, CircularZoom::In), CircularZoom::In);
  QCOMPARE(s.max, 5.0);
  QCOMPARE(s.increment, 0.5);
  s = ZoomRadius({1000, 2}, CircularZoom::Reset);
  QCOMPARE(s.max, 20.0);
  QCOMPARE(s.increment, 2.0);
  s = ZoomRadius(s, CircularZoom::Out);
  QCOMPARE(s.max, 40.0);
  QCOMPARE(s.increment, 4.0);
}

void TestCircularPoints::contourAspect_data()
{
  QTest::addColumn<double>("w");
  QTest::addColumn<double>("h");
  QTest::addColumn<double>("yMax");
  QTest::addColumn<double>("xMax");
  QTest::addColumn<double>("sx");
  QTest::addColumn<double>("sy");
  QTest::addColumn<QList<int>>("margins");  // left, top, right, bottom; empty: unchanged

  QTest::newRow("6x12 on 600 x 300: no spare height")
      << 600.0 << 300.0 << 6.0 << 12.0 << 1.0 << 1.0 << QList<int>{32, 24, 32, 8};
  QTest::newRow("3x12 on 600 x 300: spare height above and below")
      << 600.0 << 300.0 << 3.0 << 12.0 << 1.0 << 1.0 << QList<int>{32, 99, 32, 83};
  QTest::newRow("a tall grid: spare width at the sides")
      << 600.0 << 300.0 << 12.0 << 12.0 << 1.0 << 1.0 << QList<int>{182, 24, 182, 8};
  QTest::newRow("custom steps dX 2, dY 5 stretch the lines")
      << 600.0 << 300.0 << 5.0 << 20.0 << 2.0 << 5.0 << QList<int>{92, 24, 92, 8};
  QTest::newRow("zero width (minimised): unchanged")
      << 0.0 << 300.0 << 6.0 << 12.0 << 1.0 << 1.0 << QList<int>{};
  QTest::newRow("zero height: unchanged")
      << 600.0 << 0.0 << 6.0 << 12.0 << 1.0 << 1.0 << QList<int>{};
}

void TestCircularPoints::contourAspect()
{
  QFETCH(double, w);
  QFETCH(double, h);
  QFETCH(double, yMax);
  QFETCH(double, xMax);
  QFETCH(double, sx);
  QFETCH(double, sy);
  QFETCH(QList<int>, margins);
  const auto m = FitContourAspect(w, h, yMax, xMax, sx, sy);
  QCOMPARE(m.has_value(), !margins.isEmpty());
  if (m)
    QCOMPARE((QList<int>{m->left, m->top, m->right, m->bottom}), margins);
}

void TestCircularPoints::surfaceDepth()
{
  QCOMPARE(SurfaceDepthPercent(5, 30), std::optional<int>(17));
  QCOMPARE(SurfaceDepthPercent(5, 20), std::optional<int>(25));
  QCOMPARE(SurfaceDepthPercent(40, 30), std::optional<int>());
  QCOMPARE(SurfaceDepthPercent(30, 30), std::optional<int>());
  QCOMPARE(SurfaceDepthFactor(2, 5), 4);  // 4.5 to even
  QCOMPARE(SurfaceDepthFactor(1, 1), 3);
  QCOMPARE(CustomGridLines(95), 6);
  QCOMPARE(CustomGridLineStep(99), 1);
}

void TestCircularPoints::palette()
{
  const PaletteColors colors;  // blue, red, yellow
  const QVector<PaletteStep> p = SurfacePalette({0.0, 64.0}, colors);
  QCOMPARE(p.size(), SurfacePaletteSteps);
  QCOMPARE(p.front().color, MapBlue);
  QCOMPARE(p.back().color, MapYellow);
  QCOMPARE(PaletteColorAt(colors, 0.5), MapRed);
  QCOMPARE(p[10].lower, 10.0);
  QCOMPARE(p[10].upper, 11.0);
  QCOMPARE(PaletteStepOf(p, 0.0), 0);
  QCOMPARE(PaletteStepOf(p, 10.5), 10);
  QCOMPARE(PaletteStepOf(p, 64.0), 63);
  QCOMPARE(PaletteStepOf(p, -5.0), 0);
  QCOMPARE(PaletteStepText(p[10]), QStringLiteral("11"));
  QCOMPARE(PaletteStepText({0, 2.46, 0}), QStringLiteral("2,5"));
  // Steps climb monotonically from blue to red and from red to yellow.
  for (int i = 1; i < 32; ++i)
    QVERIFY((p[i].color >> 16 & 0xFF) <= (p[i - 1].color >> 16 & 0xFF));
  for (int i = 33; i < 64; ++i)
    QVERIFY((p[i].color >> 8 & 0xFF) >= (p[i - 1].color >> 8 & 0xFF));
  // A map of one value: every step at that value, the highest one holds it.
  const QVector<PaletteStep> flat = SurfacePalette({7.5, 7.5}, colors);
  QCOMPARE(flat.front().lower, 7.5);
  QCOMPARE(PaletteStepOf(flat, 7.5), 63);
}

QTEST_APPLESS_MAIN(TestCircularPoints)
#include "test_circular_points.moc"
