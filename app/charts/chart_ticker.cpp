#include "charts/chart_ticker.h"

#include "shell/formats.h"

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
