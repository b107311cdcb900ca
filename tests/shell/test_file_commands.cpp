// "Open file" and "Save..." of the main window, with scripted dialogs.

#include "charts/chart.h"
#include "shell/grid_view.h"
#include "data/measurement_file.h"
#include "common/clock.h"
#include "shell/main_window.h"
#include "common/program_folder.h"
#include "support/main_window_fixture.h"
#include "support/scripted_prompts.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include "support/test_files.h"

#include <memory>

using Answer = Prompts::Answer;
using Answers = QList<Answer>;
Q_DECLARE_METATYPE(Answers)

namespace {

const QString Fixtures = QStringLiteral(RZ37M_FIXTURES);

QByteArray countLines(int n, const char* br = "05,43")
{
  QByteArray out;
  for (int i = 0; i < n; ++i)
    out += countLine(i, br);
  return out;
}

QStringList column(const MeasurementGrid& g, int col)
{
  QStringList out;
  for (int r = 0; r < g.RowCount(); ++r)
    out << g.cell(r, col);
  return out;
}

}  // namespace

class TestFileCommands : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init();
  void cleanup();

  void opensAFileWrittenByHand();
  void cancelledOrMissingFileChangesNothing_data();
  void cancelledOrMissingFileChangesNothing();
  void badFileKeepsWhatTheUserHad_data();
  void badFileKeepsWhatTheUserHad();
  void savesAllDataUnderTheProposedName();
  void existingFileAsksFirst_data();
  void existingFileAsksFirst();
  void savesOnlyVisibleData_data();
  void savesOnlyVisibleData();
  void savesTheRecordOnDisplay();
  void failedSaveSaysWhereAndWhy();

 private:
  void open(const QString& path);
  QString dataFile(const QString& name) const { return m_dir->filePath("Data/" + name); }

  MainWindowFixture m_window{QDateTime(QDate(2026, 12, 7), QTime(10, 0))};
  ScriptedPrompts* const m_prompts = &m_window.prompts;
  std::unique_ptr<TForm1>& m_form = m_window.form;
  std::unique_ptr<QTemporaryDir>& m_dir = m_window.dir;
};

void TestFileCommands::init()
{
  m_window.startInNewFolder();
}

void TestFileCommands::cleanup()
{
  m_window.stop();
}

void TestFileCommands::open(const QString& path)
{
  m_prompts->openAnswers.enqueue(path);
  m_form->N12->trigger();
}

void TestFileCommands::opensAFileWrittenByHand()
{
  // Line feeds only, a dated line, a decimal point, both kinds of separator
  // and no line end after the last count: as a text editor leaves it.
  TForm1& f = *m_form;
  open(Fixtures + "/hand_written.csv");

  QCOMPARE(m_prompts->openRequests.size(), 1);
  QCOMPARE(m_prompts->openRequests[0].folder, m_dir->path() + "/Data");
  QVERIFY(QDir(m_dir->path() + "/Data").exists());
  QCOMPARE(m_prompts->openRequests[0].filter, QStringLiteral("Comma Separated Values Files|*.csv"));
  QVERIFY2(m_prompts->messages.isEmpty(), qPrintable(m_prompts->messages.join('\n')));

  QCOMPARE(column(f.Grid, 0),
           (QStringList{" Time", "", "1) 10:42:05", "2) 10:42:06", "3) 10:42:07", "", "5) 10:50:00",
                        "6) 10:50:01", "", "8) 11:02:30", "9) 11:02:31", "10) 11:02:32"}));
  QCOMPARE(column(f.Grid, 1), (QStringList{" Br, mT", "", "05,43", "05,61", "05,80", "", "06,12",
                                           "06,20", "", "04,98", "05,02", "05,07"}));
  QCOMPARE(f.State.RecordsCount, 3);
  QCOMPARE(f.StatusBar1->currentMessage(), QStringLiteral("hand_written.csv    Records count: 3"));
  QVERIFY(f.State.DataLoaded);
  QVERIFY(f.N13->isEnabled());
  QVERIFY(f.StringGrid1->isEnabled());
  QVERIFY(f.Grid.isRowHidden(1));
  QCOMPARE(f.StringGrid1->popupMenu(), f.PopupMenu1);
  QCOMPARE(f.State.SelectedPort, QStringLiteral("No port selected"));
}

void TestFileCommands::cancelledOrMissingFileChangesNothing_data()
{
  QTest::addColumn<bool>("cancel");
  QTest::newRow("dialog cancelled") << true;
  QTest::newRow("file does not exist") << false;
}

