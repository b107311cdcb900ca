#include "export/export_series.h"

XlsSeries LinearXlsSeries(const LinearFill& fill)
{
  XlsSeries s;
  s.xs = fill.dots.x;
  s.ys = fill.dots.y;
  s.nulls = fill.dots.null;
  return s;
}

XlsSeries CircularXlsSeries(const CircularChart& chart)
{
  XlsSeries s;
  const int n = static_cast<int>(chart.values.size());
  s.xs.reserve(n);
  s.ys.reserve(n);
  s.labels.reserve(n);
  for (const PolarPoint& p : chart.values) {
    s.xs << p.angle;
    s.ys << p.radius;
    s.labels << p.label;
  }
  return s;
}

XlsSeries MapXlsSeries(const MapSeries& map)
{
  XlsSeries s;
  s.hasZ = true;
  const int n = static_cast<int>(map.nodes.size());
  s.xs.reserve(n);
  s.ys.reserve(n);
  s.zs.reserve(n);
  for (const MapNode& node : map.nodes) {
    s.xs << node.x;
    s.ys << node.y;
    s.zs << node.z;
  }
  return s;
}
