// The surface views as the window runs them, on a real 3D context (run under
// xvfb-run): each view's depth and proportions, rotation, elevation and zoom
// from the bars, the 3D menu, the palette on screen, holes and the hover tip.

#include "analysis/map_palette.h"
#include "analysis/test_statistics_grid.h"
#include "charts/chart.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "shell/main_window.h"
#include "shell/panel.h"
#include "shell/view_rebuild.h"
#include "support/main_window_fixture.h"
#include "support/scripted_prompts.h"

#include <QAction>
#include <QActionGroup>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>

#include <cmath>

namespace {

// Three cross-sections of 12 counts around a pipe, separators between them:
// one side reads high, the other low.
QStringList pipeSections()
{
  QStringList cells;
  for (int s = 0; s < 3; ++s) {
    if (s > 0)
      cells << QString();
    for (int p = 0; p < 12; ++p) {
      const double v = 8.0 + 5.0 * std::cos(2 * M_PI * p / 12) + s;
      cells << QStringLiteral("%1").arg(v, 5, 'f', 2, QLatin1Char('0')).replace(u'.', u',');
    }
  }
  return cells;
}

int countPixels(const QImage& img, const std::function<bool(QColor)>& match)
{
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      n += match(img.pixelColor(x, y)) ? 1 : 0;
  return n;
}

bool blueish(QColor c)
{
  return c.blue() > 120 && c.blue() > c.red() + 60 && c.blue() > c.green() + 60;
}

bool yellowish(QColor c)
{
  return c.red() > 150 && c.green() > 150 && c.blue() < c.green() - 80;
}

}  // namespace

class TestSurfaceWindow : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase()
  {
    QVERIFY(m_dir.isValid());
    ProgramFolder::setOverride(m_dir.path());
  }
  void init()
  {
    m_window.start();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
  }
  void cleanup() { m_window.stop(); }

  void surfaceViewSteps_data();
  void surfaceViewSteps();
  void rotationElevationAndZoom();
  void threeDMenuOptions();
  void paletteOnScreenAndHoles();
  void tipNamesThePaletteEntry();
  void switchingViewsRebuildsForTheShownView();
  void surfaceDrawnOnScreenAfterEverySwitch();

 private:
  void load(const QStringList& cells) { m_window.load(cells); }

  QTemporaryDir m_dir;
  MainWindowFixture m_window;
  ScriptedPrompts& m_prompts = m_window.prompts;
  std::unique_ptr<TForm1>& m_form = m_window.form;
};

void TestSurfaceWindow::surfaceViewSteps_data()
{
  QTest::addColumn<int>("item");  // place in the View menu, 0-based
  QTest::addColumn<int>("x");
  QTest::addColumn<int>("y");
  QTest::addColumn<int>("dX");
  QTest::addColumn<int>("dY");
  QTest::addColumn<double>("bottomMax");
  QTest::addColumn<double>("depthMax");
  QTest::addColumn<int>("depthPercent");
  QTest::addColumn<int>("depthFactor");
  QTest::addColumn<bool>("customBars");
  QTest::newRow("3D surface 3x12") << 4 << 30 << 5 << 1 << 1 << 12.0 << 3.0 << 25 << 3 << false;
  QTest::newRow("3D surface 6x12") << 5 << 30 << 5 << 1 << 1 << 12.0 << 6.0 << 50 << 3 << false;
  QTest::newRow("custom 20 x 5") << 7 << 20 << 5 << 1 << 1 << 20.0 << 5.0 << 25 << 3 << true;
  QTest::newRow("custom 30 x 5") << 7 << 30 << 5 << 1 << 1 << 30.0 << 5.0 << 17 << 3 << true;
  // Y >= X leaves the depth as the 6x12 view set it.
  QTest::newRow("custom 30 x 40") << 7 << 30 << 40 << 1 << 1 << 30.0 << 40.0 << 50 << 3 << true;
  QTest::newRow("custom steps 2 and 5") << 7 << 20 << 5 << 2 << 5 << 20.0 << 5.0 << 25 << 4 << true;
}