void TestFileCommands::cancelledOrMissingFileChangesNothing()
{
  QFETCH(bool, cancel);
  TForm1& f = *m_form;
  f.State.SelectedPort = QStringLiteral("/dev/ttyUSB0");
  if (cancel)
    m_prompts->openAnswers.enqueue(std::nullopt);
  else
    m_prompts->openAnswers.enqueue(m_dir->filePath("nowhere.csv"));
  f.N12->trigger();
  QVERIFY(m_prompts->messages.isEmpty());
  QVERIFY(f.Grid.isFileListHeader());
  QVERIFY(!f.State.DataLoaded);
  QVERIFY(!f.N13->isEnabled());
  QCOMPARE(f.State.SelectedPort, QStringLiteral("/dev/ttyUSB0"));
}

void TestFileCommands::badFileKeepsWhatTheUserHad_data()
{
  QTest::addColumn<QString>("path");
  QTest::addColumn<QStringList>("named");  // what the message must name
  QTest::newRow("bad line") << Fixtures + "/bad_line.csv"
                            << QStringList{"bad_line.csv", "line 4", "\"10:50:00;6,12\""};
  QTest::newRow("unreadable") << QStringLiteral("DIR")
                              << QStringList{"folder.csv could not be read", "directory"};
}

void TestFileCommands::badFileKeepsWhatTheUserHad()
{
  QFETCH(QString, path);
  QFETCH(QStringList, named);
  if (path == "DIR") {  // exists, but cannot be read as a file
    path = m_dir->filePath("folder.csv");
    QVERIFY(QDir().mkpath(path));
  }
  TForm1& f = *m_form;
  open(Fixtures + "/hand_written.csv");
  const QStringList before0 = column(f.Grid, 0);
  const QStringList before1 = column(f.Grid, 1);
  const QString status = f.StatusBar1->currentMessage();
  f.State.SelectedPort = QStringLiteral("/dev/ttyUSB0");  // an instrument link to keep

  open(path);
  QCOMPARE(m_prompts->messages.size(), 1);
  for (const QString& n : named)
    QVERIFY2(m_prompts->messages[0].contains(n), qPrintable(m_prompts->messages[0]));
  QCOMPARE(column(f.Grid, 0), before0);
  QCOMPARE(column(f.Grid, 1), before1);
  QCOMPARE(f.StatusBar1->currentMessage(), status);
  QCOMPARE(f.State.RecordsCount, 3);
  QVERIFY(f.State.DataLoaded);
  QCOMPARE(f.State.SelectedPort, QStringLiteral("/dev/ttyUSB0"));
}

void TestFileCommands::savesAllDataUnderTheProposedName()
{
  TForm1& f = *m_form;
  open(Fixtures + "/hand_written.csv");
  m_prompts->saveAnswers.enqueue(dataFile("data.txt"));
  f.N131->trigger();

  QCOMPARE(m_prompts->saveRequests.size(), 1);
  QCOMPARE(m_prompts->saveRequests[0].proposedName, QStringLiteral("07122026"));
  QCOMPARE(m_prompts->saveRequests[0].folder, m_dir->path() + "/Data");
  QCOMPARE(m_prompts->saveRequests[0].filter, QStringLiteral("Comma Separated Values Files|*.csv"));
  QVERIFY(!QFile::exists(dataFile("data.txt")));
  QCOMPARE(fileBytes(dataFile("data.txt.csv")),
           QByteArray("10:42:05;05,43\r\n10:42:06;05,61\r\n10:42:07;05,80\r\n              \r\n"
                      "10:50:00;06,12\r\n10:50:01;06,20\r\n              \r\n"
                      "11:02:30;04,98\r\n11:02:31;05,02\r\n11:02:32;05,07\r\n"));
  QVERIFY(m_prompts->questions.isEmpty());
  QVERIFY(m_prompts->messages.isEmpty());
}

void TestFileCommands::existingFileAsksFirst_data()
{
  QTest::addColumn<Answers>("answers");
  QTest::addColumn<int>("recordsInOld");   // records of old.csv afterwards; 0: unchanged
  QTest::addColumn<bool>("savedToOther");  // written to other.csv instead
  QTest::addColumn<QString>("message");
  QTest::newRow("Yes appends") << Answers{Answer::Yes} << 4 << false << QString();
  QTest::newRow("No rewrites") << Answers{Answer::No} << 3 << false << QString();
  QTest::newRow("Retry asks again") << Answers{Answer::Retry} << 0 << true << QString();
  QTest::newRow("closed saves nothing")
      << Answers{Answer::Closed} << 0 << false << "File old.csv did not saved";
}

