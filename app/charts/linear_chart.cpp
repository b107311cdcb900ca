#include "charts/linear_chart.h"

#include "charts/chart_ticker.h"
#include "charts/graph_series_plot.h"
#include "common/formats.h"

#include <qcustomplot.h>

#include <QFontMetrics>

#include <algorithm>

namespace {

QPen gridPen()
{
  return QPen(QColor(192, 192, 192), 0, Qt::DotLine);
}

QFont tickFont()
{
  QFont f;
  f.setPointSize(8);
  return f;
}

void styleAxis(QCPAxis* axis, bool labels)
{
  axis->setVisible(true);
  axis->setTickLabels(labels);
  axis->setTickLabelFont(tickFont());
  axis->setTickLabelPadding(3);
  axis->setTickLength(4, 0);
  axis->setSubTickLength(2, 0);
  axis->grid()->setPen(gridPen());
  axis->grid()->setSubGridVisible(false);
  axis->grid()->setZeroLinePen(Qt::NoPen);
}

}  // namespace

class LinearChart::Axis : public ChartAxis {
 public:
  Axis(LinearChart* chart, QCPAxis* axis, QCPAxis* mirror, double min, double max, double step)
      : ChartAxis(min, max, step),
        m_chart(chart),
        m_axis(axis),
        m_mirror(mirror),
        m_ticker(QSharedPointer<ChartTicker>::create())
  {
    m_axis->setTicker(m_ticker);
    m_mirror->setTicker(m_ticker);
    m_mirror->grid()->setVisible(false);
    applyAll();
  }

  double valueToPixel(double v) const override
  {
    const QRect r = m_chart->plotArea();
    const QCPRange range = m_axis->range();
    const double f = (v - range.lower) / range.size();
    return horizontal() ? r.left() + f * r.width() : r.bottom() - f * r.height();
  }

  double pixelToValue(double px) const override
  {
    const QRect r = m_chart->plotArea();
    const QCPRange range = m_axis->range();
    const double f = horizontal() ? (px - r.left()) / r.width() : (r.bottom() - px) / r.height();
    return range.lower + f * range.size();
  }

  // The step widens only where labels would touch: room for a label is its
  // text size plus a gap.
  void fitLabels(const QRect& plot)
  {
    const QFontMetrics fm(m_axis->tickLabelFont());
    const QCPRange range = m_axis->range();
    if (horizontal()) {
      const double step = m_ticker->tickStep();
      int widest = 0;
      for (double v : {range.lower, range.upper, range.lower + step, range.upper - step}) {
        widest = std::max(widest, fm.horizontalAdvance(fmt::general(v, 6)));
      }
      m_ticker->fitLabels(plot.width(), widest + fm.horizontalAdvance(QStringLiteral("00")));
    } else {
      m_ticker->fitLabels(plot.height(), fm.height() + 2);
    }
  }

 protected:
  void applyRange(double min, double max) override
  {
    const QCPRange r = drawableRange(min, max);
    m_axis->setRange(r);
    m_mirror->setRange(r);
    m_chart->scheduleReplot();
  }

  void applyIncrement(double step) override
  {
    m_ticker->setTickStep(step);
    m_chart->scheduleReplot();
  }

  void applyLabelsVisible(bool on) override
  {
    m_axis->setTickLabels(on);
    m_chart->scheduleReplot();
  }

 private:
  bool horizontal() const { return m_axis->orientation() == Qt::Horizontal; }

  LinearChart* m_chart;
  QCPAxis* m_axis;
  QCPAxis* m_mirror;
  QSharedPointer<ChartTicker> m_ticker;
};

LinearChart::LinearChart(QWidget* parent) : Chart(parent)
{
  QCustomPlot* p = plot();
  QCPAxisRect* area = p->axisRect();
  area->setBackground(QBrush(Qt::white));
  // Only the labelled axes need room; the box of top and right axes has none.
  area->setAutoMargins(QCP::msLeft | QCP::msBottom);
  area->setMargins(QMargins(0, 0, 0, 0));
  p->plotLayout()->setAutoMargins(QCP::msNone);
  styleAxis(p->xAxis, true);
  styleAxis(p->yAxis, true);
  styleAxis(p->xAxis2, false);
  styleAxis(p->yAxis2, false);
  m_bottomAxis = std::make_unique<Axis>(this, p->xAxis, p->xAxis2, 0.0, 100.0, 5.0);
  m_leftAxis = std::make_unique<Axis>(this, p->yAxis, p->yAxis2, 0.0, 20.0, 1.0);
  setAxes(m_bottomAxis.get(), m_leftAxis.get());
  setChartMargins(10, 28, 16, 6);
  setZoomEnabled(true);
}

LinearChart::~LinearChart() = default;

std::unique_ptr<SeriesPlot> LinearChart::createPlot(ChartSeries::Kind kind)
{
  if (kind == ChartSeries::Kind::Polar)
    return nullptr;
  QCustomPlot* p = plot();
  return std::make_unique<GraphSeriesPlot>(p->xAxis, p->yAxis);
}

void LinearChart::applyMargins(const QMargins& m)
{
  plot()->plotLayout()->setMargins(m);
}

QRect LinearChart::plotArea() const
{
  syncLayout();
  return plot()->axisRect()->rect();
}

void LinearChart::prepareReplot()
{
  const QRect r = plotArea();
  m_bottomAxis->fitLabels(r);
  m_leftAxis->fitLabels(r);
}

bool LinearChart::zoomToRect(const QRect& pixels)
{
  const QRect r = pixels.intersected(plotArea());
  if (r.width() < 2 || r.height() < 2)
    return false;
  const double x0 = m_bottomAxis->pixelToValue(r.left());
  const double x1 = m_bottomAxis->pixelToValue(r.right());
  const double y0 = m_leftAxis->pixelToValue(r.bottom());
  const double y1 = m_leftAxis->pixelToValue(r.top());
  m_bottomAxis->showRange(x0, x1);
  m_leftAxis->showRange(y0, y1);
  return true;
}
