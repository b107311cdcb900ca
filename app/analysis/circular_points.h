#pragma once
// The circular chart of the whole file: every grid row from row 2 on has its
// place on one turn, the first at 0 degrees; separators keep their places
// empty. The radii are the linear chart's values, so trend removal and the
// stress conversion carry over.

#include "analysis/linear_fill.h"
#include "analysis/record_display.h"
#include "analysis/stress_law.h"
#include "data/measurement_grid.h"

#include <QVector>

struct CircularOptions {
  bool stressMode = false;
  StressLaw stress;
};

struct CircularChart {
  QVector<PolarPoint> values;  // PolarSeries1, in order; label = the count's Br text
  QVector<PolarPoint> means;   // PolarSeries2, the mean circle, one point per count
  double meanRadius = 0.0;     // the mean circle's radius in the unit shown
  ValueRange radiusAxis;       // 0..20 mT or 0..1000 MPa
  int shownRowCount = 0;       // ShownRowCount: RowCount - 2, never below 0
};

// FillCircularChart's points. `lineValue(i)` is the y of point i of the linear
// chart's line series (point b + 1 for grid row b + 2); where it is missing or
// NaN the count's own value in the unit in force is used. `currentMean` is
// CurrentMean in mT, as the linear chart's fill left it.
CircularChart ComputeCircularChart(const MeasurementGrid& grid, const CircularOptions& options,
                                   const LineValueAt& lineValue, double currentMean);

// The same from a linear fill computed just before (the headless tool's way).
CircularChart ComputeCircularChart(const MeasurementGrid& grid, const CircularOptions& options,
                                   const LinearFill& fill);

// The angle of place b of n on the turn, in whole degrees (halves to even).
int CircularAngle(int b, int n);

// The radius axis after a zoom button: "-" doubles maximum and increment, "+"
// halves them, "x1" gives 20 and 2 in either unit.
struct RadiusScale {
  double max = 20.0;
  double increment = 2.0;
};
enum class CircularZoom { Out, Reset, In };
RadiusScale ZoomRadius(const RadiusScale& scale, CircularZoom button);