void TestFileCommands::existingFileAsksFirst()
{
  QFETCH(Answers, answers);
  QFETCH(int, recordsInOld);
  QFETCH(bool, savedToOther);
  QFETCH(QString, message);
  TForm1& f = *m_form;
  open(Fixtures + "/hand_written.csv");
  const QByteArray old = countLines(4, "01,00");
  putFile(dataFile("old.csv"), old);
  m_prompts->saveAnswers.enqueue(dataFile("old"));  // ".csv" is added, then it exists
  if (savedToOther)
    m_prompts->saveAnswers.enqueue(dataFile("other.csv"));
  m_prompts->questionAnswers.append(answers);
  f.N131->trigger();

  QCOMPARE(m_prompts->questions.size(), 1);
  const ScriptedPrompts::Question& q = m_prompts->questions[0];
  QCOMPARE(q.caption, QStringLiteral("Saving..."));
  QCOMPARE(q.text, appendQuestionText(QStringLiteral("old.csv")));
  QCOMPARE(q.buttons, (Answers{Answer::Yes, Answer::No, Answer::Retry}));
  QCOMPARE(q.defaultButton, Answer::Yes);
  QCOMPARE(q.height, 210);
  QCOMPARE(m_prompts->messages, message.isEmpty() ? QStringList() : QStringList{message});

  const QByteArray saved = measurementLines(f.Grid, 2, f.Grid.RowCount() - 1);
  if (recordsInOld == 0) {
    QCOMPARE(fileBytes(dataFile("old.csv")), old);
  } else {
    MeasurementGrid back;
    auto rows = readMeasurementFile(dataFile("old.csv"), nullptr);
    QVERIFY(rows.has_value());
    back.replaceRows(*rows);
    QCOMPARE(back.countRecords(), recordsInOld);
    QVERIFY(fileBytes(dataFile("old.csv")).endsWith(saved));
  }
  if (savedToOther) {
    QCOMPARE(m_prompts->saveRequests.size(), 2);
    QCOMPARE(m_prompts->saveRequests[1].proposedName, QStringLiteral("old.csv"));
    QCOMPARE(m_prompts->saveRequests[1].folder, m_dir->path() + "/Data");
    QCOMPARE(fileBytes(dataFile("other.csv")), saved);
  }
}

void TestFileCommands::savesOnlyVisibleData_data()
{
  QTest::addColumn<double>("axisMin");
  QTest::addColumn<double>("axisMax");
  QTest::addColumn<bool>("mapView");
  QTest::addColumn<int>("firstCount");
  QTest::addColumn<int>("lastCount");
  // 39 counts: RowCount 41, count numbers 1..39.
  QTest::newRow("whole axis 0..100") << 0.0 << 100.0 << false << 1 << 39;
  QTest::newRow("stretched 10..20") << 10.0 << 20.0 << false << 10 << 20;
  QTest::newRow("halves to even") << 10.5 << 20.5 << false << 10 << 20;
  QTest::newRow("in a map view, all") << 10.0 << 20.0 << true << 1 << 39;
}

void TestFileCommands::savesOnlyVisibleData()
{
  QFETCH(double, axisMin);
  QFETCH(double, axisMax);
  QFETCH(bool, mapView);
  QFETCH(int, firstCount);
  QFETCH(int, lastCount);
  TForm1& f = *m_form;
  ProgramFolder::dataFolder();
  putFile(dataFile("counts.csv"), countLines(39));
  open(dataFile("counts.csv"));
  QCOMPARE(f.Grid.RowCount(), 41);
  f.Chart1->bottomAxis().setRange(axisMin, axisMax);
  if (mapView)
    f.N23->setChecked(true);
  m_prompts->saveAnswers.enqueue(dataFile("visible.csv"));
  f.N132->trigger();
  QCOMPARE(fileBytes(dataFile("visible.csv")),
           measurementLines(f.Grid, firstCount + 1, lastCount + 1));
  QCOMPARE(fileBytes(dataFile("visible.csv")).count('\n'), lastCount - firstCount + 1);
}

// With "Arrange by record" on, the visible data are the rows of the record shown.
void TestFileCommands::savesTheRecordOnDisplay()
{
  TForm1& f = *m_form;
  open(Fixtures + "/hand_written.csv");
  f.N35->trigger();
  f.ScrollBar7->setValue(2);
  m_prompts->saveAnswers.enqueue(dataFile("record2.csv"));
  f.N132->trigger();
  QCOMPARE(fileBytes(dataFile("record2.csv")), QByteArray("10:50:00;06,12\r\n10:50:01;06,20\r\n"));
}

void TestFileCommands::failedSaveSaysWhereAndWhy()
{
  TForm1& f = *m_form;
  open(Fixtures + "/hand_written.csv");
  const QString path = m_dir->filePath("gone/away.csv");
  m_prompts->saveAnswers.enqueue(path);
  f.N131->trigger();
  QCOMPARE(m_prompts->messages.size(), 1);
  QVERIFY2(m_prompts->messages[0].contains(path), qPrintable(m_prompts->messages[0]));
  QVERIFY2(m_prompts->messages[0].contains("No such file or directory"),
           qPrintable(m_prompts->messages[0]));
  QVERIFY(!QFile::exists(path));
  QVERIFY(f.State.DataLoaded);
}

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
