#include "analysis/map_grid.h"
#include "analysis/test_statistics_grid.h"
#include "analysis/trend.h"
#include "common/formats.h"

#include <QtTest>

#include <cmath>

namespace {

// Br cells whose value names the count: "k" for count k, "" for a separator.
QStringList numbered(const QList<int>& values)
{
  QStringList cells;
  for (int v : values)
    cells << (v < 0 ? QString() : QString::number(v) + QStringLiteral(",00"));
  return cells;
}

QList<int> upTo(int n)
{
  QList<int> v;
  for (int i = 0; i < n; ++i)
    v << i;
  return v;
}

// The closed grid line by line, as "v;v;;v" (empty for a hole).
QStringList closedText(const MapSeries& map)
{
  QStringList lines;
  for (int z = 0; z < map.closedLines(); ++z) {
    QStringList fields;
    for (int x = 0; x < map.closedColumns(); ++x)
      fields << (map.hasValue(x, z) ? QString::number(map.at(x, z)) : QString());
    lines << fields.join(u';');
  }
  return lines;
}

MapSeries build(const QStringList& cells, int columns, int lines, bool transpose = false,
                bool trend = false, bool stress = false)
{
  MeasurementGrid grid;
  fillGrid(grid, cells);
  MapOptions o;
  o.size = {columns, lines};
  o.transpose = transpose;
  o.removeTrend = trend;
  o.stressMode = stress;
  o.stress.StressZeroBr = 1.0;
  o.stress.StressSlope = 100.0;
  return ComputeMapSeries(grid, o);
}

}  // namespace

class TestMapGrid : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void placement_data();
  void placement();
  void pipeMaps();
  void nodeOrder();
  void trend_data();
  void trend();
  void fullLineTrendAsRecord();
  void range_data();
  void range();
  void levelColours();
  void label_data();
  void label();
  void viewSizes();
};

void TestMapGrid::placement_data()
{
  QTest::addColumn<QList<int>>("counts");  // -1 is a separator
  QTest::addColumn<bool>("transpose");
  QTest::addColumn<QStringList>("closed");  // 3 lines of 4 columns, closed to 4 x 5

  QTest::newRow("runs of 3 down the columns, closed on both sides")
      << upTo(12) << false << QStringList{"0;3;6;9;0", "1;4;7;10;1", "2;5;8;11;2", "0;3;6;9;0"};
  QTest::newRow("transposed: runs of 4 along the lines")
      << upTo(12) << true << QStringList{"0;1;2;3;0", "4;5;6;7;4", "8;9;10;11;8", "0;1;2;3;0"};
  QTest::newRow("counts beyond C x R are not shown")
      << (upTo(12) << 50 << 60) << false
      << QStringList{"0;3;6;9;0", "1;4;7;10;1", "2;5;8;11;2", "0;3;6;9;0"};
  QTest::newRow("an empty last run: no closing column and no corner")
      << upTo(8) << false << QStringList{"0;3;6;;", "1;4;7;;", "2;5;;;", "0;3;6;;"};
  QTest::newRow("a hole at place 0: closing points taken by position")
      << (QList<int>{-1} << upTo(12).mid(1)) << false
      << QStringList{";3;6;9;", "1;4;7;10;1", "2;5;8;11;2", ";3;6;9;"};
  QTest::newRow("separators take their places and shift the records")
      << QList<int>{0, 1, 2, 3, -1, 4, 5, 6, 7, -1, 8, 9} << true
      << QStringList{"0;1;2;3;0", ";4;5;6;", "7;;8;9;7", "0;1;2;3;0"};
  QTest::newRow("no counts: every place a hole")
      << QList<int>{-1, -1} << false << QStringList{";;;;", ";;;;", ";;;;", ";;;;"};
}

void TestMapGrid::placement()
{
  QFETCH(QList<int>, counts);
  QFETCH(bool, transpose);
  QFETCH(QStringList, closed);
  const MapSeries map = build(numbered(counts), 4, 3, transpose);
  QCOMPARE(closedText(map), closed);
  // Both series hold one point for every value of the closed grid, no more.
  qsizetype values = 0;
  for (const QString& line : closed)
    for (const QString& field : line.split(u';'))
      values += field.isEmpty() ? 0 : 1;
  QCOMPARE(map.nodes.size(), values);
  QCOMPARE(map.empty, values == 0);
}

