#include "analysis/map_palette.h"

#include "common/formats.h"

#include <algorithm>
#include <cmath>

namespace {

unsigned channel(unsigned bgr, int shift)
{
  return (bgr >> shift) & 0xFFu;
}

unsigned mix(unsigned from, unsigned to, double t)
{
  unsigned out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double a = channel(from, shift);
    const double b = channel(to, shift);
    const auto c = static_cast<unsigned>(std::lround(a + (b - a) * t));
    out |= std::min(c, 255u) << shift;
  }
  return out;
}

}  // namespace

unsigned PaletteColorAt(const PaletteColors& colors, double t)
{
  t = std::clamp(std::isfinite(t) ? t : 0.0, 0.0, 1.0);
  if (t <= 0.5)
    return mix(colors.low, colors.mid, t * 2);
  return mix(colors.mid, colors.high, t * 2 - 1);
}

QVector<PaletteStep> SurfacePalette(const ValueRange& values, const PaletteColors& colors)
{
  QVector<PaletteStep> steps;
  steps.reserve(SurfacePaletteSteps);
  const double span = values.max - values.min;
  for (int i = 0; i < SurfacePaletteSteps; ++i) {
    PaletteStep s;
    s.lower = values.min + span * i / SurfacePaletteSteps;
    s.upper = values.min + span * (i + 1) / SurfacePaletteSteps;
    // The lowest step has the minimum's colour and the highest the maximum's.
    s.color = PaletteColorAt(colors, static_cast<double>(i) / (SurfacePaletteSteps - 1));
    steps.append(s);
  }
  return steps;
}

int PaletteStepOf(const QVector<PaletteStep>& palette, double v)
{
  if (palette.isEmpty())
    return -1;
  const int last = static_cast<int>(palette.size()) - 1;
  const double lo = palette.front().lower;
  const double hi = palette.back().upper;
  if (!(hi > lo))
    return std::isnan(v) || v < lo ? 0 : last;
  const double t = (v - lo) / (hi - lo);
  if (!(t > 0))
    return 0;
  return std::min(last, static_cast<int>(t * palette.size()));
}

QString PaletteStepText(const PaletteStep& step)
{
  // "##0.#": at most one decimal, halves away from zero, no trailing zero.
  const double v = std::round(step.upper * 10) / 10 + 0.0;
  return fmt::general(v);
}
