// The Math options of the main window and the stress table at start.

#include "shell/stress_db_window.h"
#include "charts/chart.h"
#include "common/clock.h"
#include "shell/main_window.h"
#include "common/program_folder.h"
#include "support/scripted_prompts.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include "support/test_files.h"

#include <cmath>
#include <memory>

namespace {

// The y values of the linear chart's dots.
QVector<double> dots(const TForm1& f)
{
  QVector<double> ys;
  if (ChartSeries* s = f.Chart1->series(1))
    for (int i = 0; i < s->count(); ++i)
      ys << s->y(i);
  return ys;
}

void compareValues(const QVector<double>& got, const QVector<double>& want)
{
  QCOMPARE(got.size(), want.size());
  for (int i = 0; i < got.size(); ++i)
    QVERIFY2(std::fabs(got[i] - want[i]) < 1e-9,
             qPrintable(QStringLiteral("dot %1: %2, expected %3").arg(i).arg(got[i]).arg(want[i])));
}

}  // namespace

class TestStressCommands : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init();
  void cleanup();

  void convertWithoutDataSwitchesOnlyTheTitle();
  void stressTableAtStart_data();
  void stressTableAtStart();
  void optionsRedrawTheLoadedData();
  void stressModeRewritesTheStatisticsLabel();

 private:
  std::unique_ptr<QTemporaryDir> m_dir;
  std::unique_ptr<ScriptedPrompts> m_prompts;
  std::unique_ptr<FixedClock> m_clock;
  std::unique_ptr<TForm1> m_form;
};

