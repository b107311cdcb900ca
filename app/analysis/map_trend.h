#pragma once
// The trend of one map line. A map line can hold separators or run past the end
// of the data; those places are left out of the fit, which takes only the line's
// numeric counts at their positions and their mean. A full line is fitted as a
// record is (the same result to the last bit).

#include "analysis/trend.h"
#include "data/measurement_grid.h"

#include <QVector>

struct LineTrend {
  TrendCoefficients trend;
  double mean = 0.0;  // the mean of the line's counts, added back after the fit
};

// `values` and `present` hold the line's n places (position p = index + 1);
// `firstRow` is the grid row of place 0, read again for a full line.
LineTrend FitMapLineTrend(const MeasurementGrid& grid, int firstRow, const double* values,
                          const bool* present, int n);
