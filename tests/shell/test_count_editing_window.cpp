#include "analysis/test_statistics_grid.h"
#include "charts/chart.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "device/file_exchange.h"
#include "shell/grid_view.h"
#include "shell/main_window.h"
#include "shell/panel.h"
#include "shell/view_rebuild.h"
#include "support/scripted_prompts.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int Markers = 2;  // Chart1's selection series

// Record 1: rows 2..6 (04,00 .. 08,00); separator in row 7; record 2: rows
// 8..10 (10,00 11,00 12,00); separator in row 11; record 3: row 12 (05,43).
QStringList threeRecords()
{
  return {"04,00", "05,00", "06,00", "07,00", "08,00", "",     "10,00",
          "11,00", "12,00", "",      "05,43"};
}

QString caption(int records)
{
  return QStringLiteral(" Record                    of ") + QString::number(records);
}

QList<double> xsOf(const ChartSeries* s)
{
  QList<double> xs;
  for (int i = 0; i < s->count(); ++i)
    xs << s->x(i);
  return xs;
}

}  // namespace

class TestCountEditingWindow : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase();
  void init();
  void cleanup();

  void insertAndDelete_data();
  void insertAndDelete();
  void deleteBringsTheNavigatorDownOnce();
  void emptyRecordAfterInsertHasAValidAxis();
  void deleteBelowTheStretchedMinimum();
  void nothingOutsideMeasurements_data();
  void nothingOutsideMeasurements();
  void selectOnGraph();
  void stretchOverTheSelection();
  void stretchOverSeparatorsOnly();
  void stretchOnlyInLinearAndCircularViews();
  void displayAllCounts();
  void realPopupMenu();
  void mouseSelectsWholeRowRanges();

 private:
  void load(const QStringList& cells);
  void select(int top, int bottom) { m_form->StringGrid1->selectGridRows(top, bottom); }

  QTemporaryDir m_dir;
  ScriptedPrompts m_prompts;
  FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
  std::unique_ptr<TForm1> m_form;
};

void TestCountEditingWindow::initTestCase()
{
  QVERIFY(m_dir.isValid());
  ProgramFolder::setOverride(m_dir.path());
}

void TestCountEditingWindow::init()
{
  m_prompts = ScriptedPrompts();
  m_form = std::make_unique<TForm1>(m_prompts, m_clock);
  m_form->show();
}

void TestCountEditingWindow::cleanup()
{
  m_form.reset();
}

void TestCountEditingWindow::load(const QStringList& cells)
{
  fillGrid(m_form->Grid, cells);
  m_form->StringGrid1->setEnabled(true);
  m_form->rebuild().enterMeasurementMode(QStringLiteral("loaded"), true);
}

void TestCountEditingWindow::insertAndDelete_data()
{
  QTest::addColumn<int>("counts");  // counts of one record before
  QTest::addColumn<bool>("insert");
  QTest::addColumn<int>("top");
  QTest::addColumn<int>("bottom");
  QTest::addColumn<int>("records");
  QTest::addColumn<double>("bottomMax");

  QTest::newRow("insert at the second count") << 24 << true << 3 << 3 << 2 << 100.0;
  QTest::newRow("insert from the return row") << 24 << true << 1 << 5 << 2 << 100.0;
  QTest::newRow("insert in a long file") << 150 << true << 60 << 70 << 2 << 151.0;
  QTest::newRow("delete five counts") << 24 << false << 5 << 9 << 1 << 100.0;
  QTest::newRow("delete in a long file") << 150 << false << 2 << 2 << 1 << 149.0;
  QTest::newRow("delete past the end") << 24 << false << 20 << 25 << 1 << 100.0;
}