void TestStressCommands::init()
{
  m_dir = std::make_unique<QTemporaryDir>();
  ProgramFolder::setOverride(m_dir->path());
  m_prompts = std::make_unique<ScriptedPrompts>();
  m_clock = std::make_unique<FixedClock>(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
  m_form = std::make_unique<TForm1>(*m_prompts, *m_clock);
}

void TestStressCommands::cleanup()
{
  m_form.reset();
  ProgramFolder::setOverride({});
  m_dir.reset();
}

void TestStressCommands::convertWithoutDataSwitchesOnlyTheTitle()
{
  TForm1& f = *m_form;
  f.Converttostress1->trigger();
  QVERIFY(f.Converttostress1->isChecked());
  QCOMPARE(f.Chart1->titleText(), QStringLiteral("         S, MPa"));
  f.Converttostress1->trigger();
  QVERIFY(!f.Converttostress1->isChecked());
  QCOMPARE(f.Chart1->titleText(), QStringLiteral("         Br, mT"));
  f.N33->trigger();
  QVERIFY(f.N33->isChecked());
  QVERIFY(f.Grid.isFileListHeader());
  QVERIFY(!f.State.DataLoaded);
  QVERIFY(m_prompts->messages.isEmpty());
}

void TestStressCommands::stressTableAtStart_data()
{
  QTest::addColumn<QByteArray>("file");  // "<unreadable>": no file
  QTest::addColumn<int>("storedItem");
  QTest::addColumn<int>("items");
  QTest::addColumn<int>("applied");
  QTest::addColumn<QString>("note");  // part of the status bar text; "" for none

  const QByteArray withUserItem =
      fileBytes(RZ37M_BIN_DIR "/Stress_DB.csv") + "Pipe 12;0,80;300;2,30;\r\n";
  QTest::newRow("file with a user item") << withUserItem << 12 << 12 << 12 << QString();
  QTest::newRow("file missing") << QByteArray("<unreadable>") << 1 << 11 << 1
                                << "the built-in stress items are used";
  QTest::newRow("file empty") << QByteArray() << 1 << 11 << 1 << "holds no item";
  QTest::newRow("stored item beyond the table")
      << withUserItem << 30 << 12 << 1 << "The stored stress item 30";
}

void TestStressCommands::stressTableAtStart()
{
  QFETCH(QByteArray, file);
  QFETCH(int, storedItem);
  QFETCH(int, items);
  QFETCH(int, applied);
  QFETCH(QString, note);
  const QString path = m_dir->filePath("Stress_DB.csv");
  if (file != "<unreadable>")
    putFile(path, file);
  TForm1& f = *m_form;
  f.Stress.AppliedStressItem = storedItem;

  TForm4 form4(&f);
  QCOMPARE(form4.Table.RowCount(), items + 1);
  QCOMPARE(f.Stress.AppliedStressItem, applied);
  StressLaw expected;
  QVERIFY(ApplyStressItem(form4.Table, applied, &expected, nullptr));
  QCOMPARE(f.Stress.StressSlope, expected.StressSlope);
  QCOMPARE(f.Stress.StressZeroBr, expected.StressZeroBr);
  if (note.isEmpty()) {
    QCOMPARE(form4.startNote(), QString());
  } else {
    QVERIFY2(form4.startNote().contains(note), qPrintable(form4.startNote()));
    QCOMPARE(f.StatusBar1->currentMessage(), form4.startNote());
  }
  // Nothing is written at start, whatever was found.
  QCOMPARE(fileBytes(path), file);
  QVERIFY(m_prompts->messages.isEmpty());
}

void TestStressCommands::optionsRedrawTheLoadedData()
{
  // A ramp and a record of three counts; St_3_flat gives 350 MPa per 1,38 mT.
  TForm1& f = *m_form;
  TForm4 form4(&f);
  const QString path = m_dir->filePath("ramp.csv");
  putFile(path,
          "10:00:00;01,00\r\n10:00:01;01,10\r\n10:00:02;01,20\r\n10:00:03;01,30\r\n"
          "10:00:04;01,40\r\n\r\n10:00:06;01,00\r\n10:00:07;01,50\r\n10:00:08;01,20\r\n");
  f.LoadMeasurementFile(path);
  QVERIFY(f.State.DataLoaded);
  const QVector<double> raw = {1.0, 1.1, 1.2, 1.3, 1.4, 1.0, 1.5, 1.2};
  const QVector<double> flat = {1.2, 1.2, 1.2, 1.2, 1.2, 1.0, 1.5, 1.2};
  auto mpa = [](QVector<double> v) {
    for (double& x : v)
      x = (x - 0.62) * 350 / (2.00 - 0.62);
    return v;
  };
  compareValues(dots(f), raw);

  f.N33->trigger();
  compareValues(dots(f), flat);
  f.Converttostress1->trigger();
  compareValues(dots(f), mpa(flat));
  QCOMPARE(f.Chart1->titleText(), QStringLiteral("         S, MPa"));
  f.N33->trigger();
  compareValues(dots(f), mpa(raw));
  f.Converttostress1->trigger();
  compareValues(dots(f), raw);
  QCOMPARE(f.Grid.cell(3, 1), QStringLiteral("01,10"));  // the grid never changes
}

void TestStressCommands::stressModeRewritesTheStatisticsLabel()
{
  // An MPa label over an mT chart (or the reverse) misreads every figure.
  TForm1& f = *m_form;
  TForm4 form4(&f);
  const QString path = m_dir->filePath("two.csv");
  putFile(path, "10:00:00;01,00\r\n10:00:01;02,00\r\n");
  f.LoadMeasurementFile(path);
  QCOMPARE(f.Label2->text(), QStringLiteral("Br max =2,00 mT \nBr avg =1,50 mT \nBr min =1,00 mT "));
  f.Converttostress1->trigger();
  // St_3_flat: (Br - 0,62) * 350 / 1,38.
  QCOMPARE(f.Label2->text(),
           QStringLiteral("S max =350,0 MPa \nS avg =223,2 MPa \nS min =96,4 MPa "));
  f.Converttostress1->trigger();
  QCOMPARE(f.Label2->text(), QStringLiteral("Br max =2,00 mT \nBr avg =1,50 mT \nBr min =1,00 mT "));
}

QTEST_MAIN(TestStressCommands)
#include "test_stress_commands.moc"
