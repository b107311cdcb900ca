#include "analysis/circular_points.h"

#include "common/formats.h"

#include <cmath>

int CircularAngle(int b, int n)
{
  if (n <= 0)
    return 0;
  return static_cast<int>(fmt::nearest(360.0 * b / n));
}

CircularChart ComputeCircularChart(const MeasurementGrid& grid, const CircularOptions& options,
                                   const LineValueAt& lineValue, double currentMean)
{
  CircularChart c;
  c.radiusAxis = LinearValueAxis(options.stressMode);
  const int n = grid.RowCount() - 2;
  c.shownRowCount = n > 0 ? n : 0;
  // After the linear chart's fill CurrentMean is the mean of the file's last
  // record: the circle shows that, in the unit shown.
  c.meanRadius = options.stressMode ? options.stress.ToStress(currentMean) : currentMean;
  for (int b = 0; b < n; ++b) {
    const int r = b + 2;
    const QString& br = grid.cell(r, 1);
    double v = 0.0;
    if (!fmt::readReal(br, &v))
      continue;  // the polygon joins the neighbours of an empty place
    const double angle = CircularAngle(b, n);
    double y = lineValue ? lineValue(b + 1) : std::nan("");
    if (!std::isfinite(y))
      y = options.stressMode ? options.stress.ToStress(v) : v;
    c.means.append({angle, c.meanRadius, QString()});
    c.values.append({angle, y, br});
  }
  return c;
}

CircularChart ComputeCircularChart(const MeasurementGrid& grid, const CircularOptions& options,
                                   const LinearFill& fill)
{
  const SeriesPoints& line = fill.line;
  const LineValueAt lineValue = [&line](int i) {
    if (i < 0 || i >= line.count() || line.null[i])
      return std::nan("");
    return line.y[i];
  };
  return ComputeCircularChart(grid, options, lineValue, fill.currentMean);
}

RadiusScale ZoomRadius(const RadiusScale& scale, CircularZoom button)
{
  switch (button) {
    case CircularZoom::Out:
      return {scale.max * 2, scale.increment * 2};
    case CircularZoom::In:
      return {scale.max / 2, scale.increment / 2};
    case CircularZoom::Reset:
      break;
  }
  return {};
}
