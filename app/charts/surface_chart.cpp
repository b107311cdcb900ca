#include "charts/surface_chart.h"

#include "common/formats.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtDataVisualization/QValue3DAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The depth factor at which the box keeps the proportion of its depth percentage.
constexpr double NeutralDepthFactor = 3.0;
constexpr int FullPercent = 100;
constexpr int OpaqueAlpha = 255;
constexpr int MaxAxisSegments = 12;
constexpr int ValueAxisSegments = 10;
// Stops of a continuous palette: enough that the run through the middle colour
// looks straight.
constexpr int SmoothStops = 64;

QColor colorOf(unsigned bgr)
{
  return QColor(static_cast<int>(bgr & 0xFFu), static_cast<int>((bgr >> 8) & 0xFFu),
                static_cast<int>((bgr >> 16) & 0xFFu));
}

QColor withAlpha(QColor c, int transparencyPercent)
{
  c.setAlpha(OpaqueAlpha * (FullPercent - std::clamp(transparencyPercent, 0, FullPercent)) /
             FullPercent);
  return c;
}

void setAxis(QValue3DAxis* a, double min, double max, int segments)
{
  a->setRange(static_cast<float>(min), static_cast<float>(max));
  a->setSegmentCount(std::clamp(segments, 1, MaxAxisSegments));
  a->setLabelFormat(QStringLiteral("%d"));
}

}  // namespace

SurfaceChart::SurfaceChart(QWidget* parent) : QWidget(parent)
{
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  m_series = new QSurface3DSeries(new QSurfaceDataProxy, this);
  m_series->setItemLabelVisible(false);
  m_series->setMeshSmooth(false);
  connect(m_series, &QSurface3DSeries::selectedPointChanged, this,
          &SurfaceChart::selectedPointChanged);
  m_hoverTimer = new QTimer(this);
  m_hoverTimer->setSingleShot(true);
  m_hoverTimer->setInterval(HoverTipDelayMs);
  connect(m_hoverTimer, &QTimer::timeout, this, [this] { queryTipAt(m_hoverPos); });
  applyLook();
  applyOutlines();
}

SurfaceChart::~SurfaceChart()
{
  // The graph owns the series once it holds it; without a graph this widget does.
  if (m_graph)
    m_graph->removeSeries(m_series);
  delete m_series;
  m_series = nullptr;
  delete m_container;  // takes the graph's window with it
}

Q3DSurface* SurfaceChart::graph()
{
  if (!m_graph)
    createGraph();
  return m_graph;
}

void SurfaceChart::showEvent(QShowEvent* event)
{
  graph();
  QWidget::showEvent(event);
}

void SurfaceChart::createGraph()
{
  m_graph = new Q3DSurface;
  m_graph->setActiveInputHandler(nullptr);  // the bars turn and zoom the view
  m_graph->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
  m_graph->setSelectionMode(QAbstract3DGraph::SelectionItem);
  m_graph->setAxisX(new QValue3DAxis);
  m_graph->setAxisZ(new QValue3DAxis);
  m_graph->setAxisY(new QValue3DAxis);
  Q3DTheme* theme = m_graph->activeTheme();
  theme->setType(Q3DTheme::ThemeQt);
  theme->setBackgroundColor(QColor(225, 225, 225));
  theme->setWindowColor(QColor(200, 200, 200));
  theme->setLabelBackgroundEnabled(false);
  theme->setLabelBorderEnabled(false);
  theme->setLabelTextColor(Qt::black);
  theme->setGridLineColor(QColor(150, 150, 150));
  // Strong ambient light: the palette colours must read true on every slope,
  // as they name values, not shading.
  theme->setAmbientLightStrength(0.7f);
  theme->setLightStrength(2.0f);
  m_graph->addSeries(m_series);

  m_container = QWidget::createWindowContainer(m_graph, this);
  m_container->setMinimumSize(1, 1);
  layout()->addWidget(m_container);
  m_graph->installEventFilter(this);

  applyData();
  applyAxes();
  applyLook();
  applyOutlines();
  applyFont();
  applyAspect();
  applyCamera();
}