void TestCountEditingWindow::insertAndDelete()
{
  QFETCH(int, counts);
  QFETCH(bool, insert);
  QFETCH(int, top);
  QFETCH(int, bottom);
  QFETCH(int, records);
  TForm1& f = *m_form;
  load(repeatedCells(counts, QStringLiteral("05,00")));
  select(top, bottom);
  (insert ? f.MenuItem16 : f.MenuItem17)->trigger();

  QCOMPARE(f.State.RecordsCount, records);
  QCOMPARE(f.Grid.countRecords(), records);
  QCOMPARE(f.ScrollBar7->maximum(), records);
  QCOMPARE(f.Panel21->caption(), caption(records));
  QTEST(f.Chart1->bottomAxis().maximum(), "bottomMax");
  QCOMPARE(f.Chart1->bottomAxis().minimum(), 0.0);
  // Every count numbered by its row; the linear chart rebuilt from the grid.
  for (int r = 2; r < f.Grid.RowCount(); ++r)
    if (!f.Grid.cell(r, 1).isEmpty())
      QCOMPARE(f.Grid.cell(r, 0), MeasurementGrid::countNumberCell(r, QStringLiteral("10:00:00")));
  QCOMPARE(f.LinearSeries(0)->count(), f.Grid.RowCount() - 1);
  QCOMPARE(f.Grid.RowCount(), counts + 2 + (insert ? 1 : -(std::min(bottom, counts + 1) - top + 1)));
}

void TestCountEditingWindow::deleteBringsTheNavigatorDownOnce()
{
  TForm1& f = *m_form;
  load(threeRecords());
  f.N35->trigger();
  f.ScrollBar7->setValue(3);
  QCOMPARE(f.Panel23->caption(), QStringLiteral("Range [11..11]  L=1"));
  QSignalSpy moved(f.ScrollBar7, &QScrollBar::valueChanged);

  select(10, 11);  // the last count of record 2 and the separator after it
  f.MenuItem17->trigger();

  // The position came down with the maximum without a display of its own; the
  // one display at the end shows the joined last record.
  QCOMPARE(moved.count(), 0);
  QCOMPARE(f.ScrollBar7->maximum(), 2);
  QCOMPARE(f.ScrollBar7->value(), 2);
  QCOMPARE(f.Panel22->caption(), QStringLiteral("2"));
  QCOMPARE(f.Panel21->caption(), caption(2));
  QCOMPARE(f.Panel23->caption(), QStringLiteral("Range [7..9]  L=3"));
  QCOMPARE(f.Chart1->bottomAxis().minimum(), 7.0);
  QCOMPARE(f.Chart1->bottomAxis().maximum(), 9.0);
}

void TestCountEditingWindow::emptyRecordAfterInsertHasAValidAxis()
{
  TForm1& f = *m_form;
  load(threeRecords());
  f.N35->trigger();
  select(7, 7);  // on the separator: two in a row, an empty record 2
  f.MenuItem16->trigger();
  QCOMPARE(f.State.RecordsCount, 4);
  f.ScrollBar7->setValue(2);
  QCOMPARE(f.Panel23->caption(), QStringLiteral("Range [7..7]  L=0"));
  QVERIFY(f.Chart1->bottomAxis().minimum() <= f.Chart1->bottomAxis().maximum());
  QVERIFY(f.Chart1->leftAxis().minimum() < f.Chart1->leftAxis().maximum());
}

void TestCountEditingWindow::deleteBelowTheStretchedMinimum()
{
  TForm1& f = *m_form;
  load(repeatedCells(300, QStringLiteral("05,00")));
  select(250, 290);
  f.MenuItem11->trigger();
  QCOMPARE(f.Chart1->bottomAxis().minimum(), 249.0);
  select(100, 301);
  f.MenuItem17->trigger();
  QCOMPARE(f.Grid.RowCount(), 100);
  QCOMPARE(f.Chart1->bottomAxis().minimum(), 0.0);
  QCOMPARE(f.Chart1->bottomAxis().maximum(), 100.0);
}

void TestCountEditingWindow::nothingOutsideMeasurements_data()
{
  QTest::addColumn<QString>("state");
  QTest::newRow("file list") << "file list";
  QTest::newRow("download under way") << "download";
}

