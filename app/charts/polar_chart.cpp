#include "charts/polar_chart.h"

#include "charts/chart_ticker.h"
#include "charts/polar_series_plot.h"

#include <qcustomplot.h>

#include <algorithm>

namespace {

// Room kept around the circle for the angle labels, inside the chart margins:
// three digits beside it, one line of text above and below.
constexpr int LabelRoomSide = 28;
constexpr int LabelRoomTop = 18;

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

}  // namespace

// The radius axis runs up from the centre of the circle.
class PolarChart::RadiusAxis : public ChartAxis {
 public:
  RadiusAxis(PolarChart* chart, QCPPolarAxisRadial* axis)
      : ChartAxis(0.0, 20.0, 2.0),
        m_chart(chart),
        m_axis(axis),
        m_ticker(QSharedPointer<ChartTicker>::create())
  {
    m_ticker->setSubTicks(0);
    m_axis->setTicker(m_ticker);
    applyAll();
  }

  double valueToPixel(double v) const override
  {
    const QRectF r(m_chart->plotArea());
    const QCPRange range = m_axis->range();
    return r.center().y() - (v - range.lower) / range.size() * radius(r);
  }

  double pixelToValue(double px) const override
  {
    const QRectF r(m_chart->plotArea());
    const QCPRange range = m_axis->range();
    return range.lower + (r.center().y() - px) / radius(r) * range.size();
  }

  void fitLabels(const QRect& plot)
  {
    const QFontMetrics fm(m_axis->tickLabelFont());
    m_ticker->fitLabels(radius(QRectF(plot)), fm.height() + 2);
  }

 protected:
  void applyRange(double min, double max) override
  {
    m_axis->setRange(drawableRange(min, max));
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
  static double radius(const QRectF& r)
  {
    return std::max(1.0, 0.5 * std::min(r.width(), r.height()));
  }

  PolarChart* m_chart;
  QCPPolarAxisRadial* m_axis;
  QSharedPointer<ChartTicker> m_ticker;
};

// The polar chart draws no horizontal axis; its bottom axis only keeps limits,
// mapped across the plot area for callers that place things by it.
class PolarChart::FlatAxis : public ChartAxis {
 public:
  explicit FlatAxis(PolarChart* chart) : ChartAxis(0.0, 100.0, 10.0), m_chart(chart) { applyAll(); }

  double valueToPixel(double v) const override
  {
    const QRect r = m_chart->plotArea();
    const QCPRange range = drawableRange(minimum(), maximum());
    return r.left() + (v - range.lower) / range.size() * r.width();
  }

  double pixelToValue(double px) const override
  {
    const QRect r = m_chart->plotArea();
    const QCPRange range = drawableRange(minimum(), maximum());
    return range.lower + (px - r.left()) / r.width() * range.size();
  }

 protected:
  void applyRange(double, double) override {}
  void applyIncrement(double) override {}
  void applyLabelsVisible(bool) override {}

 private:
  PolarChart* m_chart;
};

PolarChart::PolarChart(QWidget* parent) : Chart(parent)
{
  QCustomPlot* p = plot();
  p->plotLayout()->clear();
  m_angular = new QCPPolarAxisAngular(p);
  p->plotLayout()->addElement(0, 0, m_angular);
  m_angular->setAutoMargins(QCP::msNone);
  // The white disc is drawn with the axis; on the bottom layer it stays under the grid.
  m_angular->setLayer(QStringLiteral("background"));
  m_angular->setBackground(QBrush(Qt::white));
  m_angular->setRangeDrag(false);
  m_angular->setRangeZoom(false);
  m_angular->setRange(0.0, 360.0);
  auto angleTicker = QSharedPointer<ChartTicker>::create();
  angleTicker->setTickStep(AngleGridStep);
  angleTicker->setLabelEvery(3 * AngleGridStep);
  angleTicker->setSubTicks(0);
  angleTicker->setTickCount(36);
  m_angular->setTicker(angleTicker);
  m_angular->setTickLabelFont(tickFont());
  m_angular->setSubTicks(false);
  m_angular->grid()->setType(QCPPolarGrid::gtAll);
  m_angular->grid()->setSubGridType(QCPPolarGrid::gtNone);
  m_angular->grid()->setAngularPen(gridPen());
  m_angular->grid()->setRadialPen(gridPen());

  QCPPolarAxisRadial* radial = m_angular->radialAxis();
  radial->setRangeDrag(false);
  radial->setRangeZoom(false);
  radial->setTickLabelFont(tickFont());
  radial->setSubTicks(false);
  radial->setAngleReference(QCPPolarAxisRadial::arAbsolute);
  radial->setAngle(-90.0);  // straight up: screen angles turn clockwise

  m_radiusAxis = std::make_unique<RadiusAxis>(this, radial);
  m_bottomAxis = std::make_unique<FlatAxis>(this);
  setAxes(m_bottomAxis.get(), m_radiusAxis.get());
  setChartMargins(0, 0, 15, 0);
  setZoomEnabled(false);
}

PolarChart::~PolarChart() = default;

std::unique_ptr<SeriesPlot> PolarChart::createPlot(ChartSeries::Kind kind)
{
  if (kind != ChartSeries::Kind::Polar)
    return nullptr;
  return std::make_unique<PolarSeriesPlot>(m_angular);
}

void PolarChart::applyMargins(const QMargins& m)
{
  m_angular->setMargins(m + QMargins(LabelRoomSide, LabelRoomTop, LabelRoomSide, LabelRoomTop));
}

QRect PolarChart::plotArea() const
{
  syncLayout();
  return m_angular->rect();
}

void PolarChart::prepareReplot()
{
  m_radiusAxis->fitLabels(plotArea());
}

bool PolarChart::zoomToRect(const QRect&)
{
  return false;
}
