#include "charts/chart.h"
#include "common/clock.h"
#include "common/profile_settings.h"
#include "common/program_folder.h"
#include "shell/main_window.h"
#include "shell/panel.h"
#include "shell/stress_db_window.h"
#include "support/scripted_prompts.h"
#include "support/test_files.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray installedFile(const QString& db)
{
  return "[Polar]\r\nGeneral=16711680\r\nMean=255\r\n[Surface]\r\nHigh=65535\r\nLow=16711680\r\n"
         "Mid=255\r\n[View]\r\nPage=1\r\nMean=0\r\nPoints=1\r\nPages=1\r\nFull=0\r\n"
         "Transpose=1\r\nApproximate=0\r\nGrid3D=1\r\nSmooth3D=1\r\nTransparent3D=0\r\nDB=" +
         db.toUtf8() + "\r\nX=17\r\nY=5\r\ndX=1\r\ndY=2\r\nCvtToStress=0\r\nStressDBItem=7\r\n";
}

}  // namespace

// The settings as the start-up applies them to the window and the close writes
// them: the window, the stress database window and Config.ini in a temporary
// program folder.
class TestSettingsWindow : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init();
  void cleanup();

  void startWithoutFile();
  void installedValuesComeBackUnchanged();
  void storedChoicesAreClicked();
  void badValuesStartWithDefaults();
  void unusableStressItemAppliesRowOne();
  void closeWritesWhatIsInForce();
  void failedWriteKeepsTheOldFile();

 private:
  void start(const QByteArray& config);
  QString configPath() const { return m_dir->filePath(QStringLiteral("Config.ini")); }
  QString dataFolder() const { return m_dir->path() + QStringLiteral("/Data/"); }

  std::unique_ptr<QTemporaryDir> m_dir;
  ScriptedPrompts m_prompts;
  FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
  std::unique_ptr<TForm1> m_form;
};

void TestSettingsWindow::init()
{
  m_dir = std::make_unique<QTemporaryDir>();
  QVERIFY(m_dir->isValid());
  ProgramFolder::setOverride(m_dir->path());
  QDir().mkpath(dataFolder());
  m_prompts = ScriptedPrompts();
}

void TestSettingsWindow::cleanup()
{
  m_form.reset();
  ProgramFolder::setOverride({});
}

// The start-up's order: the main window, the stress database window, then the
// settings; an empty config means no file.
void TestSettingsWindow::start(const QByteArray& config)
{
  if (!config.isEmpty())
    putFile(configPath(), config);
  m_form = std::make_unique<TForm1>(m_prompts, m_clock);
  m_form->show();
  m_form->Form4 = new TForm4(m_form.get());
  m_form->ApplySettingsFile();
}

void TestSettingsWindow::startWithoutFile()
{
  start({});
  TForm1& f = *m_form;
  QVERIFY(f.N21->isChecked());
  QVERIFY(f.N31->isChecked());
  for (QAction* a : {f.N32, f.N35, f.N33, f.Converttostress1, f.N3D1, f.G1, f.N8, f.N34})
    QVERIFY2(!a->isChecked(), qPrintable(a->text()));
  QCOMPARE(f.Panel8->color(), 0xFF0000u);  // blue
  QCOMPARE(f.Panel9->color(), 0x0000FFu);  // red
  QCOMPARE(f.LinearSeries(1)->pointerFill(), QColor(Qt::blue));
  QCOMPARE(f.Stress.AppliedStressItem, 1);
  QVERIFY(!f.isMaximized());
  QVERIFY(!QFile::exists(configPath()));

  f.close();
  QCOMPARE(fileBytes(configPath()),
           "[Polar]\r\nGeneral=16711680\r\nMean=255\r\n[Surface]\r\nHigh=65535\r\nLow=16711680\r\n"
           "Mid=255\r\n[View]\r\nPage=1\r\nMean=0\r\nPoints=1\r\nPages=0\r\nFull=0\r\n"
           "Transpose=0\r\nApproximate=0\r\nGrid3D=0\r\nSmooth3D=0\r\nTransparent3D=0\r\nDB=" +
               dataFolder().toUtf8() +
               "\r\nX=10\r\nY=5\r\ndX=1\r\ndY=1\r\nCvtToStress=0\r\nStressDBItem=1\r\n");
  QVERIFY(m_prompts.messages.isEmpty());
}

void TestSettingsWindow::installedValuesComeBackUnchanged()
{
  start(installedFile(dataFolder()));
  TForm1& f = *m_form;
  QVERIFY(f.N34->isChecked());
  QVERIFY(f.N35->isChecked());
  QVERIFY(f.Panel21->isVisible());  // "Arrange by record" was clicked, not just checked
  QVERIFY(f.N3D1->isChecked());
  QVERIFY(f.N8->isChecked());
  QVERIFY(!f.G1->isChecked());
  QCOMPARE(f.Stress.AppliedStressItem, 7);
  QCOMPARE(f.OpenDialog1InitialDir, dataFolder());
  QCOMPARE(f.SaveDialog1InitialDir, dataFolder());
  f.close();
  QCOMPARE(fileBytes(configPath()), installedFile(dataFolder()));
}