void TestCountEditingWindow::nothingOutsideMeasurements()
{
  QFETCH(QString, state);
  TForm1& f = *m_form;
  if (state == QStringLiteral("file list")) {
    QVector<GridRow> rows(4);
    rows[0].cell = {FileNameHeader, SizeHeader};
    rows[1].cell = {QStringLiteral("FILE00001.csv"), QStringLiteral("120")};
    rows[2].cell = {QStringLiteral("FILE00002.csv"), QStringLiteral("")};
    f.Grid.replaceRows(rows);
  } else {
    // A file was asked for: the popup and the flag are those of measurements,
    // the grid still holds the directory.
    load(threeRecords());
    f.Grid.setCell(0, 0, FileNameHeader);
    f.Exchange->begin(FileExchange::Request::Content, [] {});
  }
  const QVector<GridRow> before = f.Grid.rows();
  const int records = f.State.RecordsCount;
  for (QAction* a : {f.MenuItem11, f.MenuItem13, f.MenuItem16, f.MenuItem17}) {
    select(2, 3);
    a->trigger();
  }
  QCOMPARE(f.Grid.RowCount(), before.size());
  for (int r = 0; r < before.size(); ++r)
    QCOMPARE(f.Grid.cell(r, 0), before[r].cell[0]);
  QCOMPARE(f.State.RecordsCount, records);
  QCOMPARE(f.LinearSeries(Markers)->count(), 0);
  if (f.Exchange->underWay())
    f.Exchange->finish();
}

void TestCountEditingWindow::selectOnGraph()
{
  TForm1& f = *m_form;
  load(threeRecords());
  f.N31->trigger();  // dots off: marking shows the markers all the same
  ChartSeries* marks = f.LinearSeries(Markers);
  QVERIFY(!marks->isActive());

  select(4, 8);  // three counts, the separator in row 7, one count
  f.MenuItem13->trigger();
  select(1, 5);  // overlaps: rows 2..5, of which 4 and 5 are marked
  f.MenuItem13->trigger();
  QVERIFY(marks->isActive());
  QList<double> xs = xsOf(marks);
  std::sort(xs.begin(), xs.end());
  QCOMPARE(xs, (QList<double>{1, 2, 3, 4, 5, 7}));
  for (int i = 0; i < marks->count(); ++i)
    QCOMPARE(marks->y(i), f.LinearSeries(0)->y(static_cast<int>(marks->x(i))));

  select(5, 8);
  f.MenuItem14->trigger();
  xs = xsOf(marks);
  std::sort(xs.begin(), xs.end());
  QCOMPARE(xs, (QList<double>{1, 2, 3}));

  f.MenuItem15->trigger();
  QCOMPARE(marks->count(), 0);
}

void TestCountEditingWindow::stretchOverTheSelection()
{
  TForm1& f = *m_form;
  load(threeRecords());
  f.N35->trigger();
  QVERIFY(f.Panel21->isVisible());
  select(5, 9);  // 07,00 08,00, separator, 10,00 11,00
  f.MenuItem11->trigger();

  QVERIFY(!f.N35->isChecked());
  QVERIFY(!f.Panel21->isVisible());
  QCOMPARE(f.Chart1->bottomAxis().minimum(), 4.0);
  QCOMPARE(f.Chart1->bottomAxis().maximum(), 8.0);
  QCOMPARE(f.Chart1->leftAxis().minimum(), 6.0);
  QCOMPARE(f.Chart1->leftAxis().maximum(), 12.0);
  QCOMPARE(f.State.RangeMean, 9.0);
  QCOMPARE(f.Label2->text(), QStringLiteral("Br max =11,00 mT \nBr avg =9,00 mT \nBr min =7,00 mT "));
  // The line keeps one point per row, no extra null points for the separator.
  QCOMPARE(f.LinearSeries(0)->count(), f.Grid.RowCount() - 1);
  // Four counts in five rows: the separator leaves its share of the circle empty.
  const ChartSeries* values = f.CircularSeries(0);
  QCOMPARE(values->count(), 4);
  QCOMPARE((QList<double>{values->x(0), values->x(1), values->x(2), values->x(3)}),
           (QList<double>{0, 72, 216, 288}));
  QCOMPARE(values->label(3), QStringLiteral("11,00"));
  QCOMPARE(f.CircularSeries(1)->count(), 4);
  QCOMPARE(f.CircularSeries(1)->y(0), 9.0);
}

