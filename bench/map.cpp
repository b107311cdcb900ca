// Prints how long the map of a 999 x 99 custom map (98 901 counts) takes to
// build, in one run: the map series (placement, closing, trend removal and the
// stress conversion, levels and labels) and the tracing of its ten level lines
// with their labels, for trend and stress off and on; and the resident memory
// the map adds. No display is needed: bench_map

#include "analysis/contour_trace.h"
#include "analysis/map_grid.h"
#include "analysis/map_palette.h"
#include "analysis/test_statistics_grid.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int Columns = 999;
constexpr int Lines = 99;
constexpr int Rounds = 7;

long residentKb()
{
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly))
    return -1;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').value(0).toLong();
  return -1;
}

// A plate with a few stress concentrations over a gentle drift, as a scan of
// a welded plate shows, in hundredths of mT between 0,40 and 19,99; every
// 500th place is a separator.
QStringList plateCells()
{
  QStringList cells;
  cells.reserve(Columns * Lines);
  for (int k = 0; k < Columns * Lines; ++k) {
    if (k % 500 == 499) {
      cells << QString();
      continue;
    }
    const double x = k / Lines;
    const double z = k % Lines;
    double v = 6 + x / 250 + 3 * std::sin(z / 9.0) +
               7 * std::exp(-((x - 300) * (x - 300) + (z - 40) * (z - 40)) / 400.0) +
               5 * std::exp(-((x - 720) * (x - 720) + (z - 70) * (z - 70)) / 900.0) +
               0.3 * std::sin(k * 12.9898);
    v = std::clamp(v, 0.4, 19.99);
    cells << QString::number(v, 'f', 2).rightJustified(5, u'0').replace(u'.', u',');
  }
  return cells;
}

double median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Figures {
  double build = 0;
  double trace = 0;
  qsizetype pieces = 0;
  qsizetype points = 0;
  qsizetype labels = 0;
  qsizetype nodes = 0;
};

Figures measure(const MeasurementGrid& grid, const MapOptions& o)
{
  std::vector<double> build;
  std::vector<double> trace;
  Figures f;
  for (int round = 0; round < Rounds; ++round) {
    QElapsedTimer t;
    t.start();
    const MapSeries map = ComputeMapSeries(grid, o);
    build.push_back(t.nsecsElapsed() / 1e6);
    t.restart();
    const ContourLines lines = TraceContours(map);
    const QVector<ContourLabel> labels = ContourLabels(map, lines);
    const QVector<PaletteStep> palette = SurfacePalette(map.values, PaletteColors{});
    trace.push_back(t.nsecsElapsed() / 1e6);
    f.pieces = lines.pieces.size();
    f.points = lines.points.size();
    f.labels = labels.size();
    f.nodes = map.nodes.size();
  }
  f.build = median(build);
  f.trace = median(trace);
  return f;
}

}  // namespace

int main()
{
  const long rssStart = residentKb();
  MeasurementGrid grid;
  fillGrid(grid, plateCells());
  const long rssGrid = residentKb();

  StressLaw law;  // St_3_flat
  law.StressZeroBr = 0.62;
  law.StressSlope = 350.0 / (2.00 - 0.62);

  std::printf("custom map %d x %d: %d places, grid of %d rows\n", Columns, Lines, Columns * Lines,
              grid.RowCount());
  std::printf("medians of %d rounds\n", Rounds);
  std::printf("%-22s %12s %12s %12s %9s %9s %8s\n", "options", "map series", "level lines",
              "together", "nodes", "pieces", "labels");
  long rssPeak = rssGrid;
  for (int variant = 0; variant < 4; ++variant) {
    MapOptions o;
    o.size = {Columns, Lines};
    o.removeTrend = variant & 1;
    o.stressMode = variant & 2;
    o.stress = law;
    const Figures f = measure(grid, o);
    rssPeak = std::max(rssPeak, residentKb());
    const char* names[] = {"plain", "trend", "stress", "trend and stress"};
    std::printf("%-22s %9.2f ms %9.2f ms %9.2f ms %9lld %9lld %8lld\n", names[variant], f.build,
                f.trace, f.build + f.trace, static_cast<long long>(f.nodes),
                static_cast<long long>(f.pieces), static_cast<long long>(f.labels));
  }

  // What one map keeps while it is shown: the series, the lines and the labels.
  const long before = residentKb();
  MapOptions o;
  o.size = {Columns, Lines};
  o.removeTrend = true;
  const MapSeries map = ComputeMapSeries(grid, o);
  const ContourLines lines = TraceContours(map);
  const QVector<ContourLabel> labels = ContourLabels(map, lines);
  const long held = residentKb();
  std::printf("resident memory: %.1f MB at start, +%.1f MB for the grid of counts,\n",
              rssStart / 1024.0, (rssGrid - rssStart) / 1024.0);
  std::printf(
      "  +%.1f MB held by one map with its lines and %lld labels, "
      "+%.1f MB at the peak of the runs (over the grid)\n",
      (held - before) / 1024.0, static_cast<long long>(labels.size()),
      (rssPeak - rssGrid) / 1024.0);
  return 0;
}
