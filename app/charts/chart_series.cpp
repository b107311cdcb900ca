#include "charts/chart_series.h"

#include "charts/series_plot.h"
#include "common/formats.h"

#include <QtNumeric>

#include <algorithm>

ChartSeries::ChartSeries(Kind kind, std::unique_ptr<SeriesPlot> plot, QObject* parent)
    : QObject(parent), m_kind(kind), m_plot(std::move(plot))
{
  m_pointerVisible = kind != Kind::Line;
  m_plot->attach(this);
  restyle();
}

ChartSeries::~ChartSeries() = default;

double ChartSeries::x(int i) const
{
  return inRange(i) ? m_xs[i] : qQNaN();
}

double ChartSeries::y(int i) const
{
  return inRange(i) ? m_ys[i] : qQNaN();
}

QString ChartSeries::label(int i) const
{
  return inRange(i) ? m_labels[i] : QString();
}

bool ChartSeries::isNull(int i) const
{
  return inRange(i) ? m_nulls[i] : true;
}

void ChartSeries::clear()
{
  m_xs.clear();
  m_ys.clear();
  m_nulls.clear();
  m_labels.clear();
  redrawAll();
}

void ChartSeries::add(double x, double y, const QString& label)
{
  m_xs.append(x);
  m_ys.append(y);
  m_nulls.append(false);
  m_labels.append(label);
  m_plot->appended(x, y, false);
  m_plot->requestReplot();
}

void ChartSeries::addNull(double x)
{
  m_xs.append(x);
  m_ys.append(0.0);
  m_nulls.append(true);
  m_labels.append(QString());
  m_plot->appended(x, 0.0, true);
  m_plot->requestReplot();
}

void ChartSeries::removeAt(int i)
{
  if (!inRange(i))
    return;
  m_xs.remove(i);
  m_ys.remove(i);
  m_nulls.remove(i);
  m_labels.remove(i);
  redrawAll();
}

void ChartSeries::setPoints(QVector<double> xs, QVector<double> ys, QVector<bool> nulls)
{
  const qsizetype n = std::min(xs.size(), ys.size());
  xs.resize(n);
  ys.resize(n);
  nulls.resize(n);  // new entries are false
  m_xs = std::move(xs);
  m_ys = std::move(ys);
  m_nulls = std::move(nulls);
  m_labels = QVector<QString>(n);
  redrawAll();
}

void ChartSeries::setActive(bool on)
{
  m_active = on;
  restyle();
}

void ChartSeries::setColor(const QColor& c)
{
  m_color = c;
  restyle();
}

void ChartSeries::setDotted(bool on)
{
  m_dotted = on;
  restyle();
}

void ChartSeries::setPointer(int size, const QColor& fill, const QColor& outline)
{
  m_pointerSize = std::max(1, size);
  m_pointerFill = fill;
  m_pointerOutline = outline;
  restyle();
}

void ChartSeries::setPointerVisible(bool on)
{
  m_pointerVisible = on;
  restyle();
}

void ChartSeries::setHoverTips(bool on)
{
  m_hoverTips = on;
}

QString ChartSeries::tipText(int i) const
{
  if (!inRange(i))
    return {};
  if (!m_labels[i].isEmpty())
    return m_labels[i];
  // Six significant digits: more than the instrument resolves, and a detrended
  // or converted value stays readable.
  return fmt::general(m_ys[i], TipDigits);
}

int ChartSeries::nearestPoint(const QPointF& pixel, double maxDistance) const
{
  int best = -1;
  double bestSquare = maxDistance * maxDistance;
  for (int i = 0; i < count(); ++i) {
    if (m_nulls[i])
      continue;
    const QPointF d = m_plot->toPixel(m_xs[i], m_ys[i]) - pixel;
    const double square = d.x() * d.x() + d.y() * d.y();
    if (square <= bestSquare) {
      bestSquare = square;
      best = i;
    }
  }
  return best;
}

void ChartSeries::redrawAll()
{
  m_plot->reload();
  m_plot->requestReplot();
}

void ChartSeries::restyle()
{
  m_plot->restyle();
  m_plot->requestReplot();
}
