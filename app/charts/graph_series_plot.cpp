#include "charts/graph_series_plot.h"

#include "charts/chart_series.h"

#include <qcustomplot.h>

#include <algorithm>

namespace {

// Pointer sizes are half-widths: a size 2 diamond spans 5 pixels.
double diamondWidth(int size) { return 2.0 * size + 1.0; }

}  // namespace

GraphSeriesPlot::GraphSeriesPlot(QCPGraph* graph) : m_graph(graph) {
  m_graph->setAdaptiveSampling(true);
}

GraphSeriesPlot::~GraphSeriesPlot() {
  if (m_graph) m_graph->parentPlot()->removePlottable(m_graph);
}

void GraphSeriesPlot::appended(double x, double y, bool null) {
  m_graph->addData(x, null ? qQNaN() : y);
}

void GraphSeriesPlot::reload() {
  const ChartSeries& s = *series();
  QVector<QCPGraphData> data(s.count());
  for (int i = 0; i < s.count(); ++i) data[i] = QCPGraphData(s.x(i), s.isNull(i) ? qQNaN() : s.y(i));
  const bool sorted = std::is_sorted(data.cbegin(), data.cend(), qcpLessThanSortKey<QCPGraphData>);
  m_graph->data()->set(data, sorted);
}

void GraphSeriesPlot::restyle() {
  const ChartSeries& s = *series();
  m_graph->setVisible(s.isActive());
  m_graph->setPen(QPen(s.color(), 1, s.isDotted() ? Qt::DotLine : Qt::SolidLine));
  m_graph->setLineStyle(s.kind() == ChartSeries::Kind::Point ? QCPGraph::lsNone : QCPGraph::lsLine);
  if (s.pointerVisible()) {
    m_graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDiamond, QPen(s.pointerOutline(), 1),
                                             QBrush(s.pointerFill()), diamondWidth(s.pointerSize())));
  } else {
    m_graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
  }
}

QPointF GraphSeriesPlot::toPixel(double x, double y) const {
  return {m_graph->keyAxis()->coordToPixel(x), m_graph->valueAxis()->coordToPixel(y)};
}

void GraphSeriesPlot::requestReplot() { m_graph->parentPlot()->replot(QCustomPlot::rpQueuedReplot); }

QCPAbstractPlottable* GraphSeriesPlot::plottable() const { return m_graph; }