void TestSettingsWindow::storedChoicesAreClicked()
{
  start("[polar]\nGeneral = 255\nmean=65280\n[VIEW]\nPage=5\nPoints=0\nMean=1\nCvtToStress=1\n"
        "Approximate=1\nTransparent3D=1\nFull=1\n");
  TForm1& f = *m_form;
  QVERIFY(f.N25->isChecked());
  QVERIFY(!f.N21->isChecked());
  QVERIFY(!f.N31->isChecked());
  QVERIFY(!f.LinearSeries(1)->isActive());  // the dots went with the check mark
  QVERIFY(f.N32->isChecked());
  QVERIFY(f.LinearSeries(3)->isActive());
  QVERIFY(f.Converttostress1->isChecked());
  QCOMPARE(f.Chart1->titleText(), QStringLiteral("         S, MPa"));
  QVERIFY(f.N33->isChecked());
  QVERIFY(f.G1->isChecked());
  QVERIFY(f.isMaximized() || (f.windowState() & Qt::WindowMaximized));
  QCOMPARE(f.Panel8->color(), 255u);
  QCOMPARE(f.LinearSeries(1)->pointerFill(), QColor(Qt::red));
  QCOMPARE(f.Panel9->color(), 65280u);
  QCOMPARE(f.LinearSeries(3)->color(), QColor(Qt::green));

  f.close();
  const ProfileSettings s = ReadProfileSettings(Profile::read(configPath()), QString());
  QCOMPARE(s.Page, 5);
  QVERIFY(!s.Points && s.Mean && s.CvtToStress && s.Approximate && s.Transparent3D && s.Full);
  QCOMPARE(s.General, 255u);
  QCOMPARE(s.PolarMean, 65280u);
}

void TestSettingsWindow::badValuesStartWithDefaults()
{
  start("[Polar]\r\nGeneral=16777216\r\nMean=red\r\n[View]\r\nPage=9\r\nPoints=no\r\nFull=1x\r\n"
        "Pages=4294967297\r\nDB=C:\\Program Files\\RZ-37m\\Data\\\r\nStressDBItem=seven\r\n");
  TForm1& f = *m_form;
  QVERIFY(f.N21->isChecked());
  QVERIFY(f.N31->isChecked());
  QVERIFY(!f.N35->isChecked());
  QVERIFY(!f.isMaximized());
  QCOMPARE(f.Panel8->color(), 0xFF0000u);
  QCOMPARE(f.Panel9->color(), 0x0000FFu);
  QCOMPARE(f.OpenDialog1InitialDir, dataFolder());
  QCOMPARE(f.Stress.AppliedStressItem, 1);
  f.close();
  const QByteArray written = fileBytes(configPath());
  QVERIFY(written.contains("\r\nPage=1\r\n"));
  QVERIFY(written.contains("\r\nDB=" + dataFolder().toUtf8() + "\r\n"));
}

void TestSettingsWindow::unusableStressItemAppliesRowOne()
{
  // Row 2 of this table does not convert; row 40 is not in it.
  putFile(m_dir->filePath(QStringLiteral("Stress_DB.csv")),
          "Steel A;1,00;100;2,00;\r\nBroken;1,00;x;2,00;\r\n");
  for (const QByteArray& item : {QByteArray("2"), QByteArray("40")}) {
    start("[View]\r\nStressDBItem=" + item + "\r\n");
    QCOMPARE(m_form->Stress.AppliedStressItem, 1);
    QCOMPARE(m_form->Stress.StressSlope, 100.0);
    m_form->close();
    QVERIFY(fileBytes(configPath()).contains("\r\nStressDBItem=1\r\n"));
    m_form.reset();
  }
}

void TestSettingsWindow::closeWritesWhatIsInForce()
{
  start(installedFile(dataFolder()));
  TForm1& f = *m_form;
  f.N35->trigger();  // off again
  f.N22->trigger();
  f.showMaximized();
  f.OpenDialog1InitialDir = m_dir->path();  // a folder without the trailing "/"
  f.close();
  const ProfileSettings s = ReadProfileSettings(Profile::read(configPath()), QString());
  QVERIFY(!s.Pages);
  QCOMPARE(s.Page, 2);
  QVERIFY(s.Full);
  QCOMPARE(s.DB, m_dir->path() + u'/');
  QCOMPARE(s.X, 17);  // kept as read
  QCOMPARE(s.dY, 2);
}

void TestSettingsWindow::failedWriteKeepsTheOldFile()
{
  const QByteArray old = installedFile(dataFolder());
  start(old);
  m_form->N31->trigger();
  {
    const FileSizeLimit limit(64);
    m_form->close();
  }
  QCOMPARE(fileBytes(configPath()), old);
  QCOMPARE(m_prompts.messages.size(), 1);
  QVERIFY2(m_prompts.messages[0].contains(configPath()), qPrintable(m_prompts.messages[0]));
  QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).filter("Config").size(), 1);
}

QTEST_MAIN(TestSettingsWindow)
#include "test_settings_window.moc"
