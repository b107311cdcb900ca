// The View menu as the window runs it: the layout of each view with the numbers
// of its rules, the map views' axes and bars, the map rebuilt only from
// measurements, the custom grid's bars, and the circular chart's fill and zoom.
// Surface views need a 3D context and are tested in test_surface_window.

#include "analysis/test_statistics_grid.h"
#include "charts/chart.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "shell/main_window.h"
#include "shell/panel.h"
#include "shell/qt_prompts.h"
#include "shell/view_rebuild.h"
#include "support/scripted_prompts.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QColorDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace {

// n counts with distinct values: count k reads 01,00 + k hundredths.
QStringList distinctCounts(int n)
{
  QStringList cells;
  for (int k = 0; k < n; ++k)
    cells << QStringLiteral("%1,%2")
                 .arg(1 + k / 100, 2, 10, QLatin1Char('0'))
                 .arg(k % 100, 2, 10, QLatin1Char('0'));
  return cells;
}

double valueOfCount(int k)
{
  return 1.0 + (k / 100) + (k % 100) / 100.0;
}

}  // namespace

class TestViewsWindow : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase()
  {
    QVERIFY(m_dir.isValid());
    ProgramFolder::setOverride(m_dir.path());
  }
  void init()
  {
    m_prompts = ScriptedPrompts();
    m_form = std::make_unique<TForm1>(m_prompts, m_clock);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
  }
  void cleanup() { m_form.reset(); }

  void circularLaysOutAtOnce();
  void circularFollowsTheWindowSize_data();
  void circularFollowsTheWindowSize();
  void circularTwiceKeepsTheLayout();
  void circularBackToLinear();
  void mapViewAxesAndBars_data();
  void mapViewAxesAndBars();
  void contourKeepsTheGridProportions_data();
  void contourKeepsTheGridProportions();
  void mapIsBuiltOnlyFromMeasurements();
  void transposeRefillsTheMap();
  void customGridBars();
  void customGridRebuildsTheShownMap();
  void circularAnglesAndLabels_data();
  void circularAnglesAndLabels();
  void circularZoomButtons();
  void paletteColourThroughTheRealDialog();

 private:
  void load(const QStringList& cells)
  {
    fillGrid(m_form->Grid, cells);
    m_form->rebuild().enterMeasurementMode(QStringLiteral("loaded"), true);
  }
  void checkCircularLayout()
  {
    TForm1& f = *m_form;
    QVERIFY(f.Chart2->isVisible());
    QCOMPARE(f.Chart2->width(), f.ChartArea->width() / 2);
    QCOMPARE(f.Chart1->width(), f.ChartArea->width() - f.ChartArea->width() / 2);
    QCOMPARE(f.Chart1->chartMargins().top(), f.Chart1->height() / 4);
    QCOMPARE(f.Chart1->chartMargins().bottom(), f.Chart1->height() / 4);
    QVERIFY(f.Panel2->isVisible());
    QVERIFY(f.Panel24->isVisible());
    QVERIFY(!f.Panel11->isVisible());
    QVERIFY(!f.Chart3->isVisible());
  }

  QTemporaryDir m_dir;
  ScriptedPrompts m_prompts;
  FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
  std::unique_ptr<TForm1> m_form;
};

void TestViewsWindow::circularLaysOutAtOnce()
{
  // No resize and no event loop pass between the click and the check: the
  // layout is the click's own.
  m_form->N22->trigger();
  checkCircularLayout();
}

void TestViewsWindow::circularFollowsTheWindowSize_data()
{
  QTest::addColumn<QSize>("size");
  QTest::newRow("larger") << QSize(1200, 700);
  QTest::newRow("smaller") << QSize(700, 360);
}

void TestViewsWindow::circularFollowsTheWindowSize()
{
  QFETCH(QSize, size);
  m_form->N22->trigger();
  m_form->resize(size);
  QTRY_COMPARE(m_form->size(), size);
  QApplication::processEvents();
  checkCircularLayout();
}

