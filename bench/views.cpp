// Prints how fast the map views are, in one run (under xvfb-run, which gives a
// software OpenGL renderer):
//  - switching between "Contour (custom)" and "Surface (custom)" on a 999 x 99
//    map (98 901 counts), with trend removal and stress conversion off and on;
//  - a surface frame while the view turns, for the 3x12 and 6x12 views;
//  - the same for the 999 x 99 map, side by side with a bare Q3DSurface holding
//    the same grid at the same size, and their ratio.
// Frame times come from the graphs' own frame counters while they redraw
// continuously and the rotation moves every event loop pass.
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_views

#include "analysis/contour_trace.h"
#include "analysis/map_grid.h"
#include "analysis/test_statistics_grid.h"
#include "charts/chart.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "shell/main_window.h"
#include "shell/view_rebuild.h"
#include "silent_prompts.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DSurface>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr int BigX = 999;
constexpr int BigY = 99;
constexpr int SwitchRounds = 3;
constexpr int FrameSeconds = 3;

QString brText(double v)
{
  return QString::asprintf("%05.2f", v).replace(u'.', u',');
}

// Counts around a pipe: `sections` runs of `points`, separators between them.
QStringList pipe(int sections, int points)
{
  QStringList cells;
  for (int s = 0; s < sections; ++s) {
    if (s > 0)
      cells << QString();
    for (int p = 0; p < points; ++p)
      cells << brText(8.0 + 3.0 * std::cos(2 * M_PI * p / points - 0.9) + 0.6 * s);
  }
  return cells;
}

double bigValue(int k)
{
  const int x = k / BigY;
  const int z = k % BigY;
  return 10.0 + 4.0 * std::sin(x / 60.0) * std::cos(z / 15.0) + 0.2 * std::sin(k * 0.7);
}

QStringList bigMap()
{
  QStringList cells;
  cells.reserve(BigX * BigY);
  for (int k = 0; k < BigX * BigY; ++k)
    cells << brText(bigValue(k));
  return cells;
}

void settle()
{
  for (int i = 0; i < 5; ++i)
    QApplication::processEvents();
}

