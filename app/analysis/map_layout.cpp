#include "analysis/map_layout.h"

#include "common/formats.h"

#include <cmath>

namespace {

int rounded(double v)
{
  return static_cast<int>(fmt::nearest(v));
}

}  // namespace

std::optional<ChartMargins> FitContourAspect(double w, double h, double yMax, double xMax,
                                             double sx, double sy)
{
  // A minimised window reports a zero size; dividing by it would give margins
  // of infinity, and the plot would be lost when the window comes back.
  if (!(w > 0 && h > 0 && yMax > 0 && xMax > 0 && sx > 0 && sy > 0))
    return std::nullopt;
  const double side = rounded(16.0 * w / h);
  const double d = h / 2 - w * yMax * sy / (2 * sx * xMax);
  if (d >= 0)
    return ChartMargins{static_cast<int>(side), rounded(d + 24), static_cast<int>(side),
                        rounded(d + 8)};
  const double e = w / 2 - h * xMax * sx / (2 * sy * yMax);
  const int lr = rounded(16.0 * w / h + e);
  return ChartMargins{lr, 24, lr, 8};
}

std::optional<int> SurfaceDepthPercent(double depthMax, double bottomMax)
{
  if (!(bottomMax > 0) || !(depthMax < bottomMax))
    return std::nullopt;
  return static_cast<int>(std::ceil(100.0 * depthMax / bottomMax));
}

int SurfaceDepthFactor(int dX, int dY)
{
  if (dX <= 0)
    return 2;
  return rounded(static_cast<double>(dY) / dX + 2);
}

int CustomGridLines(int scrollBar5Position)
{
  return 101 - scrollBar5Position;
}

int CustomGridLineStep(int scrollBar9Position)
{
  return 100 - scrollBar9Position;
}
