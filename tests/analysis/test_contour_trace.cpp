#include "analysis/contour_trace.h"
#include "analysis/test_statistics_grid.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

namespace {

const double H = std::nan("");

// A grid given line by line from z = 0.
QVector<double> lines(std::initializer_list<std::initializer_list<double>> rows)
{
  QVector<double> v;
  for (const auto& row : rows)
    for (double x : row)
      v << x;
  return v;
}

double edgeValue(const QVector<double>& v, int w, const ContourPoint& p)
{
  // A crossing lies on a grid edge: one coordinate is whole, and the level is
  // found by linear interpolation between the edge's ends.
  const double fx = std::floor(p.x);
  const double fz = std::floor(p.z);
  const int x = static_cast<int>(fx);
  const int z = static_cast<int>(fz);
  if (p.x == fx) {
    const double t = p.z - fz;
    return t == 0 ? v[z * w + x] : v[z * w + x] + (v[(z + 1) * w + x] - v[z * w + x]) * t;
  }
  if (p.z != fz)
    return H;  // inside a cell: not a crossing
  const double t = p.x - fx;
  return v[z * w + x] + (v[z * w + x + 1] - v[z * w + x]) * t;
}

}  // namespace

class TestContourTrace : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void ringAroundAPeak();
  void holeLeavesTheRingOpen();
  void openLineAcrossARamp();
  void saddle_data();
  void saddle();
  void everyPointOnItsLevel();
  void flatMapHasNoLines();
  void labelsAtTheThirdPoint();
};

void TestContourTrace::ringAroundAPeak()
{
  const QVector<double> v = lines({{0, 0, 0}, {0, 10, 0}, {0, 0, 0}});
  const ContourLines c = TraceContours(v, 3, 3, {5.0});
  QCOMPARE(c.pieces.size(), 1);
  const ContourPiece& ring = c.pieces[0];
  QVERIFY(ring.closed);
  QCOMPARE(ring.count, 5);  // four crossings and the first again
  QCOMPARE(c.point(ring, 0).x, c.point(ring, 4).x);
  QCOMPARE(c.point(ring, 0).z, c.point(ring, 4).z);
  for (int i = 0; i < 4; ++i) {
    const ContourPoint& p = c.point(ring, i);
    QCOMPARE(std::fabs(p.x - 1) + std::fabs(p.z - 1), 0.5);
  }
}

void TestContourTrace::holeLeavesTheRingOpen()
{
  // The cell with the hole at its corner draws nothing; the rest of the ring is
  // one open piece, not a ring closed across the hole.
  const QVector<double> v = lines({{H, 0, 0}, {0, 10, 0}, {0, 0, 0}});
  const ContourLines c = TraceContours(v, 3, 3, {5.0});
  QCOMPARE(c.pieces.size(), 1);
  QVERIFY(!c.pieces[0].closed);
  QCOMPARE(c.pieces[0].count, 4);
  for (int i = 0; i < 4; ++i) {
    const ContourPoint& p = c.point(c.pieces[0], i);
    QVERIFY2(p.x >= 1 || p.z >= 1, "a point in the cell beside the hole");
  }
}

void TestContourTrace::openLineAcrossARamp()
{
  const QVector<double> v = lines({{0, 1, 2, 3}, {0, 1, 2, 3}, {0, 1, 2, 3}});
  const ContourLines c = TraceContours(v, 4, 3, {1.5, 2.25});
  QCOMPARE(c.pieces.size(), 2);
  QCOMPARE(c.pieces[0].level, 0);
  QCOMPARE(c.pieces[1].level, 1);
  for (const ContourPiece& piece : c.pieces) {
    QVERIFY(!piece.closed);
    QCOMPARE(piece.count, 3);
    const double x = piece.level == 0 ? 1.5 : 2.25;
    QList<double> zs;
    for (int i = 0; i < piece.count; ++i) {
      QCOMPARE(c.point(piece, i).x, x);
      zs << c.point(piece, i).z;
    }
    std::sort(zs.begin(), zs.end());
    QCOMPARE(zs, (QList<double>{0, 1, 2}));
  }
}

void TestContourTrace::saddle_data()
{
  QTest::addColumn<double>("other");
  QTest::addColumn<bool>("lowCornersCutOff");
  // Corners 10 at the lower left and upper right, `other` at the others.
  QTest::newRow("high centre joins the high corners") << 4.0 << true;
  QTest::newRow("low centre joins the low corners") << -6.0 << false;
}