// Runs the event loop until `window` has drawn a frame (its update request
// was delivered and handled while it was on screen), at most `limitMs`. The
// surface turns its exposes into update requests, so an expose alone is no frame.
class FrameWatch : public QObject {
 public:
  explicit FrameWatch(QWindow* window) : m_window(window) { window->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override
  {
    if (e->type() == QEvent::UpdateRequest && m_window->isExposed())
      drawn = true;
    return false;
  }
  void waitForFrame(int limitMs = 10000)
  {
    drawn = false;
    QElapsedTimer t;
    t.start();
    while (!drawn && t.elapsed() < limitMs)
      QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  bool drawn = false;

 private:
  QWindow* m_window;
};

double msSince(const QElapsedTimer& t)
{
  return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// Mean frame time (ms) of a graph redrawing continuously while `turn` moves
// its view by one degree every event loop pass.
double frameMs(QAbstract3DGraph* graph, const std::function<void(int)>& turn)
{
  graph->setMeasureFps(true);
  QElapsedTimer t;
  t.start();
  int step = 0;
  double fps = 0.0;
  QObject::connect(graph, &QAbstract3DGraph::currentFpsChanged, graph,
                   [&fps](qreal f) { fps = f; });
  while (t.elapsed() < FrameSeconds * 1000) {
    turn(step++ % 180 - 90);
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  graph->setMeasureFps(false);
  return fps > 0.0 ? 1000.0 / fps : -1.0;
}

void benchSwitching(TForm1& f, bool trend, bool stress)
{
  if (f.N33->isChecked() != trend)
    f.N33->trigger();
  if (f.Converttostress1->isChecked() != stress)
    f.Converttostress1->trigger();
  // The option's own redraw belongs to the option, not to the first switch.
  settle();
  double worstToSurface = 0.0;
  double worstToContour = 0.0;
  FrameWatch surfaceFrames(f.Chart3->surface()->graph());
  for (int r = 0; r < SwitchRounds; ++r) {
    QElapsedTimer t;
    t.start();
    f.N28->trigger();
    surfaceFrames.waitForFrame();
    worstToSurface = std::max(worstToSurface, msSince(t));
    settle();
    t.restart();
    f.N27->trigger();
    f.Chart3->contour()->replot();
    worstToContour = std::max(worstToContour, msSince(t));
    settle();
  }
  MapOptions o;
  o.size = {BigX, BigY};
  o.removeTrend = trend;
  o.stressMode = stress;
  o.stress = f.Stress;
  QElapsedTimer t;
  t.start();
  const MapSeries map = ComputeMapSeries(f.Grid, o);
  const double build = msSince(t);
  t.restart();
  const ContourLines lines = TraceContours(map);
  const double trace = msSince(t);
  t.restart();
  f.Chart3->surface()->setMap(map.closedColumns(), map.closedLines(), map.closed);
  const double surfaceData = msSince(t);
  std::printf("  parts: map %.0f ms, contour tracing %.0f ms (%d pieces), surface data %.0f ms\n",
              build, trace, static_cast<int>(lines.pieces.size()), surfaceData);
  std::printf(
      "switch 999 x 99, trend %s, stress %s: to surface %.0f ms (first frame drawn), "
      "to contour %.0f ms (drawn) (worst of %d, target <= 300 ms)\n",
      trend ? "on " : "off", stress ? "on " : "off", worstToSurface, worstToContour, SwitchRounds);
}

void benchFixedViewFrame(TForm1& f, QAction* view, const char* name)
{
  f.N21->trigger();
  view->trigger();
  settle();
  const double ms =
      frameMs(f.Chart3->surface()->graph(), [&f](int deg) { f.ScrollBar1->setValue(deg); });
  std::printf("surface frame while turning, %s: %.1f ms (target <= 33 ms)\n", name, ms);
}

double bareSurfaceFrame(const MapSeries& map, QSize size)
{
  auto* graph = new Q3DSurface;
  QWidget* container = QWidget::createWindowContainer(graph);
  container->resize(size);
  auto* series = new QSurface3DSeries;
  auto* rows = new QSurfaceDataArray;
  for (int z = 0; z < map.closedLines(); ++z) {
    auto* row = new QSurfaceDataRow(map.closedColumns());
    for (int x = 0; x < map.closedColumns(); ++x)
      (*row)[x].setPosition(QVector3D(x, static_cast<float>(map.at(x, z)), z));
    rows->append(row);
  }
  series->dataProxy()->resetArray(rows);
  graph->addSeries(series);
  container->show();
  settle();
  const double ms = frameMs(graph, [graph](int deg) {
    graph->scene()->activeCamera()->setCameraPosition(deg, 45.0f, 100.0f);
  });
  delete container;
  return ms;
}

}  // namespace

int main(int argc, char** argv)
{
  QApplication app(argc, argv);
  QTemporaryDir dir;
  ProgramFolder::setOverride(dir.path());
  SilentPrompts prompts;
  SystemClock clock;
  TForm1 f(prompts, clock);
  // No start-up here to load the stress table: the first built-in item
  // (St_3_flat) in force, so that stress maps are not flat.
  f.Stress = StressLaw{0.62, 350.0 / (2.00 - 0.62), 1};
  f.show();
  settle();

  fillGrid(f.Grid, pipe(3, 12));
  f.rebuild().enterMeasurementMode(QStringLiteral("pipe 3x12"), true);
  benchFixedViewFrame(f, f.N25, "3x12");
  fillGrid(f.Grid, pipe(6, 12));
  f.rebuild().enterMeasurementMode(QStringLiteral("pipe 6x12"), true);
  benchFixedViewFrame(f, f.N26, "6x12");

  f.N21->trigger();
  fillGrid(f.Grid, bigMap());
  f.rebuild().enterMeasurementMode(QStringLiteral("999 x 99"), true);
  f.ScrollBar5->setValue(101 - BigY);
  f.ScrollBar6->setValue(BigX);
  f.N27->trigger();
  settle();
  for (bool trend : {false, true})
    for (bool stress : {false, true})
      benchSwitching(f, trend, stress);
  if (f.N33->isChecked())
    f.N33->trigger();
  if (f.Converttostress1->isChecked())
    f.Converttostress1->trigger();

  f.N28->trigger();
  settle();
  SurfaceChart* surface = f.Chart3->surface();
  const QSize size = surface->size();
  const double ours = frameMs(surface->graph(), [&f](int deg) { f.ScrollBar1->setValue(deg); });
  f.N21->trigger();
  settle();
  const double bare = bareSurfaceFrame(f.Map, size);
  std::printf(
      "surface frame while turning, 999 x 99 at %d x %d: %.1f ms; bare Q3DSurface "
      "%.1f ms; ratio %.2f (target <= 1.5)\n",
      size.width(), size.height(), ours, bare, bare > 0 ? ours / bare : -1.0);
  return 0;
}
