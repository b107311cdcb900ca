#include "charts/chart.h"
#include "shell/grid_view.h"
#include "shell/about_window.h"
#include "common/clock.h"
#include "shell/main_window.h"
#include "shell/panel.h"
#include "shell/view_rebuild.h"
#include "support/scripted_prompts.h"

#include <qcustomplot.h>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>

namespace {

QStringList captionsOf(const QList<QAction*>& actions)
{
  QStringList out;
  for (QAction* a : actions)
    if (!a->isSeparator())
      out << a->text();
  return out;
}

// n counts in rows 2..n+1, no separators.
void fillCounts(MeasurementGrid& grid, int n)
{
  QVector<GridRow> rows(n + 2);
  rows[0].cell = {TimeHeader, BrHeader};
  for (int r = 2; r < n + 2; ++r)
    rows[r].cell = {MeasurementGrid::countNumberCell(r, QStringLiteral("10:00:00")),
                    QStringLiteral("05,43")};
  grid.replaceRows(rows);
}

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init()
  {
    m_form = std::make_unique<TForm1>(m_prompts, m_clock);
    m_form->show();
  }
  void cleanup() { m_form.reset(); }

  void captionAndMenus()
  {
    QCOMPARE(m_form->windowTitle(), QStringLiteral("RZ-37m connect"));
    QCOMPARE(captionsOf(m_form->menuBar()->actions()),
             (QStringList{"File", "View", "Linear", "3D", "Math", "Help"}));
    QCOMPARE(captionsOf(m_form->MainFile->actions()),
             (QStringList{"Receive data", "Open file", "Save...", "Inspection report...", "Exit"}));
    QCOMPARE(captionsOf(m_form->N13->actions()), (QStringList{"All data", "Only visible data"}));
    QCOMPARE(captionsOf(m_form->ViewGroup->actions()),
             (QStringList{"Linear chart", "Circular chart", "Contour plot 3x12",
                          "Contour plot 6x12", "3D surface 3x12", "3D surface 6x12",
                          "Contour (custom)", "Surface (custom)"}));
    QCOMPARE(m_form->N33->text(), QStringLiteral("Remove the trend"));
    QCOMPARE(m_form->Converttostress1->text(), QStringLiteral("Convert to stress (MPa)"));
    QCOMPARE(m_form->Openstressdatabase1->text(), QStringLiteral("Open the stress database"));
    QCOMPARE(captionsOf(m_form->PopupMenu2->actions()),
             (QStringList{"Load file", "Delete file", "Delete all"}));
  }

  void initialState()
  {
    TForm1& f = *m_form;
    QVERIFY(!f.N13->isEnabled());
    QVERIFY(f.N21->isChecked());
    QVERIFY(f.N31->isChecked());
    for (QAction* a : {f.N32, f.N35, f.N3D1, f.G1, f.N8, f.N34, f.N33, f.Converttostress1})
      QVERIFY2(!a->isChecked(), qPrintable(a->text()));
    QVERIFY(!f.StringGrid1->isEnabled());
    QCOMPARE(f.Grid.cell(0, 0), QStringLiteral(" File name"));
    QVERIFY(!f.State.DataLoaded);
    QCOMPARE(f.State.RecordsCount, 0);
    QCOMPARE(f.ScrollBar7->maximum(), 1);
    QCOMPARE(f.State.SelectedPort, QStringLiteral("No port selected"));
    QCOMPARE(f.State.DialogueState, 2);
    QCOMPARE(f.Chart1->titleText(), QStringLiteral("         Br, mT"));
    QCOMPARE(f.Chart1->bottomAxis().minimum(), 0.0);
    QCOMPARE(f.Chart1->bottomAxis().maximum(), 100.0);
    QCOMPARE(f.Chart1->leftAxis().maximum(), 20.0);
    QVERIFY(f.Chart2->isHidden());
    QVERIFY(f.Chart3->isHidden());
    QVERIFY(f.Panel21->isHidden());
  }

  void enterMeasurementMode_data()
  {
    QTest::addColumn<int>("counts");
    QTest::addColumn<double>("xMax");
    QTest::newRow("99 counts") << 99 << 100.0;
    QTest::newRow("100 counts") << 100 << 101.0;
  }
  void enterMeasurementMode()
  {
    QFETCH(int, counts);
    QFETCH(double, xMax);
    TForm1& f = *m_form;
    f.Chart1->bottomAxis().setRange(300, 400);
    fillCounts(f.Grid, counts);
    f.rebuild().enterMeasurementMode(QStringLiteral("data.csv    Records count: 1"), true);
    QCOMPARE(f.Chart1->bottomAxis().minimum(), 0.0);
    QCOMPARE(f.Chart1->bottomAxis().maximum(), xMax);
    QCOMPARE(f.State.RecordsCount, 1);
    QVERIFY(f.State.DataLoaded);
    QVERIFY(f.N13->isEnabled());
    QVERIFY(f.Grid.rangeSelect());
    QVERIFY(f.Grid.isRowHidden(1));
    QCOMPARE(f.StringGrid1->popupMenu(), f.PopupMenu1);
    QCOMPARE(f.StatusBar1->currentMessage(), QStringLiteral("data.csv    Records count: 1"));
    QVERIFY(f.ScrollBar7->isEnabled());
    QCOMPARE(f.ScrollBar7->maximum(), 1);
    QCOMPARE(f.ScrollBar7->value(), 1);
  }

  void clickingTheShownViewKeepsTheZoom()
  {
    TForm1& f = *m_form;
    f.Chart1->bottomAxis().setRange(0, 100);
    f.Chart1->plot()->xAxis->setRange(10, 20);  // as a user's rectangle leaves it
    f.N21->trigger();
    QVERIFY(f.N21->isChecked());
    QCOMPARE(f.Chart1->plot()->xAxis->range().upper, 20.0);
    f.N22->trigger();
    f.N21->trigger();  // back to the linear view: its layout undoes the zoom
    QVERIFY(f.N21->isChecked());
    QCOMPARE(f.Chart1->plot()->xAxis->range().upper, 100.0);
  }

  void menuHoverKeepsTheStatusText()
  {
    TForm1& f = *m_form;
    f.StatusBar1->showMessage(QStringLiteral("data.csv    Records count: 3"));
    QStatusTipEvent tip{QString()};  // what a menu item under the mouse sends
    QApplication::sendEvent(&f, &tip);
    QCOMPARE(f.StatusBar1->currentMessage(), QStringLiteral("data.csv    Records count: 3"));
  }

  void downloadKeepsReturnRowVisible()
  {
    TForm1& f = *m_form;
    fillCounts(f.Grid, 5);
    f.Grid.setCell(1, 0, ReturnText);
    f.StringGrid1->setPopupMenu(f.PopupMenu1);
    f.rebuild().enterMeasurementMode(QStringLiteral("downloaded"), false);
    QVERIFY(!f.Grid.isRowHidden(1));
  }

  void aboutActsAsModalAndIsKept()
  {
    TForm1& f = *m_form;
    TForm2 about;
    about.restyleAsAbout();
    f.About = &about;
    f.N44->trigger();
    QVERIFY(about.isVisible());
    QVERIFY(!f.isEnabled());
    QVERIFY(about.Label1->text().startsWith(QStringLiteral("Stressed state of steel\n")));
    about.close();
    QVERIFY(!about.isVisible());
    QVERIFY(f.isEnabled());
    f.N44->trigger();  // shown again from the same window
    QVERIFY(about.isVisible());
    about.close();
    f.About = nullptr;
  }

 private:
  ScriptedPrompts m_prompts;
  FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
  std::unique_ptr<TForm1> m_form;
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
