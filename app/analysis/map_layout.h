#pragma once
// The arithmetic of the map views' proportions: the contour plot's margins that
// keep its grid's proportions, the surface's depth percentage and depth factor,
// and the custom grid's sizes from its scroll-bar positions.

#include <optional>

struct ChartMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// FitContourAspect: the margins of a chart of width w and height h (pixels)
// whose plot shows xMax columns by yMax lines, the columns sx and the lines sy
// apart (dX and dY in the custom contour view, else 1). Nothing when the chart
// has no area (a minimised window) or the axes or steps are not positive: the
// margins then stay as they are.
std::optional<ChartMargins> FitContourAspect(double w, double h, double yMax, double xMax,
                                             double sx = 1.0, double sy = 1.0);

// The 3D depth of a custom surface: ceil(100 * depthMax / bottomMax) percent
// when the depth axis is shorter than the bottom axis; nothing (left as it is)
// otherwise.
std::optional<int> SurfaceDepthPercent(double depthMax, double bottomMax);

// The surface's depth factor: round(dY / dX + 2), halves to even.
int SurfaceDepthFactor(int dX, int dY);

// The custom grid from its controls: Y = 101 - position of ScrollBar5,
// dY = 100 - position of ScrollBar9 (X and dX are their bars' positions).
int CustomGridLines(int scrollBar5Position);
int CustomGridLineStep(int scrollBar9Position);