void TestMapGrid::pipeMaps()
{
  // The pipe maps of 12 positions around 3 cross-sections.
  const MapSeries plain = build(numbered(upTo(36)), 12, 3);
  QCOMPARE(plain.at(1, 1), 4.0);
  for (int x = 0; x <= 12; ++x)
    QCOMPARE(plain.at(x, 3), plain.at(x, 0));
  for (int z = 0; z <= 3; ++z)
    QCOMPARE(plain.at(12, z), plain.at(0, z));

  const MapSeries transposed = build(numbered(upTo(36)), 12, 3, true);
  QCOMPARE(transposed.at(4, 0), 4.0);
  QCOMPARE(transposed.at(1, 1), 13.0);

  const MapSeries short30 = build(numbered(upTo(30)), 12, 3);
  for (int z = 0; z <= 3; ++z) {
    QVERIFY(!short30.hasValue(10, z));
    QVERIFY(!short30.hasValue(11, z));
    QVERIFY(!short30.hasValue(12, z));
  }
  for (int x = 0; x < 10; ++x)
    QCOMPARE(short30.at(x, 3), short30.at(x, 0));
}

void TestMapGrid::nodeOrder()
{
  // Each run, then its closing point, then the closing run and the corner: the
  // order the data export writes. Place 0 is a hole, so run 0 has no closing point.
  const MapSeries map = build(numbered({-1, 1, 2, 3}), 2, 2);
  QList<QList<double>> order;
  for (const MapNode& n : map.nodes)
    order << QList<double>{double(n.x), double(n.z), n.y};
  const QList<QList<double>> expected{{0, 1, 1}, {1, 0, 2}, {1, 1, 3}, {1, 2, 2}, {2, 1, 1}};
  QCOMPARE(order, expected);
}

void TestMapGrid::trend_data()
{
  QTest::addColumn<QStringList>("cells");  // one map line of 6 places down column 0
  QTest::addColumn<bool>("stress");
  QTest::addColumn<QList<double>>("line");  // places 0..5, NaN for a hole

  const double H = std::nan("");
  QTest::newRow("a full ramp detrends to its mean")
      << QStringList{"1,00", "2,00", "3,00", "4,00", "5,00", "6,00"} << false
      << QList<double>{3.5, 3.5, 3.5, 3.5, 3.5, 3.5};
  QTest::newRow("a cubic with a separator: fitted over its counts only")
      << QStringList{"1,00", "8,00", "27,00", "", "125,00", "216,00"} << false
      << QList<double>{75.4, 75.4, 75.4, H, 75.4, 75.4};
  QTest::newRow("a line running past the end of the data")
      << QStringList{"2,00", "4,00", "6,00", "8,00"} << false << QList<double>{5, 5, 5, 5, H, H};
  QTest::newRow("three counts stay as they are")
      << QStringList{"1,00", "", "5,00", "", "2,00"} << false << QList<double>{1, H, 5, H, 2, H};
  QTest::newRow("detrended in mT, then converted")
      << QStringList{"1,00", "2,00", "3,00", "4,00", "5,00", "6,00"} << true
      << QList<double>{250, 250, 250, 250, 250, 250};
}

void TestMapGrid::trend()
{
  QFETCH(QStringList, cells);
  QFETCH(bool, stress);
  QFETCH(QList<double>, line);
  const MapSeries map = build(cells, 2, 6, false, true, stress);
  for (int z = 0; z < 6; ++z) {
    const QByteArray where = "place " + QByteArray::number(z);
    QVERIFY2(map.hasValue(0, z) == !std::isnan(line[z]), where);
    if (map.hasValue(0, z))
      QVERIFY2(std::fabs(map.at(0, z) - line[z]) < 1e-9,
               where + " is " + QByteArray::number(map.at(0, z), 'g', 17));
  }
}

void TestMapGrid::fullLineTrendAsRecord()
{
  // A full map line gives exactly what the record fit gives for the same rows.
  const QStringList cells{"3,17", "4,02", "5,55", "2,10", "7,35", "6,66", "1,01", "9,99"};
  MeasurementGrid grid;
  fillGrid(grid, cells);
  double mean = 0.0;
  const TrendCoefficients t = FitRecordTrend(grid, 2, 9, &mean);
  const MapSeries map = build(cells, 2, 8, false, true);
  for (int i = 0; i < 8; ++i) {
    double v = 0.0;
    QVERIFY(fmt::readReal(cells[i], &v));
    QCOMPARE(map.at(0, i), t.detrended(v, i + 1, mean));
  }
}

