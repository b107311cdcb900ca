#include "analysis/map_grid.h"

#include "analysis/map_trend.h"
#include "common/formats.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double Hole = std::numeric_limits<double>::quiet_NaN();

// The range of a map without a value: the unit's full scale, so the levels
// ascend and the surface's axis is never inverted.
ValueRange emptyRange(bool stressMode)
{
  return LinearValueAxis(stressMode);
}

class MapBuilder {
 public:
  MapBuilder(const MeasurementGrid& grid, const MapOptions& options)
      : m_grid(grid),
        m_o(options),
        m_columns(std::max(1, options.size.columns)),
        m_lines(std::max(1, options.size.lines)),
        m_runLength(options.transpose ? m_columns : m_lines),
        m_runs(options.transpose ? m_lines : m_columns),
        m_dataCount(std::max(0, grid.RowCount() - 2))
  {
  }

  MapSeries run()
  {
    m_map.size = {m_columns, m_lines};
    m_map.closed.fill(Hole, (m_columns + 1) * (m_lines + 1));
    m_map.nodes.reserve(m_columns * m_lines + m_columns + m_lines + 1);
    readValues();
    for (int j = 0; j < m_runs; ++j)
      addRun(j);
    closeGrid();
    finish();
    return std::move(m_map);
  }

 private:
  // Grid x (column) and z (line) of place i of run j; place n of a run and
  // run m are the closing points.
  void place(int j, int i, int* x, int* z) const
  {
    *x = m_o.transpose ? i : j;
    *z = m_o.transpose ? j : i;
  }

  double valueAt(int j, int i) const
  {
    int x = 0;
    int z = 0;
    place(j, i, &x, &z);
    return m_map.at(x, z);
  }

  void readValues()
  {
    const int shown = std::min(m_dataCount, m_runs * m_runLength);
    m_values.fill(0.0, m_runs * m_runLength);
    m_present.fill(false, m_runs * m_runLength);
    for (int k = 0; k < shown; ++k)
      m_present[k] = fmt::readReal(m_grid.cell(k + 2, 1), &m_values[k]);
  }

  void add(int j, int i, double v)
  {
    int x = 0;
    int z = 0;
    place(j, i, &x, &z);
    m_map.nodes.append({x, z, v});
    m_map.closed[z * (m_columns + 1) + x] = v;
    m_min = std::min(m_min, v);
    m_max = std::max(m_max, v);
  }

  void addRun(int j)
  {
    const int first = j * m_runLength;
    LineTrend fit;
    if (m_o.removeTrend)
      fit = FitMapLineTrend(m_grid, first + 2, m_values.constData() + first,
                            m_present.constData() + first, m_runLength);
    for (int i = 0; i < m_runLength; ++i) {
      const int k = first + i;
      if (!m_present[k])
        continue;
      double v = m_values[k];
      if (m_o.removeTrend)
        v = fit.trend.detrended(v, i + 1, fit.mean);
      if (m_o.stressMode)
        v = m_o.stress.ToStress(v);
      if (std::isfinite(v))
        add(j, i, v);
    }
    // The circumference joins up: place n repeats place 0 of the same run.
    const double v0 = valueAt(j, 0);
    if (first < m_dataCount && !std::isnan(v0))
      add(j, m_runLength, v0);
  }

  void closeGrid()
  {
    // The closing run repeats run 0, by place, where the last run reaches.
    const int last = (m_runs - 1) * m_runLength;
    for (int i = 0; i < m_runLength; ++i) {
      const double v = valueAt(0, i);
      if (last + i < m_dataCount && !std::isnan(v))
        add(m_runs, i, v);
    }
    const double corner = valueAt(0, 0);
    if (last < m_dataCount && !std::isnan(corner))
      add(m_runs, m_runLength, corner);
  }

  void finish()
  {
    m_map.empty = m_map.nodes.isEmpty();
    m_map.values = m_map.empty ? emptyRange(m_o.stressMode) : ValueRange{m_min, m_max};
    const double lo = m_map.values.min;
    const double span = m_map.values.max - lo;
    for (int i = 0; i < ContourLevelCount; ++i) {
      ContourLevel& level = m_map.levels[static_cast<size_t>(i)];
      level.upper = lo + span * (2 * i + 1) / 20;
      level.color = i < 2 ? MapBlue : i >= 8 ? MapRed : MapBlack;
      level.label = ContourLevelLabel(level.upper, m_o.stressMode);
    }
    // Adding 0 turns a rounded -0 into 0, which is how it is written.
    m_map.surfaceAxis = {std::nearbyint(lo - span / 2) + 0.0,
                         std::nearbyint(m_map.values.max + span / 2) + 0.0};
  }

  const MeasurementGrid& m_grid;
  const MapOptions& m_o;
  const int m_columns;
  const int m_lines;
  const int m_runLength;
  const int m_runs;
  const int m_dataCount;
  QVector<double> m_values;
  QVector<bool> m_present;
  double m_min = std::numeric_limits<double>::infinity();
  double m_max = -std::numeric_limits<double>::infinity();
  MapSeries m_map;
};

}  // namespace

double MapSeries::at(int x, int z) const
{
  if (x < 0 || z < 0 || x > size.columns || z > size.lines)
    return Hole;
  return closed[z * (size.columns + 1) + x];
}

bool MapSeries::hasValue(int x, int z) const
{
  return !std::isnan(at(x, z));
}

MapSize MapSizeOfView(int page, int customX, int customY)
{
  switch (page) {
    case 3:
    case 5:
      return {12, 3};
    case 4:
    case 6:
      return {12, 6};
    case 7:
    case 8:
      return {customX, customY};
    default:
      return {1, 1};
  }
}

MapSeries ComputeMapSeries(const MeasurementGrid& grid, const MapOptions& options)
{
  return MapBuilder(grid, options).run();
}

QString ContourLevelLabel(double upper, bool stressMode, const QString& previous)
{
  if (!std::isfinite(upper))
    return previous;
  // Rounded in double, so a bound beyond the integers' range is still written.
  const double shown =
      (stressMode ? std::nearbyint(upper) : std::nearbyint(upper * 100) * 0.01) + 0.0;
  if (!std::isfinite(shown))
    return previous;
  return fmt::general(shown);
}
