#include "charts/chart_ticker.h"

#include "common/formats.h"

#include <algorithm>
#include <cmath>

ChartTicker::ChartTicker()
{
  setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
  setTickCount(1000);
}

void ChartTicker::fitLabels(double axisPixels, double labelPixels)
{
  if (labelPixels <= 0.0)
    return;
  setTickCount(std::max(1, static_cast<int>(axisPixels / labelPixels)));
}

QString ChartTicker::getTickLabel(double tick, const QLocale&, QChar, int)
{
  if (m_labelEvery > 0.0) {
    const double k = tick / m_labelEvery;
    if (std::abs(k - std::round(k)) > 1e-9)
      return {};
  }
  // Ticks are computed as multiples of the step; 12 digits hide the binary
  // noise (0.30000000000000004) without losing any step a user would choose.
  if (std::abs(tick) < 1e-12 * std::max(1.0, tickStep()))
    tick = 0.0;
  return fmt::general(tick, 12);
}

namespace {

// The next finer step of the 1-2-5 sequence: 5 -> 2 -> 1 -> 0.5 ...
double finerStep(double step)
{
  const double decade = std::pow(10.0, std::floor(std::log10(step)));
  const double m = step / decade;
  if (m > 5.0 + 1e-9)
    return 5.0 * decade;
  if (m > 2.0 + 1e-9)
    return 2.0 * decade;
  if (m > 1.0 + 1e-9)
    return decade;
  return 0.5 * decade;
}

int ticksIn(const QCPRange& range, double step)
{
  // A wide range over a fine step holds more ticks than an int counts.
  return fmt::nearestInt(std::floor(range.upper / step + 1e-9) -
                         std::ceil(range.lower / step - 1e-9) + 1.0);
}

}  // namespace

double ChartTicker::getTickStep(const QCPRange& range)
{
  double step = QCPAxisTickerFixed::getTickStep(range);
  // A record of a few counts would show no label at all at the desired step;
  // a finer one labels it, though never finer than whole counts on an axis
  // whose desired step is whole.
  const double finest = tickStep() >= 1.0 ? 1.0 : tickStep();
  while (step > finest && ticksIn(range, step) < 2)
    step = std::max(finerStep(step), finest);
  return step;
}

int ChartTicker::getSubTickCount(double)
{
  return m_subTicks;
}

QCPRange drawableRange(double min, double max)
{
  if (max - min > 1e-9 * std::max(1.0, std::abs(min)))
    return QCPRange(min, max);
  return QCPRange(min - 0.5, max + 0.5);
}
