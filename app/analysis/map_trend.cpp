#include "analysis/map_trend.h"

#include <array>

namespace {

using Real = TrendReal;

// Least squares over the given positions only: the power sums are taken over
// the positions that hold a count, not from the closed forms of 1..n.
LineTrend fitPresent(const double* values, const bool* present, int n)
{
  std::array<Real, 7> s{};
  std::array<Real, 4> y{};
  int counts = 0;
  for (int i = 0; i < n; ++i) {
    if (!present[i])
      continue;
    ++counts;
    const Real p = i + 1;
    Real pk = 1;
    for (size_t k = 0; k < 7; ++k) {
      s[k] += pk;
      if (k < 4)
        y[k] += pk * values[i];
      pk *= p;
    }
  }
  LineTrend t;
  if (counts == 0)
    return t;  // nothing to remove: flat at 0, which no value is detrended by
  t.mean = static_cast<double>(y[0] / counts);
  t.trend.a0 = t.mean;
  // Fewer than four counts cannot fix a cubic: they stay as they are.
  if (counts < 4)
    return t;
  const std::array<double, 4> a = SolveCubicTrend(s, y);
  if (a[0] == 0.0 && a[1] == 0.0 && a[2] == 0.0 && a[3] == 0.0)
    return t;
  t.trend = {a[0], a[1], a[2], a[3]};
  return t;
}

}  // namespace

LineTrend FitMapLineTrend(const MeasurementGrid& grid, int firstRow, const double* values,
                          const bool* present, int n)
{
  bool full = n > 0;
  for (int i = 0; i < n && full; ++i)
    full = present[i];
  if (!full)
    return fitPresent(values, present, n);
  LineTrend t;
  t.trend = FitRecordTrend(grid, firstRow, firstRow + n - 1, &t.mean);
  return t;
}
