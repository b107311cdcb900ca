#pragma once
// The linear chart's series computed from the whole grid: the line of the counts
// with null points at the separators, the dots, and the average line that shows
// each record's own mean. Trend removal and the stress conversion are applied
// here, while filling; the grid itself is never changed.

#include "analysis/stress_law.h"
#include "data/measurement_grid.h"

#include <QVector>

struct LinearFillOptions {
  bool removeTrend = false;
  bool stressMode = false;
  StressLaw stress;
};

// Points in the order they are added to a chart series; a null point breaks a line.
struct SeriesPoints {
  QVector<double> x;
  QVector<double> y;
  QVector<bool> null;

  int count() const { return static_cast<int>(x.size()); }
  void reserve(int n);
  void add(double px, double py);
  void addNull(double px);
};

struct ValueRange {
  double min = 0.0;
  double max = 0.0;
};

struct LinearFill {
  SeriesPoints line;     // point i stands for grid row i + 1, from row 1 to the last row
  SeriesPoints dots;     // the counts only
  SeriesPoints average;  // the mean of each count's record, broken at separators
  ValueRange valueAxis;
  double currentMean = 0.0;  // the mean of the last record fitted
};

// The fixed value axis of the unit in force: 0..1000 MPa or 0..20 mT.
ValueRange LinearValueAxis(bool stressMode);

// Fills the series from grid rows 1..RowCount-1. `currentMean` is the mean the
// program held before (kept when the grid has no record to fit).
LinearFill ComputeLinearFill(const MeasurementGrid& grid, const LinearFillOptions& options,
                             double currentMean);