void TestViewsWindow::circularTwiceKeepsTheLayout()
{
  TForm1& f = *m_form;
  f.N22->trigger();
  const QRect chart1 = f.Chart1->geometry();
  const QRect chart2 = f.Chart2->geometry();
  const QMargins margins = f.Chart1->chartMargins();
  f.N22->trigger();
  QVERIFY(f.N22->isChecked());
  QCOMPARE(f.Chart1->geometry(), chart1);
  QCOMPARE(f.Chart2->geometry(), chart2);
  QCOMPARE(f.Chart1->chartMargins(), margins);
}

void TestViewsWindow::circularBackToLinear()
{
  TForm1& f = *m_form;
  f.N22->trigger();
  f.N21->trigger();
  QVERIFY(!f.Chart2->isVisible());
  QCOMPARE(f.Chart1->width(), f.ChartArea->width());
  QCOMPARE(f.Chart1->chartMargins().top(), 28);
  QCOMPARE(f.Chart1->chartMargins().bottom(), 16);
  QVERIFY(f.Panel11->isVisible());
  QVERIFY(!f.Panel2->isVisible());
}

void TestViewsWindow::mapViewAxesAndBars_data()
{
  QTest::addColumn<int>("item");  // place in the View menu, 0-based
  QTest::addColumn<int>("lines");
  QTest::addColumn<int>("columns");
  QTest::addColumn<bool>("customBars");
  QTest::newRow("Contour plot 3x12") << 2 << 3 << 12 << false;
  QTest::newRow("Contour plot 6x12") << 3 << 6 << 12 << false;
  QTest::newRow("Contour (custom) 17 x 5") << 6 << 5 << 17 << true;
}

void TestViewsWindow::mapViewAxesAndBars()
{
  QFETCH(int, item);
  QFETCH(int, lines);
  QFETCH(int, columns);
  QFETCH(bool, customBars);
  TForm1& f = *m_form;
  f.ScrollBar6->setValue(17);
  f.ScrollBar5->setValue(96);  // Y = 101 - 96
  f.ViewGroup->actions()[item]->trigger();
  ContourChart* c = f.Chart3->contour();
  QCOMPARE(c->leftAxis().minimum(), 0.0);
  QCOMPARE(c->leftAxis().maximum(), double(lines));
  QCOMPARE(c->bottomAxis().minimum(), 0.0);
  QCOMPARE(c->bottomAxis().maximum(), double(columns));
  QCOMPARE(c->leftAxis().increment(), 1.0);
  QCOMPARE(f.Panel17->isVisible(), customBars);
  QCOMPARE(f.Panel19->isVisible(), customBars);
  QVERIFY(!f.Panel3->isVisible());
  QVERIFY(!f.Panel13->isVisible());
  QVERIFY(f.Panel11->isVisible());
  QVERIFY(!f.Chart1->isVisible());
  QVERIFY(f.Chart3->isVisible());
  QVERIFY(!f.Chart3->view3D());
  QVERIFY(c->contoursVisible());
  QVERIFY(!f.Chart3->surface()->surfaceVisible());
}

void TestViewsWindow::contourKeepsTheGridProportions_data()
{
  QTest::addColumn<int>("item");
  QTest::addColumn<int>("dX");
  QTest::addColumn<int>("dY");
  QTest::addColumn<QMargins>("margins");  // left, top, right, bottom
  // 600 x 300 with axes 0..6 and 0..12: d = 150 - 600*6/(2*12) = 0.
  QTest::newRow("6x12 fills the width") << 3 << 1 << 1 << QMargins(32, 24, 32, 8);
  // 3x12: d = 150 - 600*3/24 = 75: the plot is centred vertically.
  QTest::newRow("3x12 centred vertically") << 2 << 1 << 1 << QMargins(32, 99, 32, 83);
  // Custom 20 x 5 with dX 2, dY 5: d = 150 - 600*5*5/(2*2*20) < 0;
  // e = 300 - 300*20*2/(2*5*5) = 60, so 32 + 60 either side.
  QTest::newRow("custom with steps") << 6 << 2 << 5 << QMargins(92, 24, 92, 8);
}