void TestContourTrace::saddle()
{
  QFETCH(double, other);
  QFETCH(bool, lowCornersCutOff);
  const QVector<double> v = lines({{10, other}, {other, 10}});
  const ContourLines c = TraceContours(v, 2, 2, {5.0});
  QCOMPARE(c.pieces.size(), 2);
  // Each piece cuts off one corner: both its points lie on that corner's edges.
  for (const ContourPiece& piece : c.pieces) {
    QCOMPARE(piece.count, 2);
    const ContourPoint a = c.point(piece, 0);
    const ContourPoint b = c.point(piece, 1);
    const double cx = std::round((a.x + b.x) / 2);
    const double cz = std::round((a.z + b.z) / 2);
    const bool lowCorner = (cx == 1 && cz == 0) || (cx == 0 && cz == 1);
    QCOMPARE(lowCorner, lowCornersCutOff);
  }
}

void TestContourTrace::everyPointOnItsLevel()
{
  // A rough 60 x 25 field with holes: every point lies on a grid edge at its
  // level, consecutive points lie in one cell, and no crossing is used twice.
  const int w = 61;
  const int h = 26;
  QRandomGenerator rng(7);
  QVector<double> v(w * h);
  for (int z = 0; z < h; ++z)
    for (int x = 0; x < w; ++x)
      v[z * w + x] = std::sin(x / 4.0) * 5 + std::cos(z / 3.0) * 4 + rng.bounded(3.0);
  for (int i = 0; i < 40; ++i)
    v[static_cast<int>(rng.bounded(w * h))] = H;
  QVector<double> levels;
  for (int i = 0; i < 10; ++i)
    levels << -8.0 + i * 2.1;
  const ContourLines c = TraceContours(v, w, h, levels);
  QVERIFY(c.pieces.size() > 20);
  QSet<QPair<double, double>> used;
  int crossings = 0;
  for (const ContourPiece& piece : c.pieces) {
    const int own = piece.closed ? piece.count - 1 : piece.count;
    for (int i = 0; i < piece.count; ++i) {
      const ContourPoint& p = c.point(piece, i);
      const double at = edgeValue(v, w, p);
      QVERIFY2(std::fabs(at - levels[piece.level]) < 1e-9, "a point off its level");
      if (i > 0) {
        const ContourPoint& q = c.point(piece, i - 1);
        QVERIFY(std::fabs(p.x - q.x) <= 1 && std::fabs(p.z - q.z) <= 1);
      }
      if (i < own) {
        ++crossings;
        used.insert({p.x + 1000.0 * piece.level, p.z});
      }
    }
  }
  QCOMPARE(used.size(), crossings);
}

void TestContourTrace::flatMapHasNoLines()
{
  MeasurementGrid grid;
  fillGrid(grid, repeatedCells(36, QStringLiteral("07,50")));
  MapOptions o;
  o.size = {12, 3};
  const MapSeries map = ComputeMapSeries(grid, o);
  QVERIFY(TraceContours(map).pieces.isEmpty());
}

void TestContourTrace::labelsAtTheThirdPoint()
{
  // A ramp along the columns of a 3 x 12 map: counts 0..35, not transposed, so
  // column x holds 3x..3x+2; every level crosses each line once.
  QStringList cells;
  for (int k = 0; k < 36; ++k)
    cells << QString::number(k / 3 + 1) + QStringLiteral(",00");
  MeasurementGrid grid;
  fillGrid(grid, cells);
  MapOptions o;
  o.size = {12, 3};
  const MapSeries map = ComputeMapSeries(grid, o);
  const ContourLines lines = TraceContours(map);
  const QVector<ContourLabel> labels = ContourLabels(map, lines);
  int withThree = 0;
  for (const ContourPiece& p : lines.pieces)
    withThree += p.count >= 3 ? 1 : 0;
  QCOMPARE(labels.size(), withThree);
  QVERIFY(!labels.isEmpty());
  int i = 0;
  for (const ContourPiece& p : lines.pieces) {
    if (p.count < 3)
      continue;
    const ContourLabel& l = labels[i++];
    QCOMPARE(l.level, p.level);
    QCOMPARE(l.at.x, lines.point(p, 2).x);
    QCOMPARE(l.at.z, lines.point(p, 2).z);
    QCOMPARE(l.text, map.levels[static_cast<size_t>(p.level)].label);
    QCOMPARE(l.color, map.levels[static_cast<size_t>(p.level)].color);
  }
  // Level 0 of 1..12 is 1,55; its line crosses lines 0..3 between columns 0 and 1.
  QCOMPARE(labels[0].text, QStringLiteral("1,55"));
  QCOMPARE(labels[0].color, MapBlue);
  QCOMPARE(labels[0].at.x, 0.55);
}

QTEST_APPLESS_MAIN(TestContourTrace)
#include "test_contour_trace.moc"
