#include "charts/graph_series_plot.h"

#include "charts/chart_series.h"

#include <qcustomplot.h>

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Pointer sizes are half-widths: a size 2 diamond spans 5 pixels.
double diamondWidth(int size)
{
  return 2.0 * size + 1.0;
}

// A graph that draws each pointer pixel once: 100 000 dots across a thousand
// pixels land mostly on top of each other, and drawing every one of them is
// what made a full-file redraw slow.
class DotGraph : public QCPGraph {
 public:
  using QCPGraph::QCPGraph;

 protected:
  void drawScatterPlot(QCPPainter* painter, const QVector<QPointF>& scatters,
                       const QCPScatterStyle& style) const override
  {
    const QVector<QPoint> spots = distinctPixels(scatters);
    if (painter->modes().testFlag(QCPPainter::pmVectorized))
      drawAsOnePath(painter, spots, style);
    else
      stamp(painter, spots, style);
  }

 private:
  // The pixels the points fall on, each once, inside the plot area.
  QVector<QPoint> distinctPixels(const QVector<QPointF>& scatters) const
  {
    const QRect area = clipRect().adjusted(0, 0, 1, 1);
    QVector<QPoint> spots;
    if (area.isEmpty())
      return spots;
    std::vector<bool> taken(static_cast<size_t>(area.width()) * static_cast<size_t>(area.height()));
    for (const QPointF& p : scatters) {
      const QPoint px = p.toPoint();
      if (!area.contains(px))
        continue;
      const size_t cell =
          static_cast<size_t>(px.y() - area.top()) * static_cast<size_t>(area.width()) +
          static_cast<size_t>(px.x() - area.left());
      if (taken[cell])
        continue;
      taken[cell] = true;
      spots.append(px);
    }
    return spots;
  }

  // On screen and in bitmaps one pointer is drawn once and copied.
  void stamp(QCPPainter* painter, const QVector<QPoint>& spots, const QCPScatterStyle& style) const
  {
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QPixmap pointer = pointerPixmap(style, ratio);
    const int centre = pointerSide(style) / 2;  // whole pixels keep the stamps sharp
    const QPoint half(centre, centre);
    for (const QPoint& p : spots)
      painter->drawPixmap(p - half, pointer);
  }

  // Vector output gets the diamonds as one path: a PDF with thousands of
  // separate shapes took seconds to write.
  void drawAsOnePath(QCPPainter* painter, const QVector<QPoint>& spots,
                     const QCPScatterStyle& style) const
  {
    applyScattersAntialiasingHint(painter);
    style.applyTo(painter, mPen);
    if (style.shape() != QCPScatterStyle::ssDiamond) {
      for (const QPoint& p : spots)
        style.drawShape(painter, p);
      return;
    }
    const double w = style.size() / 2.0;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QPoint& p : spots) {
      const QPointF c(p);
      path.addPolygon(QPolygonF({c - QPointF(w, 0), c - QPointF(0, w), c + QPointF(w, 0),
                                 c + QPointF(0, w), c - QPointF(w, 0)}));
    }
    painter->drawPath(path);
  }

  static int pointerSide(const QCPScatterStyle& style)
  {
    return static_cast<int>(std::ceil(style.size())) + 3;
  }

  QPixmap pointerPixmap(const QCPScatterStyle& style, qreal ratio) const
  {
    const int side = pointerSide(style);
    QPixmap pm(static_cast<int>(std::ceil(side * ratio)),
               static_cast<int>(std::ceil(side * ratio)));
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    QCPPainter p(&pm);
    applyScattersAntialiasingHint(&p);
    style.applyTo(&p, mPen);
    const int centre = side / 2;
    style.drawShape(&p, centre, centre);
    return pm;
  }
};

}  // namespace

GraphSeriesPlot::GraphSeriesPlot(QCPAxis* keyAxis, QCPAxis* valueAxis)
    : m_graph(new DotGraph(keyAxis, valueAxis))
{
  m_graph->setAdaptiveSampling(true);
}

GraphSeriesPlot::~GraphSeriesPlot()
{
  if (m_graph)
    m_graph->parentPlot()->removePlottable(m_graph);
}

void GraphSeriesPlot::appended(double x, double y, bool null)
{
  m_graph->addData(x, null ? qQNaN() : y);
}

void GraphSeriesPlot::reload()
{
  const ChartSeries& s = *series();
  QVector<QCPGraphData> data(s.count());
  for (int i = 0; i < s.count(); ++i)
    data[i] = QCPGraphData(s.x(i), s.isNull(i) ? qQNaN() : s.y(i));
  const bool sorted = std::is_sorted(data.cbegin(), data.cend(), qcpLessThanSortKey<QCPGraphData>);
  m_graph->data()->set(data, sorted);
}

void GraphSeriesPlot::restyle()
{
  const ChartSeries& s = *series();
  m_graph->setVisible(s.isActive());
  m_graph->setPen(QPen(s.color(), 1, s.isDotted() ? Qt::DotLine : Qt::SolidLine));
  m_graph->setLineStyle(s.kind() == ChartSeries::Kind::Point ? QCPGraph::lsNone : QCPGraph::lsLine);
  if (s.pointerVisible()) {
    m_graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDiamond,
                                             QPen(s.pointerOutline(), 1), QBrush(s.pointerFill()),
                                             diamondWidth(s.pointerSize())));
  } else {
    m_graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
  }
}

QPointF GraphSeriesPlot::toPixel(double x, double y) const
{
  return {m_graph->keyAxis()->coordToPixel(x), m_graph->valueAxis()->coordToPixel(y)};
}

void GraphSeriesPlot::requestReplot()
{
  m_graph->parentPlot()->replot(QCustomPlot::rpQueuedReplot);
}

QCPAbstractPlottable* GraphSeriesPlot::plottable() const
{
  return m_graph;
}
