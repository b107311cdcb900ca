#pragma once
// Cubic trend of a run of counts, fitted by least squares.

#include "data/measurement_grid.h"

#include <array>

struct TrendCoefficients {
  double a0 = 0.0;
  double a1 = 0.0;
  double a2 = 0.0;
  double a3 = 0.0;

  // T(p) for the position p of a count in its run (1 for the first count).
  double at(double p) const { return ((a3 * p + a2) * p + a1) * p + a0; }

  // A count v at position p with the trend taken out and the run's mean (as the
  // fit of this run left it) added back, so the run keeps its level.
  double detrended(double v, double p, double mean) const { return v - at(p) + mean; }
};

// Fits T over grid rows firstRow..lastRow (column 1). Sets *currentMean to the
// run's mean when the run has rows; a run too short for a cubic gets a flat
// trend at that mean.
TrendCoefficients FitRecordTrend(const MeasurementGrid& grid, int firstRow, int lastRow,
                                 double* currentMean);

// The normal equations lose too much in double.
using TrendReal = long double;

// The least-squares cubic from its sums over the fitted positions p:
// sums[k] = sum of p^k (k = 0..6), moments[k] = sum of p^k * v (k = 0..3).
// All zero when the sums fix no cubic. Shared by every fit, so a record and a
// full map line come out the same to the last bit.
std::array<double, 4> SolveCubicTrend(const std::array<TrendReal, 7>& sums,
                                      const std::array<TrendReal, 4>& moments);
