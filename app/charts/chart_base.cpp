#include "charts/chart_base.h"

#include "charts/series_plot.h"

#include <qcustomplot.h>

#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cstdlib>

namespace {

// A press and release closer than this is a click, not a rectangle.
constexpr int DragThreshold = 4;
// How far from a point's centre the mouse may rest to get its tip.
constexpr double HoverReach = 5.0;

QBrush backgroundBrush(bool gradient)
{
  if (!gradient)
    return QBrush(Qt::white);
  QLinearGradient g(0.0, 0.0, 0.0, 1.0);
  g.setCoordinateMode(QGradient::ObjectMode);
  g.setColorAt(0.0, QColor(240, 240, 240));
  g.setColorAt(1.0, QColor(176, 176, 176));
  return QBrush(g);
}

}  // namespace

Chart::Chart(QWidget* parent) : QWidget(parent)
{
  m_plot = new QCustomPlot(this);
  m_plot->setGeometry(rect());
  m_plot->lower();  // the owner's overlay widgets stay above the drawing
  m_plot->setMouseTracking(true);
  m_plot->installEventFilter(this);
  m_plot->setBackground(backgroundBrush(m_gradient));
  connect(m_plot, &QCustomPlot::beforeReplot, this, [this] { prepareReplot(); });

  m_plot->addLayer(QStringLiteral("title"));
  m_title = new QCPItemText(m_plot);
  m_title->setLayer(QStringLiteral("title"));
  m_title->setClipToAxisRect(false);
  m_title->position->setType(QCPItemPosition::ptAbsolute);
  m_title->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_title->setTextAlignment(Qt::AlignLeft);
  m_title->setText(QString());

  m_hoverTimer = new QTimer(this);
  m_hoverTimer->setSingleShot(true);
  m_hoverTimer->setInterval(HoverTipDelayMs);
  connect(m_hoverTimer, &QTimer::timeout, this, &Chart::showHoverTip);
}

Chart::~Chart()
{
  // Series unbind from the drawing, so they go while it still exists.
  for (ChartSeries* s : m_series)
    delete s;
  m_series.clear();
}

void Chart::setAxes(ChartAxis* bottom, ChartAxis* left)
{
  m_bottom = bottom;
  m_left = left;
}

void Chart::setChartMargins(int left, int top, int right, int bottom)
{
  m_margins =
      QMargins(std::max(0, left), std::max(0, top), std::max(0, right), std::max(0, bottom));
  applyMargins(m_margins);
  placeTitle();
  scheduleReplot();
}

void Chart::setTitleText(const QString& t)
{
  m_title->setText(t);
  scheduleReplot();
}

QString Chart::titleText() const
{
  return m_title->text();
}

void Chart::setTitleVisible(bool on)
{
  m_title->setVisible(on);
  scheduleReplot();
}

bool Chart::titleVisible() const
{
  return m_title->visible();
}

void Chart::setTitlePosition(const QPoint& topLeft)
{
  m_titleFollowsMargins = false;
  m_title->position->setPixelPosition(QPointF(topLeft));
  scheduleReplot();
}

void Chart::placeTitle()
{
  if (!m_titleFollowsMargins)
    return;
  const QPoint at(std::max(0, m_margins.left() - 15), std::max(0, m_margins.top() - 20));
  m_title->position->setPixelPosition(QPointF(at));
}

void Chart::setGradient(bool on)
{
  m_gradient = on;
  m_plot->setBackground(backgroundBrush(on));
  scheduleReplot();
}

ChartSeries* Chart::addSeries(ChartSeries::Kind kind)
{
  std::unique_ptr<SeriesPlot> drawing = createPlot(kind);
  if (!drawing)
    return nullptr;
  auto* s = new ChartSeries(kind, std::move(drawing), this);
  m_series.push_back(s);
  return s;
}

ChartSeries* Chart::series(int index) const
{
  if (index < 0 || index >= seriesCount())
    return nullptr;
  return m_series[static_cast<size_t>(index)];
}