void SurfaceChart::setMap(int columns, int lines, const QVector<double>& values)
{
  m_columns = std::max(0, columns);
  m_lines = std::max(0, lines);
  m_values = values;
  m_values.resize(static_cast<qsizetype>(m_columns) * m_lines,
                  std::numeric_limits<double>::quiet_NaN());
  applyData();
}

void SurfaceChart::applyData()
{
  auto* rows = new QSurfaceDataArray;
  rows->reserve(m_lines);
  for (int z = 0; z < m_lines; ++z) {
    auto* row = new QSurfaceDataRow(m_columns);
    for (int x = 0; x < m_columns; ++x) {
      const double v = m_values[z * m_columns + x];
      (*row)[x].setPosition(QVector3D(static_cast<float>(x), static_cast<float>(v),
                                      static_cast<float>(z)));
    }
    rows->append(row);
  }
  m_series->dataProxy()->resetArray(rows);
}

void SurfaceChart::clearMap()
{
  setMap(0, 0, {});
}

double SurfaceChart::valueAt(int x, int z) const
{
  if (x < 0 || z < 0 || x >= m_columns || z >= m_lines)
    return std::numeric_limits<double>::quiet_NaN();
  return m_values[z * m_columns + x];
}

void SurfaceChart::setValueRange(double min, double max)
{
  m_valueMin = std::min(min, max);
  m_valueMax = std::max(min, max);
  applyAxes();
}

void SurfaceChart::setBottomMaximum(double v)
{
  m_bottomMax = std::max(1.0, v);
  applyAxes();
  applyAspect();
}

void SurfaceChart::setDepthMaximum(double v)
{
  m_depthMax = std::max(1.0, v);
  applyAxes();
  applyAspect();
}

void SurfaceChart::applyAxes()
{
  if (!m_graph)
    return;
  setAxis(m_graph->axisX(), 0.0, m_bottomMax, static_cast<int>(m_bottomMax));
  setAxis(m_graph->axisZ(), 0.0, m_depthMax, static_cast<int>(m_depthMax));
  // A flat map still needs an axis of some height; the range is kept as set.
  const double hi = m_valueMax > m_valueMin ? m_valueMax : m_valueMin + 1.0;
  setAxis(m_graph->axisY(), m_valueMin, hi, ValueAxisSegments);
}

void SurfaceChart::setDepthPercent(int percent)
{
  m_depthPercent = std::clamp(percent, 1, FullPercent);
  applyAspect();
}

void SurfaceChart::setDepthFactor(int factor)
{
  m_depthFactor = std::max(1, factor);
  applyAspect();
}

double SurfaceChart::horizontalAspect() const
{
  return (static_cast<double>(FullPercent) / m_depthPercent) * (NeutralDepthFactor / m_depthFactor);
}

void SurfaceChart::applyAspect()
{
  if (m_graph)
    m_graph->setHorizontalAspectRatio(static_cast<float>(horizontalAspect()));
}

void SurfaceChart::setRotation(int degrees)
{
  m_rotation = degrees;
  applyCamera();
}

void SurfaceChart::setElevation(int degrees)
{
  m_elevation = degrees;
  applyCamera();
}

void SurfaceChart::setZoomPercent(int percent)
{
  m_zoomPercent = std::max(MinimumZoomPercent, percent);
  applyCamera();
}

void SurfaceChart::applyCamera()
{
  if (!m_graph)
    return;
  // 70 percent is the design view, the graph's natural zoom of 100.
  const float zoom = static_cast<float>(m_zoomPercent) * FullPercent / DesignZoomPercent;
  m_graph->scene()->activeCamera()->setCameraPosition(static_cast<float>(m_rotation),
                                                      static_cast<float>(360 - m_elevation), zoom);
}

