#pragma once
// The points each chart's XLS button writes, from the same numbers the charts
// are filled from: the linear chart's dots (Series2), the circular chart's
// values (PolarSeries1) and the map's surface series (Series6).

#include "analysis/circular_points.h"
#include "analysis/linear_fill.h"
#include "analysis/map_grid.h"
#include "export/xls_writer.h"

XlsSeries LinearXlsSeries(const LinearFill& fill);
XlsSeries CircularXlsSeries(const CircularChart& chart);  // labels kept (not allowed)
XlsSeries MapXlsSeries(const MapSeries& map);             // x, value, z per node

// Whether the chart's XLS button allows a label column.
inline constexpr bool LinearXlsLabels = false;
inline constexpr bool CircularXlsLabels = false;
inline constexpr bool MapXlsLabels = true;
