#include "analysis/map_trend.h"

#include <array>

namespace {

using Real = long double;  // as the record fit: the normal equations lose too much in double
using Matrix4 = std::array<std::array<Real, 4>, 4>;

Real det3(const Matrix4& m, int skipCol)
{
  std::array<std::array<Real, 3>, 3> s{};
  for (int r = 1; r < 4; ++r)
    for (int c = 0, cc = 0; c < 4; ++c)
      if (c != skipCol)
        s[static_cast<size_t>(r - 1)][static_cast<size_t>(cc++)] =
            m[static_cast<size_t>(r)][static_cast<size_t>(c)];
  return s[0][0] * (s[1][1] * s[2][2] - s[1][2] * s[2][1]) -
         s[0][1] * (s[1][0] * s[2][2] - s[1][2] * s[2][0]) +
         s[0][2] * (s[1][0] * s[2][1] - s[1][1] * s[2][0]);
}

Real det4(const Matrix4& m)
{
  Real d = 0;
  for (int c = 0; c < 4; ++c) {
    const Real term = m[0][static_cast<size_t>(c)] * det3(m, c);
    d += c % 2 == 0 ? term : -term;
  }
  return d;
}

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
  Matrix4 m{};
  for (size_t r = 0; r < 4; ++r)
    for (size_t c = 0; c < 4; ++c)
      m[r][c] = s[r + c];
  const Real d = det4(m);
  if (d == 0)
    return t;
  std::array<double, 4> a{};
  for (size_t i = 0; i < 4; ++i) {
    Matrix4 mi = m;
    for (size_t r = 0; r < 4; ++r)
      mi[r][i] = y[r];
    a[i] = static_cast<double>(det4(mi) / d);
  }
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
