// The stress database window: its table and line, the applied-item marker,
// Add/Remove/Apply/Save DB/Reload DB, and the main window held while it is open.

#include "charts/chart.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "shell/main_window.h"
#include "shell/qt_prompts.h"
#include "shell/stress_db_window.h"
#include "support/scripted_prompts.h"
#include "support/test_files.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

namespace {

const QByteArray DefaultFile = fileBytes(RZ37M_BIN_DIR "/Stress_DB.csv");

// The default items and user items in rows 12, 13 and 14.
QByteArray withUserItems()
{
  return DefaultFile +
         "Pipe A;0,80;300;2,30;\r\nPipe B;0,90;320;2,40;\r\nPipe C;1,00;340;2,50;\r\n";
}

QVector<double> dots(const TForm1& f)
{
  QVector<double> ys;
  if (ChartSeries* s = f.Chart1->series(1))
    for (int i = 0; i < s->count(); ++i)
      ys << s->y(i);
  return ys;
}

QStringList objects(const StressTable& t)
{
  QStringList out;
  for (int r = 1; r < t.RowCount(); ++r)
    out << t.cell(r, 0);
  return out;
}

}  // namespace

class TestStressDbWindow : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init();
  void cleanup();

  void mainWindowHeldWhileOpen_data();
  void mainWindowHeldWhileOpen();
  void selectingShowsTheItemAndItsLine_data();
  void selectingShowsTheItemAndItsLine();
  void applyChangesTheLawAndTheMarker();
  void applyThatFailsChangesNothing_data();
  void applyThatFailsChangesNothing();
  void applyRebuildsTheViewsInTheNewUnit();
  void addItem_data();
  void addItem();
  void addRefusesWhatCannotBeStored_data();
  void addRefusesWhatCannotBeStored();
  void removeItem_data();
  void removeItem();
  void withoutCurrentRowTheCommandsDoNothing();
  void saveWritesTheTable();
  void saveFailureKeepsTheOldFile();
  void reloadDiscardsEditsOrKeepsTheTable();
  void markerIsPaintedInItsRowAndScrollsWithIt();
  void failedApplyShowsTheRealMessageBox();

 private:
  TForm1& f() { return *m_form; }
  TForm4& w() { return *m_form4; }
  void start(const QByteArray& file, int applied);

  std::unique_ptr<QTemporaryDir> m_dir;
  std::unique_ptr<ScriptedPrompts> m_prompts;
  std::unique_ptr<FixedClock> m_clock;
  std::unique_ptr<TForm1> m_form;
  std::unique_ptr<TForm4> m_form4;
};

void TestStressDbWindow::init()
{
  m_dir = std::make_unique<QTemporaryDir>();
  ProgramFolder::setOverride(m_dir->path());
  m_prompts = std::make_unique<ScriptedPrompts>();
  m_clock = std::make_unique<FixedClock>(QDateTime(QDate(2026, 12, 10), QTime(10, 0)));
  m_form = std::make_unique<TForm1>(*m_prompts, *m_clock);
  m_form->show();
}

void TestStressDbWindow::cleanup()
{
  m_form4.reset();
  m_form.reset();
  ProgramFolder::setOverride({});
  m_dir.reset();
}

void TestStressDbWindow::start(const QByteArray& file, int applied)
{
  putFile(m_dir->filePath("Stress_DB.csv"), file);
  f().Stress.AppliedStressItem = applied;
  m_form4 = std::make_unique<TForm4>(m_form.get());
  f().Form4 = m_form4.get();
  QCOMPARE(f().Stress.AppliedStressItem, applied);
}

void TestStressDbWindow::mainWindowHeldWhileOpen_data()
{
  QTest::addColumn<QString>("how");
  QTest::newRow("Escape") << "escape";
  QTest::newRow("close box") << "close";
  QTest::newRow("window manager") << "wm";
}