void TestViewsWindow::contourKeepsTheGridProportions()
{
  QFETCH(int, item);
  QFETCH(int, dX);
  QFETCH(int, dY);
  QFETCH(QMargins, margins);
  TForm1& f = *m_form;
  f.ScrollBar6->setValue(20);
  f.ScrollBar5->setValue(96);  // Y = 5
  f.ScrollBar8->setValue(dX);
  f.ScrollBar9->setValue(100 - dY);
  f.Chart3->contour()->setFixedSize(600, 300);
  f.ViewGroup->actions()[item]->trigger();
  QCOMPARE(f.Chart3->contour()->size(), QSize(600, 300));
  QCOMPARE(f.Chart3->contour()->chartMargins(), margins);
}

void TestViewsWindow::mapIsBuiltOnlyFromMeasurements()
{
  TForm1& f = *m_form;
  // The grid holds the instrument's file list: the view is laid out, no map.
  QVector<GridRow> rows(4);
  rows[0].cell = {FileNameHeader, SizeHeader};
  rows[2].cell = {QStringLiteral("PIPE_3X12.DAT"), QStringLiteral("572")};
  rows[3].cell = {QStringLiteral("PIPE_6X12.DAT"), QStringLiteral("1160")};
  f.Grid.replaceRows(rows);
  f.N23->trigger();
  QVERIFY(f.Map.empty);
  QVERIFY(f.Chart3->contour()->contourLines().pieces.isEmpty());

  f.N21->trigger();
  load(distinctCounts(36));
  f.N23->trigger();
  QCOMPARE(f.Map.size.columns, 12);
  QCOMPARE(f.Map.size.lines, 3);
  QVERIFY(!f.Chart3->contour()->contourLines().pieces.isEmpty());
  QCOMPARE(f.Chart3->surface()->columns(), 13);
  QCOMPARE(f.Chart3->surface()->lines(), 4);
}

void TestViewsWindow::transposeRefillsTheMap()
{
  TForm1& f = *m_form;
  load(distinctCounts(36));
  f.N23->trigger();
  QCOMPARE(f.Map.at(1, 1), valueOfCount(4));
  f.N34->trigger();
  QVERIFY(f.N34->isChecked());
  QCOMPARE(f.Map.at(4, 0), valueOfCount(4));
  QCOMPARE(f.Map.at(1, 1), valueOfCount(13));
  QCOMPARE(f.Chart3->surface()->valueAt(4, 0), valueOfCount(4));
}

void TestViewsWindow::customGridBars()
{
  TForm1& f = *m_form;
  QCOMPARE(f.Panel20->caption(), QStringLiteral("12"));
  QCOMPARE(f.Panel18->caption(), QStringLiteral("6"));
  QCOMPARE(f.Panel25->caption(), QStringLiteral("1"));
  QCOMPARE(f.Panel26->caption(), QStringLiteral("1"));
  // One step of the coarse bar: X moves by 10 and both bars agree.
  f.ScrollBar3->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QCOMPARE(f.ScrollBar6->value(), 22);
  QCOMPARE(f.ScrollBar3->value(), 22);
  QCOMPARE(f.Panel20->caption(), QStringLiteral("22"));
  f.ScrollBar6->setValue(30);
  QCOMPARE(f.ScrollBar3->value(), 30);
  f.ScrollBar5->setValue(61);
  QCOMPARE(f.Panel18->caption(), QStringLiteral("40"));
  f.ScrollBar8->setValue(2);
  f.ScrollBar9->setValue(95);
  QCOMPARE(f.Panel25->caption(), QStringLiteral("2"));
  QCOMPARE(f.Panel26->caption(), QStringLiteral("5"));
  // 5 / 2 + 2 = 4.5, rounded to even.
  QCOMPARE(f.Chart3->surface()->depthFactor(), 4);
  // In the custom contour view the grid width is the vertical axis.
  f.N27->trigger();
  f.ScrollBar5->setValue(91);
  QCOMPARE(f.Chart3->contour()->leftAxis().maximum(), 10.0);
  QCOMPARE(f.Chart3->contour()->bottomAxis().maximum(), 30.0);
}

