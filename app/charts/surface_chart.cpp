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

namespace {

// Equal values, NaN holes in the same places.
bool sameMap(const QVector<double>& a, const QVector<double>& b)
{
  if (a.size() != b.size())
    return false;
  for (qsizetype i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && !(std::isnan(a[i]) && std::isnan(b[i])))
      return false;
  return true;
}

}  // namespace

void SurfaceChart::setMap(int columns, int lines, const QVector<double>& values)
{
  QVector<double> next = values;
  next.resize(static_cast<qsizetype>(std::max(0, columns)) * std::max(0, lines),
              std::numeric_limits<double>::quiet_NaN());
  // Switching between the contour and the surface view rebuilds the same map;
  // handing the graph the same 100 000 points again would cost it a new mesh.
  if (columns == m_columns && lines == m_lines && sameMap(next, m_values))
    return;
  m_columns = std::max(0, columns);
  m_lines = std::max(0, lines);
  m_values = std::move(next);
  applyData();
}

namespace {

// The graph cannot leave a cell open: a NaN vertex draws spikes and spoils the
// colours of its neighbours. So the drawn grid is the smallest rectangle that
// holds every value (columns or lines past the data are left out), and a hole
// inside it takes the mean of its neighbours, pass by pass from the edges of
// the hole inwards.
struct DrawnGrid {
  int x0 = 0, z0 = 0, columns = 0, lines = 0;
  QVector<double> values;  // line by line
};

DrawnGrid drawnGrid(const QVector<double>& all, int columns, int lines)
{
  DrawnGrid g;
  int x1 = -1, z1 = -1;
  g.x0 = columns;
  g.z0 = lines;
  for (int z = 0; z < lines; ++z)
    for (int x = 0; x < columns; ++x)
      if (!std::isnan(all[z * columns + x])) {
        g.x0 = std::min(g.x0, x);
        g.z0 = std::min(g.z0, z);
        x1 = std::max(x1, x);
        z1 = std::max(z1, z);
      }
  if (x1 < 0)
    return {};
  g.columns = x1 - g.x0 + 1;
  g.lines = z1 - g.z0 + 1;
  g.values.resize(static_cast<qsizetype>(g.columns) * g.lines);
  for (int z = 0; z < g.lines; ++z)
    for (int x = 0; x < g.columns; ++x)
      g.values[z * g.columns + x] = all[(z + g.z0) * columns + x + g.x0];
  bool holes = true;
  while (holes) {
    holes = false;
    QVector<double> next = g.values;
    for (int z = 0; z < g.lines; ++z)
      for (int x = 0; x < g.columns; ++x) {
        if (!std::isnan(g.values[z * g.columns + x]))
          continue;
        double sum = 0.0;
        int n = 0;
        const int nx[] = {x - 1, x + 1, x, x};
        const int nz[] = {z, z, z - 1, z + 1};
        for (int i = 0; i < 4; ++i) {
          if (nx[i] < 0 || nz[i] < 0 || nx[i] >= g.columns || nz[i] >= g.lines)
            continue;
          const double v = g.values[nz[i] * g.columns + nx[i]];
          if (!std::isnan(v)) {
            sum += v;
            ++n;
          }
        }
        if (n > 0)
          next[z * g.columns + x] = sum / n;
        else
          holes = true;
      }
    g.values = std::move(next);
  }
  return g;
}

}  // namespace

void SurfaceChart::applyData()
{
  const DrawnGrid g = drawnGrid(m_values, m_columns, m_lines);
  auto* rows = new QSurfaceDataArray;
  rows->reserve(g.lines);
  for (int z = 0; z < g.lines; ++z) {
    auto* row = new QSurfaceDataRow(g.columns);
    for (int x = 0; x < g.columns; ++x)
      (*row)[x].setPosition(QVector3D(static_cast<float>(x + g.x0),
                                      static_cast<float>(g.values[z * g.columns + x]),
                                      static_cast<float>(z + g.z0)));
    rows->append(row);
  }
  m_drawnOrigin = QPoint(g.x0, g.z0);
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
  applyLook();
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

QLinearGradient SurfaceChart::lookGradient(const SurfaceLook& look, double axisMin, double axisMax)
{
  // The graph spreads the gradient over the whole value axis, which reaches half
  // the map's span beyond it either way; the palette itself covers the map's
  // values only, so its lowest colour is on the lowest count.
  QLinearGradient g(0.0, 1000.0, 0.0, 0.0);
  const int cut = look.transparencyPercent;
  const double lo = look.steps.isEmpty() ? axisMin : look.steps.front().lower;
  const double hi = look.steps.isEmpty() ? axisMax : look.steps.back().upper;
  const double span = axisMax - axisMin;
  const auto at = [&](double v) {
    return span > 0.0 ? std::clamp((v - axisMin) / span, 0.0, 1.0) : 0.0;
  };
  if (!(hi > lo)) {
    const int s = PaletteStepOf(look.steps, lo);
    const unsigned bgr = s < 0 ? look.colors.mid : look.steps[s].color;
    g.setColorAt(0.0, withAlpha(colorOf(bgr), cut));
    g.setColorAt(1.0, withAlpha(colorOf(bgr), cut));
    return g;
  }
  g.setColorAt(0.0, withAlpha(colorOf(PaletteColorAt(look.colors, 0.0)), cut));
  g.setColorAt(1.0, withAlpha(colorOf(PaletteColorAt(look.colors, 1.0)), cut));
  if (look.smooth || look.steps.isEmpty()) {
    for (int i = 0; i <= SmoothStops; ++i) {
      const double t = static_cast<double>(i) / SmoothStops;
      g.setColorAt(at(lo + (hi - lo) * t), withAlpha(colorOf(PaletteColorAt(look.colors, t)), cut));
    }
    return g;
  }
  // Bands: each step one colour, with a hard edge to the next.
  constexpr double Edge = 1e-5;
  const int n = static_cast<int>(look.steps.size());
  for (int s = 0; s < n; ++s) {
    const QColor c = withAlpha(colorOf(look.steps[s].color), cut);
    const double from = at(look.steps[s].lower);
    g.setColorAt(s == 0 ? from : std::min(1.0, from + Edge), c);
    g.setColorAt(at(look.steps[s].upper), c);
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
  const double hi = m_valueMax > m_valueMin ? m_valueMax : m_valueMin + 1.0;
  m_series->setBaseGradient(lookGradient(m_look, m_valueMin, hi));
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
  // Kept as a flag: the surface is only ever on screen in the surface views,
  // and hiding the series would make the graph rebuild its mesh on the way back.
  m_visible = on;
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
  // The selection names the drawn row (line) and column.
  const double v = valueAt(p.y() + m_drawnOrigin.x(), p.x() + m_drawnOrigin.y());
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
  // The graph draws a whole frame for every expose, and showing its window
  // brings two at once (one when it is mapped, one from the display server), so
  // a switch to the surface drew a big map twice. Update requests merge into
  // one: the frame is drawn once, a moment later, and never skipped.
  if (watched == m_graph && event->type() == QEvent::Expose) {
    if (m_graph->isExposed())
      m_graph->requestUpdate();
    return true;
  }
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