void TestStressDbWindow::mainWindowHeldWhileOpen()
{
  QFETCH(QString, how);
  start(DefaultFile, 3);
  f().Openstressdatabase1->trigger();
  QVERIFY(w().isVisible());
  QVERIFY(!f().isEnabled());
  QVERIFY(w().isEnabled());
  QVERIFY(w().Button1->isEnabled());
  QCOMPARE(w().windowTitle(), QStringLiteral("RZ-37m connect stress DB"));
  QCOMPARE(w().CurrentRow(), 3);  // opens on the item in force
  if (how == "escape") {
    QTest::keyClick(w().StringGrid1, Qt::Key_Escape);
  } else if (how == "close") {
    w().close();
  } else {
    QCloseEvent byTheWindowManager;
    QApplication::sendEvent(w().windowHandle(), &byTheWindowManager);
  }
  QVERIFY(!w().isVisible());
  QVERIFY(f().isEnabled());
  // Shown again, it is still usable and holds the main window again.
  f().Openstressdatabase1->trigger();
  QVERIFY(w().isVisible() && w().isEnabled() && !f().isEnabled());
  w().close();
}

void TestStressDbWindow::selectingShowsTheItemAndItsLine_data()
{
  QTest::addColumn<QByteArray>("line");
  QTest::addColumn<int>("points");
  QTest::newRow("an item") << QByteArray("Pipe A;0,80;300;2,30;") << 2;
  QTest::newRow("Smax not whole") << QByteArray("Pipe A;0,80;300,5;2,30;") << 0;
  QTest::newRow("Br(Smax) missing") << QByteArray("Pipe A;0,80;300;2,30") << 0;
}

void TestStressDbWindow::selectingShowsTheItemAndItsLine()
{
  QFETCH(QByteArray, line);
  QFETCH(int, points);
  start(DefaultFile + line + "\r\n", 1);
  w().SelectRow(12);
  const StressItemRow item = ParseStressLine(QString::fromLatin1(line));
  QCOMPARE(w().LabeledEdit1->text(), item[0]);
  QCOMPARE(w().LabeledEdit2->text(), item[1]);
  QCOMPARE(w().LabeledEdit3->text(), item[2]);
  QCOMPARE(w().LabeledEdit4->text(), item[3]);
  QCOMPARE(w().Series1->count(), points);
  if (points == 2) {
    QCOMPARE(w().Series1->x(0), 0.0);
    QCOMPARE(w().Series1->y(0), 0.8);
    QCOMPARE(w().Series1->x(1), 300.0);
    QCOMPARE(w().Series1->y(1), 2.3);
    QCOMPARE(w().Chart1->bottomAxis().minimum(), 0.0);
    QCOMPARE(w().Chart1->leftAxis().minimum(), 0.0);
    QVERIFY(w().Chart1->bottomAxis().maximum() >= 300.0);
    QVERIFY(w().Chart1->leftAxis().maximum() >= 2.3);
  }
}

void TestStressDbWindow::applyChangesTheLawAndTheMarker()
{
  start(withUserItems(), 1);
  w().SelectRow(13);
  w().Button1->click();
  QCOMPARE(f().Stress.AppliedStressItem, 13);
  QCOMPARE(f().Stress.StressZeroBr, 0.9);
  QCOMPARE(f().Stress.StressSlope, 320 / (2.4 - 0.9));
  QVERIFY(m_prompts->messages.isEmpty());
}

void TestStressDbWindow::applyThatFailsChangesNothing_data()
{
  QTest::addColumn<QByteArray>("line");
  QTest::addColumn<QString>("reason");
  QTest::newRow("not a number") << QByteArray("Bad;0.80;300;2,30;") << "is not a number";
  QTest::newRow("equal Br") << QByteArray("Flat;1,50;300;1,50;") << "gives no slope";
  QTest::newRow("infinite slope") << QByteArray("Tiny;0;300;1E-320;") << "usable slope";
  QTest::newRow("empty row") << QByteArray(";;;;") << "is not a number";
}

void TestStressDbWindow::applyThatFailsChangesNothing()
{
  QFETCH(QByteArray, line);
  QFETCH(QString, reason);
  start(withUserItems() + line + "\r\n", 13);
  const StressLaw before = f().Stress;
  w().SelectRow(15);
  w().Button1->click();
  QCOMPARE(m_prompts->messages.size(), 1);
  QVERIFY2(m_prompts->messages[0].contains(reason), qPrintable(m_prompts->messages[0]));
  QCOMPARE(f().Stress.AppliedStressItem, before.AppliedStressItem);
  QCOMPARE(f().Stress.StressZeroBr, before.StressZeroBr);
  QCOMPARE(f().Stress.StressSlope, before.StressSlope);
}