void TestViewsWindow::customGridRebuildsTheShownMap()
{
  TForm1& f = *m_form;
  load(distinctCounts(60));
  f.N27->trigger();
  f.ScrollBar5->setValue(98);  // Y = 3
  f.ScrollBar6->setValue(20);
  QCOMPARE(f.Map.size.columns, 20);
  QCOMPARE(f.Map.size.lines, 3);
  QCOMPARE(f.Map.at(19, 2), valueOfCount(59));
  QCOMPARE(f.Map.at(20, 2), valueOfCount(2));  // the closing column repeats column 0
}

void TestViewsWindow::circularAnglesAndLabels_data()
{
  QTest::addColumn<QStringList>("cells");
  QTest::addColumn<QVector<double>>("angles");
  QTest::newRow("7 counts") << repeatedCells(7, QStringLiteral("05,43"))
                            << QVector<double>{0, 51, 103, 154, 206, 257, 309};
  QStringList twoRecords = repeatedCells(12, QStringLiteral("05,43"));
  twoRecords << QString() << repeatedCells(12, QStringLiteral("06,10"));
  QVector<double> expected;
  for (int b = 0; b < 25; ++b)
    if (b != 12)
      expected << std::nearbyint(360.0 * b / 25);
  QTest::newRow("separator keeps its place empty") << twoRecords << expected;
}

void TestViewsWindow::circularAnglesAndLabels()
{
  QFETCH(QStringList, cells);
  QFETCH(QVector<double>, angles);
  TForm1& f = *m_form;
  load(cells);
  f.N22->trigger();
  const ChartSeries* values = f.Chart2->series(0);
  QCOMPARE(values->count(), angles.size());
  for (int i = 0; i < angles.size(); ++i)
    QCOMPARE(values->x(i), angles[i]);
  QVERIFY(!angles.contains(173.0));
  QCOMPARE(values->label(0), cells.first());
  QCOMPARE(values->y(0), f.Chart1->series(0)->y(1));
  QCOMPARE(f.State.ShownRowCount, static_cast<int>(cells.size()));
}

void TestViewsWindow::circularZoomButtons()
{
  TForm1& f = *m_form;
  QCOMPARE(f.Button5->text(), QStringLiteral("-"));
  QCOMPARE(f.Button5->toolTip(), QStringLiteral("Zoom out"));
  QCOMPARE(f.Button6->text(), QStringLiteral("x1"));
  QCOMPARE(f.Button7->text(), QStringLiteral("+"));
  QCOMPARE(f.Button7->toolTip(), QStringLiteral("Zoom in"));
  load(repeatedCells(12, QStringLiteral("05,43")));
  f.N22->trigger();
  ChartAxis& radius = f.Chart2->leftAxis();
  f.Button7->click();
  f.Button7->click();
  QCOMPARE(radius.maximum(), 5.0);
  QCOMPARE(radius.increment(), 0.5);
  f.Button6->click();
  QCOMPARE(radius.maximum(), 20.0);
  QCOMPARE(radius.increment(), 2.0);
  f.Button5->click();
  QCOMPARE(radius.maximum(), 40.0);
  QCOMPARE(radius.increment(), 4.0);
  // A refill returns to the unit's scale, which "x1" leaves at 20 in MPa too.
  f.Converttostress1->trigger();
  QCOMPARE(radius.maximum(), 1000.0);
  f.Button6->click();
  QCOMPARE(radius.maximum(), 20.0);
}

void TestViewsWindow::paletteColourThroughTheRealDialog()
{
  QtPrompts real;
  TForm1 form(real, m_clock);
  real.setOwner(&form);
  form.show();
  QTimer::singleShot(50, [] {
    auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
    if (!dialog)
      return;
    dialog->setCurrentColor(QColor(0, 128, 0));
    dialog->accept();
  });
  form.Panel5->clicked();
  QCOMPARE(form.Panel5->color(), 0x008000u);
  QCOMPARE(form.Chart3->surface()->look().colors.low, 0x008000u);
  // Cancel changes nothing.
  QTimer::singleShot(50, [] {
    if (auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget()))
      dialog->reject();
  });
  form.Panel15->clicked();
  QCOMPARE(form.Panel15->color(), MapRed);
}

QTEST_MAIN(TestViewsWindow)
#include "test_views_window.moc"
