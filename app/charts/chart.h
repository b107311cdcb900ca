#pragma once
// The chart components of the main window: include this one header.
//   LinearChart  - line and point series on x/y axes (the linear chart)
//   PolarChart   - polar series on a round grid (the circular chart)
// Both are Charts (margins, title, zoom, hover tips, picture output) holding
// ChartSeries (points by index, null points, labels) and ChartAxis (fixed limits).

#include "charts/chart_axis.h"    // IWYU pragma: export
#include "charts/chart_base.h"    // IWYU pragma: export
#include "charts/chart_series.h"  // IWYU pragma: export
#include "charts/linear_chart.h"  // IWYU pragma: export
#include "charts/polar_chart.h"   // IWYU pragma: export
// The map views' chart (Chart3): a ContourChart in 2D, a SurfaceChart in 3D.
#include "charts/contour_chart.h"  // IWYU pragma: export
#include "charts/map_chart.h"      // IWYU pragma: export
#include "charts/surface_chart.h"  // IWYU pragma: export