void TestStressDbWindow::applyRebuildsTheViewsInTheNewUnit()
{
  start(withUserItems(), 1);
  const QString path = m_dir->filePath("ramp.csv");
  putFile(path, "10:00:00;01,00\r\n10:00:01;02,00\r\n10:00:02;03,00\r\n");
  f().LoadMeasurementFile(path);
  f().Converttostress1->trigger();
  w().SelectRow(12);  // Pipe A: 0,80 mT is 0 MPa, 300 MPa per 1,50 mT
  w().Button1->click();
  const QVector<double> got = dots(f());
  const QVector<double> want = {40.0, 240.0, 440.0};
  QCOMPARE(got.size(), want.size());
  for (int i = 0; i < want.size(); ++i)
    QVERIFY(std::fabs(got[i] - want[i]) < 1e-9);
  const QString label = f().Label2->text();
  QVERIFY2(label.startsWith(QStringLiteral("S max =440")), qPrintable(label));
  QVERIFY2(label.contains(QStringLiteral("S min =40")), qPrintable(label));
}

void TestStressDbWindow::addItem_data()
{
  QTest::addColumn<int>("selected");
  QTest::addColumn<int>("applied");
  QTest::addColumn<int>("newRow");
  QTest::addColumn<int>("appliedAfter");
  QTest::newRow("built-in row: appended") << 3 << 1 << 16 << 1;
  QTest::newRow("row 14, applied 15") << 14 << 15 << 14 << 16;
  QTest::newRow("row 13, applied 13 moves with it") << 13 << 13 << 13 << 14;
  QTest::newRow("row 14, applied 12 stays") << 14 << 12 << 14 << 12;
}

void TestStressDbWindow::addItem()
{
  QFETCH(int, selected);
  QFETCH(int, applied);
  QFETCH(int, newRow);
  QFETCH(int, appliedAfter);
  start(withUserItems() + "Pipe D;1,10;360;2,60;\r\n", applied);
  const QString appliedObject = w().Table.cell(applied, 0);
  w().SelectRow(selected);
  w().LabeledEdit1->setText(QStringLiteral("New pipe"));
  w().LabeledEdit2->setText(QStringLiteral(" 0,500 "));
  w().LabeledEdit3->setText(QStringLiteral("+250"));
  w().LabeledEdit4->setText(QStringLiteral("2,25"));
  w().Button2->click();
  QCOMPARE(w().Table.RowCount(), 17);
  const StressItemRow want = {"New pipe", "0,5", "250", "2,25"};
  for (int c = 0; c < 4; ++c)
    QCOMPARE(w().Table.cell(newRow, c), want[static_cast<size_t>(c)]);
  QCOMPARE(w().LabeledEdit2->text(), QStringLiteral("0,5"));
  QCOMPARE(w().Series1->count(), 2);
  QCOMPARE(w().CurrentRow(), selected);  // the grid's own selection does not move
  QCOMPARE(f().Stress.AppliedStressItem, appliedAfter);
  QCOMPARE(w().Table.cell(appliedAfter, 0), appliedObject);
}

void TestStressDbWindow::addRefusesWhatCannotBeStored_data()
{
  QTest::addColumn<QString>("object");
  QTest::addColumn<QString>("zeroBr");
  QTest::addColumn<QString>("smax");
  QTest::addColumn<QString>("smaxBr");
  QTest::newRow("Br(S=0) with a point") << "P"
                                        << "0.5"
                                        << "250"
                                        << "2,25";
  QTest::newRow("Smax not whole") << "P"
                                  << "0,5"
                                  << "250,5"
                                  << "2,25";
  QTest::newRow("Br(Smax) empty") << "P"
                                  << "0,5"
                                  << "250"
                                  << "";
  QTest::newRow("name with ;") << "P;1"
                               << "0,5"
                               << "250"
                               << "2,25";
  QTest::newRow("name with a line break") << "P\n1"
                                          << "0,5"
                                          << "250"
                                          << "2,25";
  QTest::newRow("name with a carriage return") << "P\r1"
                                               << "0,5"
                                               << "250"
                                               << "2,25";
}

void TestStressDbWindow::addRefusesWhatCannotBeStored()
{
  QFETCH(QString, object);
  QFETCH(QString, zeroBr);
  QFETCH(QString, smax);
  QFETCH(QString, smaxBr);
  start(withUserItems(), 13);
  w().SelectRow(12);
  w().LabeledEdit1->setText(object);
  w().LabeledEdit2->setText(zeroBr);
  w().LabeledEdit3->setText(smax);
  w().LabeledEdit4->setText(smaxBr);
  w().Button2->click();
  QCOMPARE(w().Table.RowCount(), 15);
  QCOMPARE(f().Stress.AppliedStressItem, 13);
  w().Button4->click();
  QCOMPARE(fileBytes(m_dir->filePath("Stress_DB.csv")), withUserItems());
}

