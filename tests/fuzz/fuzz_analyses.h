#pragma once
// Runs every analysis the window runs after a load over a grid that came from
// outside bytes: statistics and their label, the linear chart with and without
// trend removal, in mT and in MPa, the record display of each record, and the
// map of the contour and surface views with its levels and palette.

#include "analysis/linear_fill.h"
#include "analysis/map_grid.h"
#include "analysis/map_palette.h"
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

// The 3 x 12 and 6 x 12 views and a custom 17 x 5 grid, plain and with every
// option on (transposed, trend removed, the steepest law).
inline void runMaps(const MeasurementGrid& grid)
{
  for (const int page : {3, 4, 7}) {
    const MapSize size = MapSizeOfView(page, 17, 5);
    for (const bool all : {false, true}) {
      const MapSeries map = ComputeMapSeries(grid, {size, all, all, all, TableLaws[1]});
      for (const ContourLevel& level : map.levels)
        (void)ContourLevelLabel(level.upper, all);
      const QVector<PaletteStep> palette = SurfacePalette(map.values, PaletteColors{});
      for (const MapNode& node : map.nodes)
        (void)PaletteStepOf(palette, node.y);
      if (!palette.isEmpty())
        (void)PaletteStepText(palette.last());
    }
  }
}

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
  runMaps(grid);
}

}  // namespace fuzz
