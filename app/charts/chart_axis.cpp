#include "charts/chart_axis.h"

#include <cmath>
#include <utility>

ChartAxis::ChartAxis(double min, double max, double increment)
    : m_min(min), m_max(max), m_programMin(min), m_programMax(max), m_increment(increment)
{
}

void ChartAxis::applyAll()
{
  applyRange(m_min, m_max);
  applyIncrement(m_increment);
  applyLabelsVisible(m_labelsVisible);
}

void ChartAxis::setLimits(double min, double max)
{
  m_min = min;
  m_max = max;
  applyRange(m_min, m_max);
}

void ChartAxis::setMinimum(double v)
{
  if (!std::isfinite(v))
    return;
  // Keeping the axis valid matters more than keeping the old maximum: an
  // inverted axis draws nothing useful and confuses every later conversion.
  const double max = v > m_max ? v : m_max;
  m_programMin = v;
  if (max != m_max)
    m_programMax = max;
  setLimits(v, max);
}

void ChartAxis::setMaximum(double v)
{
  if (!std::isfinite(v))
    return;
  const double min = v < m_min ? v : m_min;
  m_programMax = v;
  if (min != m_min)
    m_programMin = min;
  setLimits(min, v);
}

void ChartAxis::setRange(double min, double max)
{
  if (!std::isfinite(min) || !std::isfinite(max))
    return;
  if (min > max)
    max = min;
  if (max >= m_min) {
    setMaximum(max);
    setMinimum(min);
  } else {
    setMinimum(min);
    setMaximum(max);
  }
}

void ChartAxis::setIncrement(double step)
{
  if (!(step > 0.0))
    return;  // a zero, negative or NaN step would hang the tick generation
  m_increment = step;
  applyIncrement(step);
}

void ChartAxis::setLabelsVisible(bool on)
{
  m_labelsVisible = on;
  applyLabelsVisible(on);
}

void ChartAxis::showRange(double min, double max)
{
  if (!std::isfinite(min) || !std::isfinite(max))
    return;
  if (min > max)
    std::swap(min, max);
  setLimits(min, max);
}

void ChartAxis::restoreProgramRange()
{
  setLimits(m_programMin, m_programMax);
}
