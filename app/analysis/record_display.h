#pragma once
// What the record navigator shows for one record: its rows, the statistics of
// its counts, the "Range [..]  L=" text, the limits of the linear chart's axes
// and the points of the circular chart.

#include "analysis/linear_fill.h"
#include "analysis/statistics.h"
#include "analysis/stress_law.h"
#include "data/measurement_grid.h"

#include <QString>
#include <QVector>

#include <functional>

struct PolarPoint {
  double angle = 0.0;  // degrees
  double radius = 0.0;
  QString label;
};

struct RecordDisplay {
  int record = 1;
  int first = 0;  // first row of the record
  int end = 0;    // the first row after it
  int length() const { return end - first; }

  RangeStatistics stats;       // what RangeMin, RangeMax, RangeMean and CurrentMean become
  QString labelText;           // the statistics label
  QString panel22;             // the record number
  QString panel23;             // "Range [f..l]  L=n"
  ValueRange bottomAxis;       // count numbers of the record
  ValueRange leftAxis;         // its values, in the unit in force
  QVector<PolarPoint> values;  // circular chart, value series
  QVector<PolarPoint> means;   // circular chart, mean series
};

struct RecordDisplayOptions {
  bool stressMode = false;
  StressLaw stress;
};

// The value the linear chart's line series holds at a point index (grid row - 1),
// so that trend removal and the stress conversion carry over to the circular chart.
// Without it, or where it gives NaN, the count's own value in the unit in force.
using LineValueAt = std::function<double(int pointIndex)>;

// Record k (1-based). A record without counts shows its place as a one-point
// range, the full value scale and empty circular series.
RecordDisplay ComputeRecordDisplay(const MeasurementGrid& grid, int k,
                                   const RecordDisplayOptions& options,
                                   const LineValueAt& lineValue);

// The value axis fitted to a record's figures: one unit of margin either way,
// rounded to whole units, clamped to the 0..20 mT scale (not in MPa).
ValueRange RecordValueAxis(const RangeStatistics& stats, const RecordDisplayOptions& options);

QString RangePanelText(int firstCount, int lastCount, int length);