void TestStressDbWindow::removeItem_data()
{
  QTest::addColumn<int>("selected");
  QTest::addColumn<int>("applied");
  QTest::addColumn<int>("rowsAfter");
  QTest::addColumn<int>("appliedAfter");
  QTest::addColumn<QString>("lawOf");  // the object whose law is in force after
  QTest::newRow("built-in row: nothing") << 5 << 5 << 15 << 5 << "Steel_20_flat";
  QTest::newRow("below the applied row") << 12 << 14 << 14 << 13 << "Pipe C";
  QTest::newRow("after the applied row") << 14 << 12 << 14 << 12 << "Pipe A";
  QTest::newRow("the applied row: row 1 applied") << 13 << 13 << 14 << 1 << "St_3_flat";
}

void TestStressDbWindow::removeItem()
{
  QFETCH(int, selected);
  QFETCH(int, applied);
  QFETCH(int, rowsAfter);
  QFETCH(int, appliedAfter);
  QFETCH(QString, lawOf);
  start(withUserItems(), applied);
  w().SelectRow(selected);
  w().Button3->click();
  QCOMPARE(w().Table.RowCount(), rowsAfter);
  QCOMPARE(f().Stress.AppliedStressItem, appliedAfter);
  QCOMPARE(w().Table.cell(appliedAfter, 0), lawOf);
  StressLaw want;
  QVERIFY(ApplyStressItem(w().Table, appliedAfter, &want, nullptr));
  QCOMPARE(f().Stress.StressZeroBr, want.StressZeroBr);
  QCOMPARE(f().Stress.StressSlope, want.StressSlope);
  QVERIFY(m_prompts->messages.isEmpty());
}

void TestStressDbWindow::withoutCurrentRowTheCommandsDoNothing()
{
  start(withUserItems(), 13);
  w().Button5->click();  // a reload leaves no current row
  QCOMPARE(w().CurrentRow(), -1);
  w().LabeledEdit1->setText(QStringLiteral("P"));
  w().LabeledEdit2->setText(QStringLiteral("0,5"));
  w().LabeledEdit3->setText(QStringLiteral("250"));
  w().LabeledEdit4->setText(QStringLiteral("2,25"));
  const StressLaw before = f().Stress;
  for (QPushButton* b : {w().Button1, w().Button2, w().Button3})
    b->click();
  QCOMPARE(w().Table.RowCount(), 15);
  QCOMPARE(f().Stress.AppliedStressItem, 13);
  QCOMPARE(f().Stress.StressSlope, before.StressSlope);
  QVERIFY(m_prompts->messages.isEmpty());
}

void TestStressDbWindow::saveWritesTheTable()
{
  start(DefaultFile, 1);
  w().SelectRow(11);
  w().LabeledEdit1->setText(QStringLiteral("Rail"));
  w().LabeledEdit2->setText(QStringLiteral("1,25"));
  w().LabeledEdit3->setText(QStringLiteral("1200"));
  w().LabeledEdit4->setText(QStringLiteral("3"));
  w().Button2->click();
  w().Button4->click();
  QVERIFY(m_prompts->messages.isEmpty());
  // No digit-group separator in Smax, the reals in their shortest form.
  QCOMPARE(fileBytes(m_dir->filePath("Stress_DB.csv")), DefaultFile + "Rail;1,25;1200;3;\r\n");
}

void TestStressDbWindow::saveFailureKeepsTheOldFile()
{
  start(withUserItems(), 1);
  for (int i = 0; i < 40; ++i) {
    w().SelectRow(12);
    w().LabeledEdit1->setText(QStringLiteral("A rather long object name %1").arg(i));
    w().Button2->click();
  }
  {
    const FileSizeLimit limit(withUserItems().size() + 16);
    w().Button4->click();
  }
  QCOMPARE(fileBytes(m_dir->filePath("Stress_DB.csv")), withUserItems());
  QCOMPARE(m_prompts->messages.size(), 1);
  const QString& text = m_prompts->messages[0];
  QVERIFY2(text.contains(m_dir->filePath("Stress_DB.csv")), qPrintable(text));
  QVERIFY2(text.contains(QStringLiteral("keeps its previous content")), qPrintable(text));
  QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).size() == 1);  // no temporary left
}