void TestMapGrid::range_data()
{
  QTest::addColumn<QStringList>("cells");
  QTest::addColumn<bool>("stress");
  QTest::addColumn<double>("min");
  QTest::addColumn<double>("max");
  QTest::addColumn<double>("level0");
  QTest::addColumn<double>("level9");
  QTest::addColumn<double>("axisMin");
  QTest::addColumn<double>("axisMax");

  QTest::newRow("values across the scale")
      << QStringList{"00,00", "20,00"} << false << 0.0 << 20.0 << 1.0 << 19.0 << -10.0 << 30.0;
  QTest::newRow("values above 20 mT")
      << QStringList{"30,00", "40,00"} << false << 30.0 << 40.0 << 30.5 << 39.5 << 25.0 << 45.0;
  QTest::newRow("a descending sequence keeps its maximum")
      << QStringList{"09,00", "07,00", "05,00", "03,00"} << false << 3.0 << 9.0 << 3.3 << 8.7 << 0.0
      << 12.0;
  QTest::newRow("negative stresses") << QStringList{"00,50", "03,00"} << true << -50.0 << 200.0
                                     << -37.5 << 187.5 << -175.0 << 325.0;
  QTest::newRow("all counts equal: every bound that value, the axis that value rounded")
      << QStringList{"07,50", "07,50", "07,50"} << false << 7.5 << 7.5 << 7.5 << 7.5 << 8.0 << 8.0;
  QTest::newRow("no value: 0..20 mT")
      << QStringList{"", ""} << false << 0.0 << 20.0 << 1.0 << 19.0 << -10.0 << 30.0;
  QTest::newRow("no value: 0..1000 MPa")
      << QStringList{""} << true << 0.0 << 1000.0 << 50.0 << 950.0 << -500.0 << 1500.0;
}

void TestMapGrid::range()
{
  QFETCH(QStringList, cells);
  QFETCH(bool, stress);
  QFETCH(double, min);
  QFETCH(double, max);
  QFETCH(double, level0);
  QFETCH(double, level9);
  QFETCH(double, axisMin);
  QFETCH(double, axisMax);
  const MapSeries map = build(cells, 2, 2, false, false, stress);
  QCOMPARE(map.values.min, min);
  QCOMPARE(map.values.max, max);
  QVERIFY(std::fabs(map.levels[0].upper - level0) < 1e-9);
  QVERIFY(std::fabs(map.levels[9].upper - level9) < 1e-9);
  for (size_t i = 1; i < ContourLevelCount; ++i)
    QVERIFY(map.levels[i].upper >= map.levels[i - 1].upper);
  QCOMPARE(map.surfaceAxis.min, axisMin);
  QCOMPARE(map.surfaceAxis.max, axisMax);
}

void TestMapGrid::levelColours()
{
  const MapSeries map = build(numbered(upTo(12)), 4, 3);
  const unsigned expected[] = {MapBlue,  MapBlue,  MapBlack, MapBlack, MapBlack,
                               MapBlack, MapBlack, MapBlack, MapRed,   MapRed};
  for (size_t i = 0; i < ContourLevelCount; ++i)
    QCOMPARE(map.levels[i].color, expected[i]);
  QCOMPARE(map.levels[0].label, QStringLiteral("0,55"));
  QCOMPARE(map.levels[9].label, QStringLiteral("10,45"));
}

void TestMapGrid::label_data()
{
  QTest::addColumn<double>("bound");
  QTest::addColumn<bool>("stress");
  QTest::addColumn<QString>("text");

  QTest::newRow("MPa to the whole number") << 251.6 << true << "252";
  QTest::newRow("MPa half to even") << 250.5 << true << "250";
  QTest::newRow("mT to hundredths") << 1.2345 << false << "1,23";
  QTest::newRow("mT whole value") << 7.0 << false << "7";
  QTest::newRow("a small negative bound reads 0") << -0.001 << false << "0";
  QTest::newRow("not a number keeps the text before") << std::nan("") << false << "prev";
  QTest::newRow("a bound past the integers is still written") << 1e300 << true << "1E300";
}

void TestMapGrid::label()
{
  QFETCH(double, bound);
  QFETCH(bool, stress);
  QFETCH(QString, text);
  QCOMPARE(ContourLevelLabel(bound, stress, QStringLiteral("prev")), text);
}

void TestMapGrid::viewSizes()
{
  const QList<std::pair<int, int>> expected{{1, 1},  {1, 1},  {12, 3}, {12, 6},
                                            {12, 3}, {12, 6}, {17, 5}, {17, 5}};
  for (int page = 1; page <= 8; ++page) {
    const MapSize s = MapSizeOfView(page, 17, 5);
    QCOMPARE(std::make_pair(s.columns, s.lines), expected[page - 1]);
  }
}

QTEST_APPLESS_MAIN(TestMapGrid)
#include "test_map_grid.moc"
