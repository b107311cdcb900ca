#include "charts/polar_series_plot.h"

#include "charts/chart_series.h"

#include <qcustomplot.h>

#include <QPainterPath>

class PolarSeriesLayer : public QCPLayerable {
 public:
  PolarSeriesLayer(QCPPolarAxisAngular* axis, const ChartSeries* series)
      : QCPLayerable(axis->parentPlot(), QStringLiteral("main")), m_axis(axis), m_series(series)
  {
  }

 protected:
  void applyDefaultAntialiasingHint(QCPPainter* painter) const override
  {
    applyAntialiasingHint(painter, mAntialiased, QCP::aePlottables);
  }

  QRect clipRect() const override { return m_axis ? m_axis->rect() : QRect(); }

  void draw(QCPPainter* painter) override
  {
    if (!m_axis)
      return;
    QVector<QPointF> points;
    points.reserve(m_series->count());
    for (int i = 0; i < m_series->count(); ++i) {
      if (!m_series->isNull(i))
        points.append(m_axis->coordToPixel(m_series->x(i), m_series->y(i)));
    }
    QPainterPath circle;
    circle.addEllipse(m_axis->center(), m_axis->radius() + 1.0, m_axis->radius() + 1.0);
    painter->setClipPath(circle, Qt::IntersectClip);
    const QPen pen(m_series->color(), 1, m_series->isDotted() ? Qt::DotLine : Qt::SolidLine);
    if (points.size() >= 2) {
      painter->setPen(pen);
      painter->setBrush(Qt::NoBrush);
      painter->drawPolygon(points.constData(), static_cast<int>(points.size()));
    }
    if (!m_series->pointerVisible())
      return;
    const QCPScatterStyle style(QCPScatterStyle::ssDiamond, QPen(m_series->pointerOutline(), 1),
                                QBrush(m_series->pointerFill()),
                                2.0 * m_series->pointerSize() + 1.0);
    style.applyTo(painter, pen);
    for (const QPointF& p : points)
      style.drawShape(painter, p);
  }

 private:
  QPointer<QCPPolarAxisAngular> m_axis;
  const ChartSeries* m_series;
};

PolarSeriesPlot::PolarSeriesPlot(QCPPolarAxisAngular* axis) : m_axis(axis) {}

PolarSeriesPlot::~PolarSeriesPlot()
{
  delete m_layer.data();
}

void PolarSeriesPlot::attach(const ChartSeries* series)
{
  SeriesPlot::attach(series);
  m_layer = new PolarSeriesLayer(m_axis, series);
}

void PolarSeriesPlot::restyle()
{
  if (m_layer)
    m_layer->setVisible(series()->isActive());
}

QPointF PolarSeriesPlot::toPixel(double angle, double radius) const
{
  return m_axis ? m_axis->coordToPixel(angle, radius) : QPointF();
}

void PolarSeriesPlot::requestReplot()
{
  if (m_axis)
    m_axis->parentPlot()->replot(QCustomPlot::rpQueuedReplot);
}
