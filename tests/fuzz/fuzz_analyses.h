#pragma once
// Runs every analysis the window runs after a load over a grid that came from
// outside bytes: statistics and their label, the linear chart with and without
// trend removal, in mT and in MPa, and the record display of each record.

#include "analysis/linear_fill.h"
#include "analysis/record_display.h"
#include "analysis/statistics.h"
#include "analysis/trend.h"
#include "data/measurement_grid.h"

#include <algorithm>

namespace fuzz {

// The default item's law and the steepest law the stress table lets through
// (the 0..20 mT scale mapped onto a thousand million MPa).
inline const StressLaw TableLaws[] = {{0.62, 350.0 / (2.00 - 0.62), 1}, {0.0, 1e9 / 20.0, 2}};

// Records looked at one by one; a file of many tiny records needs no more to
// reach every path.
inline constexpr int RecordsShown = 64;

inline void runAnalyses(const MeasurementGrid& grid)
{
  const int last = grid.RowCount() - 1;
  const RangeStatistics all = ComputeRangeStatistics(grid, 2, last);
  (void)StatisticsLabelLines(StatisticsLabelText(all, false, TableLaws[0]));
  for (const StressLaw& law : TableLaws) {
    (void)StatisticsLabelText(all, true, law);
    for (const bool trend : {false, true}) {
      for (const bool stress : {false, true}) {
        const LinearFill fill = ComputeLinearFill(grid, {trend, stress, law}, all.mean);
        const int records = std::min(grid.countRecords(), RecordsShown);
        for (int k = 1; k <= records; ++k) {
          const LineValueAt lineValue = [&fill](int i) {
            return i >= 0 && i < fill.line.count() && !fill.line.null[i] ? fill.line.y[i] : 0.0;
          };
          const RecordDisplay d = ComputeRecordDisplay(grid, k, {stress, law}, lineValue);
          (void)RecordValueAxis(d.stats, {stress, law});
        }
      }
    }
  }
  double mean = 0.0;
  (void)FitRecordTrend(grid, 2, last, &mean);
  // Map grid: once the map series are computed in the core, build them here
  // for each grid size the Map menu offers, in mT and in MPa.
}

}  // namespace fuzz
