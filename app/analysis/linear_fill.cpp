#include "analysis/linear_fill.h"

#include "analysis/trend.h"
#include "common/formats.h"

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

// Each Br cell is read once for the points and the run ends (the trend fit reads
// its own run), so a large file is not parsed over and over.
struct RowValues {
  QVector<double> value;
  QVector<bool> isNumber;
};

RowValues readRows(const MeasurementGrid& grid)
{
  const int rows = grid.RowCount();
  RowValues rv;
  rv.value.resize(rows);
  rv.isNumber.resize(rows);
  for (int r = 1; r < rows; ++r)
    rv.isNumber[r] = fmt::readReal(grid.cell(r, 1), &rv.value[r]);
  return rv;
}

class LinearFiller {
 public:
  LinearFiller(const MeasurementGrid& grid, const LinearFillOptions& options, double mean)
      : m_grid(grid), m_options(options), m_rows(readRows(grid)), m_mean(mean)
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
      if (m_rows.isNumber[r]) {
        addCount(fill, r, x, m_rows.value[r]);
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
    if (first >= m_grid.RowCount() || !m_rows.isNumber[first]) {
      m_trend = TrendCoefficients{m_mean, 0.0, 0.0, 0.0};
      return;
    }
    m_trend = FitRecordTrend(m_grid, first, runEnd(first), &m_mean);
  }

  // The run that starts at `first` ends before the next row the chart treats as
  // a separator: an empty Br cell, or one that is not a number, which breaks the
  // line and so must not take part in the fit of the counts before it either.
  int runEnd(int first) const
  {
    const int rows = m_grid.RowCount();
    for (int r = first + 1; r < rows; ++r)
      if (!m_rows.isNumber[r])
        return r - 1;
    return rows - 1;
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
  const RowValues m_rows;
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
