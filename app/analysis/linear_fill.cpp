#include "analysis/linear_fill.h"

#include "analysis/trend.h"
#include "shell/formats.h"

void SeriesPoints::reserve(int n)
{
  x.reserve(n);
  y.reserve(n);
  null.reserve(n);
}

void SeriesPoints::add(double px, double py)
{
  x.append(px);
  y.append(py);
  null.append(false);
}

void SeriesPoints::addNull(double px)
{
  x.append(px);
  y.append(0.0);
  null.append(true);
}

ValueRange LinearValueAxis(bool stressMode)
{
  return stressMode ? ValueRange{0.0, 1000.0} : ValueRange{0.0, 20.0};
}

namespace {

// The run that starts at `first` ends before the next row the chart treats as a
// separator: an empty Br cell, or one that is not a number, which breaks the line
// and so must not take part in the fit of the counts before it either.
int recordRunEnd(const MeasurementGrid& grid, int first)
{
  const int rows = grid.RowCount();
  double v = 0.0;
  for (int r = first + 1; r < rows; ++r)
    if (!fmt::readReal(grid.cell(r, 1), &v))
      return r - 1;
  return rows - 1;
}

class LinearFiller {
 public:
  LinearFiller(const MeasurementGrid& grid, const LinearFillOptions& options, double mean)
      : m_grid(grid), m_options(options), m_mean(mean)
  {
  }

  LinearFill run()
  {
    const int rows = m_grid.RowCount();
    LinearFill fill;
    fill.valueAxis = LinearValueAxis(m_options.stressMode);
    const int points = rows > 1 ? rows - 1 : 0;
    fill.line.reserve(points);
    fill.dots.reserve(points);
    fill.average.reserve(points);
    // Row 1 is the return row, a separator; should it ever hold a count, the run
    // from row 1 is fitted first so no count is drawn against a stale trend.
    startRecord(1);
    for (int r = 1; r < rows; ++r) {
      const double x = r - 1;
      double v = 0.0;
      if (fmt::readReal(m_grid.cell(r, 1), &v)) {
        addCount(fill, r, x, v);
      } else {
        fill.line.addNull(x);
        fill.average.addNull(x);
        startRecord(r + 1);
      }
    }
    fill.currentMean = m_mean;
    return fill;
  }

 private:
  void startRecord(int first)
  {
    m_first = first;
    // An empty record (two separators in a row, or a trailing one) has nothing to
    // fit: leave the mean of the last real record in force.
    double v = 0.0;
    if (!fmt::readReal(m_grid.cell(first, 1), &v)) {
      m_trend = TrendCoefficients{m_mean, 0.0, 0.0, 0.0};
      return;
    }
    m_trend = FitRecordTrend(m_grid, first, recordRunEnd(m_grid, first), &m_mean);
  }

  void addCount(LinearFill& fill, int r, double x, double v)
  {
    if (m_options.removeTrend)
      v = v - m_trend.at(r - m_first + 1) + m_mean;
    const bool stress = m_options.stressMode;
    const double y = stress ? m_options.stress.ToStress(v) : v;
    fill.line.add(x, y);
    fill.dots.add(x, y);
    fill.average.add(x, stress ? m_options.stress.ToStress(m_mean) : m_mean);
  }

  const MeasurementGrid& m_grid;
  const LinearFillOptions& m_options;
  double m_mean;
  int m_first = 1;
  TrendCoefficients m_trend;
};

}  // namespace

LinearFill ComputeLinearFill(const MeasurementGrid& grid, const LinearFillOptions& options,
                             double currentMean)
{
  return LinearFiller(grid, options, currentMean).run();
}
