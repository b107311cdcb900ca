#pragma once
// Summary statistics of a range of grid rows and the text of the statistics
// label over the linear chart.

#include "analysis/stress_law.h"
#include "data/measurement_grid.h"

#include <QString>

struct AppState;

// Minimum, maximum and mean Br (mT) of the counts of a range of rows. The
// minimum starts at the top of the instrument's scale (20 mT) and the maximum at
// 0, so a range outside 0..20 shows the scale's edge on that side.
struct RangeStatistics {
  double min = 20.0;
  double max = 0.0;
  double mean = 0.0;
  int records = 1;  // 1 + the empty Br cells of the range
  int counts = 0;
};

// Statistics of the Br cells of grid rows firstRow..lastRow inclusive. An empty
// Br cell is a separator: it adds a record and nothing else. A cell that does not
// read as a number is left out of the figures.
RangeStatistics ComputeRangeStatistics(const MeasurementGrid& grid, int firstRow, int lastRow);

// The label's three lines ("Br max =", "Br avg =", "Br min =" in mT, or the
// "S ..." lines in MPa), joined by a carriage return alone.
QString StatisticsLabelText(double max, double mean, double min, bool stressMode,
                            const StressLaw& stress);
QString StatisticsLabelText(const RangeStatistics& s, bool stressMode, const StressLaw& stress);

// Number formats of the label: Br with 3 significant digits and 2 decimals,
// stress with 4 significant digits and 1 decimal.
QString FormatBrValue(double mT);
QString FormatStressValue(double mpa);

// Stores the figures where the rest of the program reads them: RangeMin,
// RangeMax, RangeMean and CurrentMean.
void StoreRangeStatistics(const RangeStatistics& s, AppState& state);

// The label lines as separate strings (for printing and for a label widget that
// breaks lines on '\n').
QStringList StatisticsLabelLines(const QString& labelText);

inline constexpr QChar StatisticsLineBreak = u'\r';
