#include "analysis/trend.h"

#include "common/formats.h"

#include <array>

namespace {

using Real = TrendReal;
using Matrix4 = std::array<std::array<Real, 4>, 4>;

Real det3(const Matrix4& m, int skipRow, int skipCol)
{
  std::array<std::array<Real, 3>, 3> s{};
  for (int r = 0, rr = 0; r < 4; ++r) {
    if (r == skipRow)
      continue;
    for (int c = 0, cc = 0; c < 4; ++c) {
      if (c == skipCol)
        continue;
      s[rr][cc++] = m[r][c];
    }
    ++rr;
  }
  return s[0][0] * (s[1][1] * s[2][2] - s[1][2] * s[2][1]) -
         s[0][1] * (s[1][0] * s[2][2] - s[1][2] * s[2][0]) +
         s[0][2] * (s[1][0] * s[2][1] - s[1][1] * s[2][0]);
}

Real det4(const Matrix4& m)
{
  Real d = 0;
  for (int c = 0; c < 4; ++c) {
    const Real minor = det3(m, 0, c);
    d += (c % 2 == 0 ? m[0][c] : -m[0][c]) * minor;
  }
  return d;
}

// Sums of p^k for p = 1..n, k = 0..6, from their closed forms: a fit costs one
// pass over its rows whatever its length.
std::array<Real, 7> powerSums(Real n)
{
  std::array<Real, 7> s{};
  s[0] = n;
  s[1] = n * (n + 1) / 2;
  s[2] = (2 * n + 1) * s[1] / 3;
  s[3] = s[1] * s[1];
  s[4] = (3 * n * n + 3 * n - 1) * s[2] / 5;
  s[5] = (2 * n * n + 2 * n - 1) * s[3] / 3;
  s[6] = s[2] * (3 * n * n * n * n + 6 * n * n * n - 3 * n + 1) / 7;
  return s;
}

}  // namespace

std::array<double, 4> SolveCubicTrend(const std::array<TrendReal, 7>& sums,
                                      const std::array<TrendReal, 4>& moments)
{
  Matrix4 m{};
  for (size_t r = 0; r < 4; ++r)
    for (size_t c = 0; c < 4; ++c)
      m[r][c] = sums[r + c];
  const Real d = det4(m);
  std::array<double, 4> a{};
  if (d == 0)
    return a;
  for (size_t i = 0; i < 4; ++i) {
    Matrix4 mi = m;
    for (size_t r = 0; r < 4; ++r)
      mi[r][i] = moments[r];
    a[i] = static_cast<double>(det4(mi) / d);
  }
  return a;
}

TrendCoefficients FitRecordTrend(const MeasurementGrid& grid, int firstRow, int lastRow,
                                 double* currentMean)
{
  // Rows whose cell is not a number still count in n, as they hold a position.
  const int rows = lastRow - firstRow + 1;
  const Real n = rows;
  const std::array<Real, 7> s = powerSums(n);

  std::array<Real, 4> y{};
  for (int r = firstRow; r <= lastRow; ++r) {
    double v = 0.0;
    if (!fmt::readReal(grid.cell(r, 1), &v))
      continue;
    const Real p = r - firstRow + 1;
    const Real pv = p * v;
    y[0] += v;
    y[1] += pv;
    y[2] += p * pv;
    y[3] += p * p * pv;
  }

  // An empty run (or one given backwards) has no mean of its own and keeps the
  // mean last computed.
  double mean = currentMean ? *currentMean : 0.0;
  if (rows > 0)
    mean = static_cast<double>(y[0] / n);
  if (currentMean)
    *currentMean = mean;

  TrendCoefficients t;
  if (rows > 0) {
    const std::array<double, 4> a = SolveCubicTrend(s, y);
    t = {a[0], a[1], a[2], a[3]};
  }
  // Too few positions for a cubic, or nothing to fit: a flat trend at the mean
  // leaves every value as it is.
  if (t.a0 == 0.0 && t.a1 == 0.0 && t.a2 == 0.0 && t.a3 == 0.0)
    t.a0 = mean;
  return t;
}