void TestSurfaceWindow::surfaceViewSteps()
{
  QFETCH(int, item);
  QFETCH(int, x);
  QFETCH(int, y);
  QFETCH(int, dX);
  QFETCH(int, dY);
  QFETCH(double, bottomMax);
  QFETCH(double, depthMax);
  QFETCH(int, depthPercent);
  QFETCH(int, depthFactor);
  QFETCH(bool, customBars);
  TForm1& f = *m_form;
  f.ScrollBar6->setValue(x);
  f.ScrollBar5->setValue(101 - y);
  f.ScrollBar8->setValue(dX);
  f.ScrollBar9->setValue(100 - dY);
  f.N26->trigger();
  f.N21->trigger();
  f.ViewGroup->actions()[item]->trigger();
  SurfaceChart* s = f.Chart3->surface();
  QCOMPARE(s->bottomMaximum(), bottomMax);
  QCOMPARE(s->depthMaximum(), depthMax);
  QCOMPARE(s->depthPercent(), depthPercent);
  QCOMPARE(s->depthFactor(), depthFactor);
  QVERIFY(f.Chart3->view3D());
  QVERIFY(s->isVisible());
  QVERIFY(s->surfaceVisible());
  QVERIFY(!f.Chart3->contour()->contoursVisible());
  QVERIFY(f.Panel3->isVisible());
  QVERIFY(f.Panel13->isVisible());
  QVERIFY(!f.Panel11->isVisible());
  QVERIFY(!f.Chart1->isVisible());
  QCOMPARE(f.Panel17->isVisible(), customBars);
  QCOMPARE(f.Panel19->isVisible(), customBars);
  QCOMPARE(s->labelPointSize(), 14);
  QCOMPARE(s->graph()->horizontalAspectRatio(), float(s->horizontalAspect()));
}

void TestSurfaceWindow::rotationElevationAndZoom()
{
  TForm1& f = *m_form;
  f.N25->trigger();
  SurfaceChart* s = f.Chart3->surface();
  Q3DCamera* camera = s->graph()->scene()->activeCamera();
  QCOMPARE(s->elevation(), 315);
  f.ScrollBar1->setValue(30);
  f.ScrollBar2->setValue(10);
  QCOMPARE(s->rotation(), 30);
  QCOMPARE(s->elevation(), 350);
  QCOMPARE(camera->xRotation(), 30.0f);
  QCOMPARE(camera->yRotation(), 10.0f);
  f.Button1->click();
  QCOMPARE(f.ScrollBar1->value(), 0);
  QCOMPARE(f.ScrollBar2->value(), 45);
  QCOMPARE(s->rotation(), 0);
  QCOMPARE(s->elevation(), 315);
  for (int i = 0; i < 3; ++i)
    f.Button4->click();
  QCOMPARE(s->zoomPercent(), 85);
  f.Button3->click();
  QCOMPARE(s->zoomPercent(), 70);
  const float designZoom = camera->zoomLevel();
  for (int i = 0; i < 20; ++i)
    f.Button2->click();
  QCOMPARE(s->zoomPercent(), 5);
  QVERIFY(camera->zoomLevel() > 0.0f);
  QVERIFY(camera->zoomLevel() < designZoom);
}

void TestSurfaceWindow::threeDMenuOptions()
{
  TForm1& f = *m_form;
  load(pipeSections());
  f.N25->trigger();
  QSurface3DSeries* series = f.Chart3->surface()->series();
  QCOMPARE(series->drawMode(), QSurface3DSeries::DrawSurface);
  f.N3D1->trigger();
  QCOMPARE(series->drawMode(), QSurface3DSeries::DrawSurfaceAndWireframe);
  f.N3D1->trigger();
  QCOMPARE(series->drawMode(), QSurface3DSeries::DrawSurface);

  f.G1->trigger();
  QCOMPARE(f.Chart3->surface()->look().transparencyPercent, 20);
  QCOMPARE(series->baseGradient().stops().first().second.alpha(), 204);
  f.G1->trigger();
  QCOMPARE(series->baseGradient().stops().first().second.alpha(), 255);

  // 64 bands with hard edges, and the end colours out to the axis' ends.
  QCOMPARE(series->baseGradient().stops().size(), 2 * SurfacePaletteSteps + 2);
  f.N8->trigger();
  QVERIFY(f.Chart3->surface()->look().smooth);
  QVERIFY(series->baseGradient().stops().size() != 2 * SurfacePaletteSteps + 2);
  QCOMPARE(series->colorStyle(), Q3DTheme::ColorStyleRangeGradient);

  // A palette colour through the panel (the dialog scripted here).
  m_prompts.colorAnswers.enqueue(0x00FF00u);
  f.Panel6->clicked();
  QCOMPARE(f.Panel6->color(), 0x00FF00u);
  QCOMPARE(f.Chart3->surface()->look().colors.high, 0x00FF00u);
  QCOMPARE(series->baseGradient().stops().last().second, QColor(0, 255, 0));
}