void Chart::undoZoom()
{
  m_bottom->restoreProgramRange();
  m_left->restoreProgramRange();
  m_zoomed = false;
  scheduleReplot();
  emit undoZoomed();
}

void Chart::setZoomEnabled(bool on)
{
  m_zoomEnabled = on;
  m_plot->setSelectionRectMode(on ? QCP::srmCustom : QCP::srmNone);
}

void Chart::replot()
{
  m_plot->replot(QCustomPlot::rpQueuedRefresh);
}

void Chart::scheduleReplot()
{
  m_plot->replot(QCustomPlot::rpQueuedReplot);
}

QRect Chart::plotRect() const
{
  return plotArea();
}

void Chart::resizeEvent(QResizeEvent* event)
{
  QWidget::resizeEvent(event);
  m_plot->setGeometry(rect());
}

void Chart::syncLayout() const
{
  if (m_plot->viewport() != rect())
    m_plot->setViewport(rect());
  QCPLayoutGrid* layout = m_plot->plotLayout();
  layout->update(QCPLayoutElement::upPreparation);
  layout->update(QCPLayoutElement::upMargins);
  layout->update(QCPLayoutElement::upLayout);
}

bool Chart::eventFilter(QObject* watched, QEvent* event)
{
  if (watched != m_plot)
    return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* e = static_cast<QMouseEvent*>(event);
      m_pressPos = e->position().toPoint();
      m_pressButton = e->button();
      m_hoverTimer->stop();
      break;
    }
    case QEvent::MouseButtonRelease: {
      const auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() == m_pressButton)
        finishDrag(m_pressPos, e->position().toPoint(), e->button());
      m_pressButton = Qt::NoButton;
      break;
    }
    case QEvent::MouseMove: {
      const auto* e = static_cast<QMouseEvent*>(event);
      m_hoverPos = e->position().toPoint();
      const bool wanted = e->buttons() == Qt::NoButton &&
                          std::any_of(m_series.begin(), m_series.end(), [](ChartSeries* s) {
                            return s->hoverTips() && s->isActive();
                          });
      if (wanted)
        m_hoverTimer->start();
      else
        m_hoverTimer->stop();
      break;
    }
    case QEvent::Leave:
      m_hoverTimer->stop();
      break;
    default:
      break;
  }
  return false;
}

void Chart::finishDrag(const QPoint& from, const QPoint& to, Qt::MouseButton button)
{
  if (!m_zoomEnabled)
    return;
  const QPoint d = to - from;
  if (std::abs(d.x()) < DragThreshold && std::abs(d.y()) < DragThreshold)
    return;
  if (button == Qt::RightButton || (button == Qt::LeftButton && d.x() < 0 && d.y() < 0)) {
    userUndoZoom();
    return;
  }
  if (button != Qt::LeftButton)
    return;
  const QRect r = QRect(from, to).normalized();
  if (r.width() < DragThreshold || r.height() < DragThreshold)
    return;
  if (!zoomToRect(r))
    return;
  m_zoomed = true;
  scheduleReplot();
  emit zoomed();
}

void Chart::userUndoZoom()
{
  undoZoom();
}

QString Chart::hoverTipAt(const QPoint& pos) const
{
  if (!plotArea().contains(pos))
    return {};
  // The topmost series wins where points of several lie under the mouse.
  for (auto it = m_series.rbegin(); it != m_series.rend(); ++it) {
    const ChartSeries* s = *it;
    if (!s->isActive() || !s->hoverTips())
      continue;
    const int i = s->nearestPoint(QPointF(pos), HoverReach + s->pointerSize());
    if (i >= 0)
      return s->tipText(i);
  }
  return {};
}

void Chart::showHoverTip()
{
  const QString text = hoverTipAt(m_hoverPos);
  if (text.isEmpty()) {
    QToolTip::hideText();
    return;
  }
  const QRect area(m_hoverPos - QPoint(4, 4), QSize(9, 9));
  QToolTip::showText(m_plot->mapToGlobal(m_hoverPos), text, m_plot, area);
}