void TestStressDbWindow::reloadDiscardsEditsOrKeepsTheTable()
{
  const QString path = m_dir->filePath("Stress_DB.csv");
  start(withUserItems(), 1);
  w().SelectRow(14);
  w().Button3->click();
  QCOMPARE(w().Table.RowCount(), 14);
  w().Button5->click();
  QCOMPARE(objects(w().Table).mid(11), (QStringList{"Pipe A", "Pipe B", "Pipe C"}));

  // A file that cannot be read whole leaves the table as it was.
  w().SelectRow(14);
  w().Button3->click();
  QFile::remove(path);
  QVERIFY(QDir().mkdir(path));  // reading a folder fails after it opened
  w().Button5->click();
  QCOMPARE(objects(w().Table).mid(11), (QStringList{"Pipe A", "Pipe B"}));
  QCOMPARE(m_prompts->messages.size(), 1);
  QVERIFY2(m_prompts->messages[0].contains(path), qPrintable(m_prompts->messages[0]));
  QVERIFY(QDir().rmdir(path));

  putFile(path, QByteArray());
  w().Button5->click();
  QCOMPARE(w().Table.RowCount(), 14);
  QCOMPARE(m_prompts->messages.size(), 2);
  QVERIFY(m_prompts->messages[1].contains(QStringLiteral("holds no item")));
}

void TestStressDbWindow::markerIsPaintedInItsRowAndScrollsWithIt()
{
  QByteArray file = DefaultFile;
  for (int i = 12; i <= 60; ++i)
    file += QStringLiteral("Item %1;0,50;100;1,50;\r\n").arg(i).toLatin1();
  start(file, 40);
  f().Openstressdatabase1->trigger();
  QTableView* grid = w().StringGrid1;
  const QColor green(0, 255, 0);
  auto markerRows = [&] {
    // Rows whose first pixel column is the marker's green, in view order.
    QList<int> rows;
    const QImage shot = grid->viewport()->grab().toImage();
    for (int r = 1; r < w().Table.RowCount(); ++r) {
      const QRect cell = grid->visualRect(grid->model()->index(r, 0));
      if (cell.isValid() && cell.top() >= 0 && cell.bottom() < shot.height() &&
          QColor(shot.pixel(cell.left() + 1, cell.center().y())) == green)
        rows << r;
    }
    return rows;
  };
  QCOMPARE(markerRows(), QList<int>{40});  // opened on the applied item
  grid->scrollToTop();
  QCOMPARE(markerRows(), QList<int>{});  // gone with its row, not left at a fixed place
  grid->scrollTo(grid->model()->index(40, 0));
  QCOMPARE(markerRows(), QList<int>{40});
  w().SelectRow(20);
  w().Button2->click();  // a copy of row 20 inserted above the applied item
  QCOMPARE(f().Stress.AppliedStressItem, 41);
  grid->scrollTo(grid->model()->index(41, 0));
  QCOMPARE(markerRows(), QList<int>{41});
  w().close();
}

void TestStressDbWindow::failedApplyShowsTheRealMessageBox()
{
  QtPrompts real;
  TForm1 form(real, *m_clock);
  real.setOwner(&form);
  form.show();
  putFile(m_dir->filePath("Stress_DB.csv"), DefaultFile + "Flat;1,50;300;1,50;\r\n");
  TForm4 form4(&form);
  form.Form4 = &form4;
  form.Openstressdatabase1->trigger();
  form4.SelectRow(12);
  QString shown;
  bool boxEnabled = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
      return;
    shown = box->text();
    boxEnabled = box->isEnabled();
    box->button(QMessageBox::Ok)->click();
  });
  form4.Button1->click();
  QVERIFY2(shown.contains(QStringLiteral("gives no slope")), qPrintable(shown));
  QVERIFY(boxEnabled);  // usable although the main window is held disabled
  QCOMPARE(form.Stress.AppliedStressItem, 1);
  QVERIFY(form4.isVisible() && form4.isEnabled());
  form4.close();
  QVERIFY(form.isEnabled());
}

QTEST_MAIN(TestStressDbWindow)
#include "test_stress_db_window.moc"