void TestSurfaceWindow::paletteOnScreenAndHoles()
{
  TForm1& f = *m_form;
  load(pipeSections());
  f.N34->trigger();  // sections along the lines
  f.N25->trigger();
  SurfaceChart* s = f.Chart3->surface();
  // Transposed 3x12 with separators: counts 12 and 25 are holes.
  QVERIFY(std::isnan(s->valueAt(0, 1)));
  QVERIFY(std::isnan(s->valueAt(1, 2)));
  QVERIFY(!std::isnan(s->valueAt(1, 1)));
  f.ScrollBar2->setValue(80);  // look from nearly above
  const QImage banded = s->picture();
  if (qEnvironmentVariableIsSet("RZ37M_SHOT"))
    banded.save(qEnvironmentVariable("RZ37M_SHOT"));
  QVERIFY2(countPixels(banded, blueish) > 50, "the lowest values are drawn blue");
  QVERIFY2(countPixels(banded, yellowish) > 50, "the highest values are drawn yellow");
  f.N3D1->trigger();
  QVERIFY(s->picture() != banded);
}

void TestSurfaceWindow::tipNamesThePaletteEntry()
{
  TForm1& f = *m_form;
  load(pipeSections());
  f.N25->trigger();
  SurfaceChart* s = f.Chart3->surface();
  f.ScrollBar2->setValue(90);  // straight from above: the centre is on the surface
  QSignalSpy tips(s, &SurfaceChart::tipShown);
  QTRY_VERIFY_WITH_TIMEOUT(
      [&] {
        s->queryTipAt(s->rect().center());
        QTest::qWait(20);
        return !tips.isEmpty();
      }(),
      5000);
  QStringList texts;
  for (const PaletteStep& step : s->look().steps)
    texts << PaletteStepText(step);
  QVERIFY2(texts.contains(s->lastTip()), qPrintable(s->lastTip()));
}

void TestSurfaceWindow::switchingViewsRebuildsForTheShownView()
{
  TForm1& f = *m_form;
  load(pipeSections());
  f.N23->trigger();
  f.N26->trigger();
  QCOMPARE(f.Map.size.lines, 6);
  QCOMPARE(f.Chart3->surface()->lines(), 7);
  QCOMPARE(f.Chart3->surface()->valueMinimum(), f.Map.surfaceAxis.min);
  QCOMPARE(f.Chart3->surface()->valueMaximum(), f.Map.surfaceAxis.max);
  f.N24->trigger();
  QVERIFY(!f.Chart3->view3D());
  QCOMPARE(f.Chart3->contour()->leftAxis().minimum(), 0.0);
  QCOMPARE(f.Chart3->contour()->leftAxis().maximum(), 6.0);
}

// The graph's window as the screen shows it (not a picture rendered apart), so
// a frame the window never drew leaves it without the palette's colours.
void TestSurfaceWindow::surfaceDrawnOnScreenAfterEverySwitch()
{
  TForm1& f = *m_form;
  load(pipeSections());
  f.ScrollBar2->setValue(80);  // nearly from above: both ends of the palette show
  SurfaceChart* s = f.Chart3->surface();
  for (int round = 0; round < 2; ++round) {
    f.N23->trigger();
    f.N25->trigger();
    Q3DSurface* g = s->graph();
    QVERIFY(QTest::qWaitForWindowExposed(g));
    const auto onScreen = [&] { return g->screen()->grabWindow(g->winId()); };
    QTRY_VERIFY2_WITH_TIMEOUT(countPixels(onScreen().toImage(), blueish) > 50,
                              "the lowest values are on screen", 5000);
    QVERIFY2(countPixels(onScreen().toImage(), yellowish) > 50, "the highest values too");
  }
}

QTEST_MAIN(TestSurfaceWindow)
#include "test_surface_window.moc"