void TestCountEditingWindow::stretchOverSeparatorsOnly()
{
  TForm1& f = *m_form;
  load(threeRecords());
  select(7, 7);
  f.MenuItem11->trigger();
  QCOMPARE(f.Chart1->bottomAxis().minimum(), 6.0);
  QCOMPARE(f.Chart1->bottomAxis().maximum(), 6.0);
  QVERIFY(f.Chart1->leftAxis().minimum() < f.Chart1->leftAxis().maximum());
  QCOMPARE(f.CircularSeries(0)->count(), 0);
}

void TestCountEditingWindow::stretchOnlyInLinearAndCircularViews()
{
  TForm1& f = *m_form;
  load(threeRecords());
  f.N35->trigger();
  f.N23->setChecked(true);  // a contour view
  const double bottomMax = f.Chart1->bottomAxis().maximum();
  const QString label = f.Label2->text();
  select(2, 4);
  f.MenuItem11->trigger();
  QVERIFY(!f.N35->isChecked());
  QCOMPARE(f.Chart1->bottomAxis().maximum(), bottomMax);
  QCOMPARE(f.Label2->text(), label);
}

void TestCountEditingWindow::displayAllCounts()
{
  TForm1& f = *m_form;
  load(repeatedCells(150, QStringLiteral("05,00")));
  select(10, 20);
  f.MenuItem11->trigger();
  f.MenuItem12->trigger();
  QCOMPARE(f.Chart1->bottomAxis().minimum(), 0.0);
  QCOMPARE(f.Chart1->bottomAxis().maximum(), 151.0);
  QCOMPARE(f.Chart1->leftAxis().minimum(), 0.0);
  QCOMPARE(f.Chart1->leftAxis().maximum(), 20.0);
  QCOMPARE(f.Chart2->leftAxis().maximum(), 20.0);
  QCOMPARE(f.State.RangeMean, 5.0);
}

void TestCountEditingWindow::realPopupMenu()
{
  // The user's way: a right click on the grid opens PopupMenu1, a click on
  // "Insert separator" in it inserts.
  TForm1& f = *m_form;
  load(threeRecords());
  select(3, 3);
  QWidget* viewport = f.StringGrid1->viewport();
  QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(10, 10), viewport->mapToGlobal(QPoint(10, 10)));
  QApplication::sendEvent(viewport, &right);
  QTRY_VERIFY(f.PopupMenu1->isVisible());
  QTest::mouseClick(f.PopupMenu1, Qt::LeftButton, {},
                    f.PopupMenu1->actionGeometry(f.MenuItem16).center());
  QTRY_COMPARE(f.State.RecordsCount, 4);
  QCOMPARE(f.Grid.cell(3, 1), QString());
  QCOMPARE(f.Grid.cell(4, 1), QStringLiteral("05,00"));
  QVERIFY(!f.PopupMenu1->isVisible());
}

void TestCountEditingWindow::mouseSelectsWholeRowRanges()
{
  // A click and a shift-click select the rows between, whole; the delete then
  // takes exactly those rows.
  TForm1& f = *m_form;
  load(threeRecords());
  QWidget* viewport = f.StringGrid1->viewport();
  auto rowCentre = [&f](int gridRow, int column) {
    return f.StringGrid1->visualRect(f.StringGrid1->model()->index(gridRow - 1, column)).center();
  };
  QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCentre(4, 1));
  QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, rowCentre(8, 0));
  QCOMPARE(f.StringGrid1->selectionTop(), 4);
  QCOMPARE(f.StringGrid1->selectionBottom(), 8);
  QCOMPARE(f.StringGrid1->selectionModel()->selectedRows().size(), 5);
  f.MenuItem17->trigger();
  QCOMPARE(f.State.RecordsCount, 2);
  QCOMPARE(f.Grid.cell(3, 1), QStringLiteral("05,00"));
  QCOMPARE(f.Grid.cell(4, 1), QStringLiteral("11,00"));
  QCOMPARE(f.Grid.cell(4, 0), QStringLiteral("3) 10:00:00"));
}

QTEST_MAIN(TestCountEditingWindow)
#include "test_count_editing_window.moc"