QLinearGradient SurfaceChart::lookGradient(const SurfaceLook& look)
{
  QLinearGradient g(0.0, 1000.0, 0.0, 0.0);
  const int cut = look.transparencyPercent;
  if (look.smooth || look.steps.isEmpty()) {
    for (int i = 0; i <= SmoothStops; ++i) {
      const double t = static_cast<double>(i) / SmoothStops;
      g.setColorAt(t, withAlpha(colorOf(PaletteColorAt(look.colors, t)), cut));
    }
    return g;
  }
  // Bands: each step one colour, with a hard edge to the next.
  constexpr double Edge = 1e-5;
  const int n = static_cast<int>(look.steps.size());
  for (int s = 0; s < n; ++s) {
    const QColor c = withAlpha(colorOf(look.steps[s].color), cut);
    const double from = static_cast<double>(s) / n;
    const double to = static_cast<double>(s + 1) / n;
    g.setColorAt(s == 0 ? 0.0 : from + Edge, c);
    g.setColorAt(to, c);
  }
  return g;
}

void SurfaceChart::setLook(const SurfaceLook& look)
{
  m_look = look;
  applyLook();
}

void SurfaceChart::applyLook()
{
  m_series->setBaseGradient(lookGradient(m_look));
  m_series->setColorStyle(Q3DTheme::ColorStyleRangeGradient);
}

QString SurfaceChart::tipText(double value) const
{
  if (m_look.steps.isEmpty() || std::isnan(value))
    return {};
  return PaletteStepText(m_look.steps[PaletteStepOf(m_look.steps, value)]);
}

void SurfaceChart::setOutlines(bool on)
{
  m_outlines = on;
  applyOutlines();
}

void SurfaceChart::applyOutlines()
{
  m_series->setDrawMode(m_outlines ? QSurface3DSeries::DrawSurfaceAndWireframe
                                   : QSurface3DSeries::DrawSurface);
  m_series->setWireframeColor(Qt::black);
}

void SurfaceChart::setLabelPointSize(int size)
{
  m_labelPointSize = size;
  applyFont();
}

void SurfaceChart::applyFont()
{
  if (!m_graph)
    return;
  QFont f = m_graph->activeTheme()->font();
  f.setPointSize(m_labelPointSize * 2);  // labels are drawn at half their texture's size
  m_graph->activeTheme()->setFont(f);
}

void SurfaceChart::setSurfaceVisible(bool on)
{
  m_visible = on;
  m_series->setVisible(on);
}

bool SurfaceChart::surfaceVisible() const
{
  return m_visible;
}

void SurfaceChart::queryTipAt(const QPoint& pos)
{
  m_hoverPos = pos;
  graph()->scene()->setSelectionQueryPosition(pos);
}

void SurfaceChart::selectedPointChanged(const QPoint& p)
{
  if (p == QSurface3DSeries::invalidSelectionPosition())
    return;
  // The selection names the data row (line) and column.
  const double v = valueAt(p.y(), p.x());
  m_series->setSelectedPoint(QSurface3DSeries::invalidSelectionPosition());
  if (std::isnan(v))
    return;
  m_lastTip = tipText(v);
  if (isVisible() && m_container)
    QToolTip::showText(m_container->mapToGlobal(m_hoverPos), m_lastTip, this);
  Q_EMIT tipShown(m_lastTip);
}

bool SurfaceChart::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == m_graph && event->type() == QEvent::MouseMove) {
    m_hoverPos = static_cast<QMouseEvent*>(event)->position().toPoint();
    m_hoverTimer->start();
  } else if (watched == m_graph && event->type() == QEvent::Leave) {
    m_hoverTimer->stop();
  }
  return QWidget::eventFilter(watched, event);
}

QImage SurfaceChart::picture()
{
  return graph()->renderToImage(0, size());
}
