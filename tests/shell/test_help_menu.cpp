// The Help menu: the three manuals beside the program, and the About window,
// which holds the main window until it is closed, however it closes.

#include "common/clock.h"
#include "common/program_folder.h"
#include "shell/about_window.h"
#include "shell/main_window.h"
#include "support/scripted_prompts.h"
#include "support/test_files.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

// Stands in for the desktop's viewer: records what it was asked to open.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public Q_SLOTS:
  void open(const QUrl& url) { opened << url; }
};

class TestHelpMenu : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void init();
  void cleanup();

  void manualOpensInTheViewer_data();
  void manualOpensInTheViewer();
  void aboutGivesTheMainWindowBack_data();
  void aboutGivesTheMainWindowBack();

 private:
  std::unique_ptr<QTemporaryDir> m_dir;
  ScriptedPrompts m_prompts;
  FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
  std::unique_ptr<TForm1> m_form;
  UrlRecorder m_viewer;
};

void TestHelpMenu::init()
{
  m_dir = std::make_unique<QTemporaryDir>();
  ProgramFolder::setOverride(m_dir->path());
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_viewer, "open");
  m_form = std::make_unique<TForm1>(m_prompts, m_clock);
  m_form->show();
}

void TestHelpMenu::cleanup()
{
  m_form.reset();
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
  m_viewer.opened.clear();
  m_prompts.messages.clear();
  ProgramFolder::setOverride({});
  m_dir.reset();
}

void TestHelpMenu::manualOpensInTheViewer_data()
{
  QTest::addColumn<int>("item");
  QTest::addColumn<QString>("file");
  QTest::addColumn<bool>("present");
  const QStringList files = {"EN_Program_manual.pdf", "EN_RZ-37m_manual.pdf",
                             "EN_RZ-48_manual.pdf"};
  for (int i = 0; i < 3; ++i) {
    QTest::addRow("N4%d present", i + 1) << i << files[i] << true;
    QTest::addRow("N4%d missing", i + 1) << i << files[i] << false;
  }
}

void TestHelpMenu::manualOpensInTheViewer()
{
  QFETCH(int, item);
  QFETCH(QString, file);
  QFETCH(bool, present);
  const QString path = m_dir->filePath(file);
  if (present)
    putFile(path, "%PDF-1.4\n");
  QAction* items[] = {m_form->N41, m_form->N42, m_form->N43};
  items[item]->trigger();
  if (present) {
    QCOMPARE(m_viewer.opened, QList<QUrl>{QUrl::fromLocalFile(path)});
    QVERIFY(m_prompts.messages.isEmpty());
  } else {
    QVERIFY(m_viewer.opened.isEmpty());
    QCOMPARE(m_prompts.messages.size(), 1);
    QVERIFY2(m_prompts.messages[0].contains(path), qPrintable(m_prompts.messages[0]));
  }
  QVERIFY(m_form->isEnabled());
}

void TestHelpMenu::aboutGivesTheMainWindowBack_data()
{
  QTest::addColumn<QString>("how");
  QTest::newRow("Escape") << "escape";
  QTest::newRow("close box") << "close";
  QTest::newRow("window manager") << "wm";
  QTest::newRow("hidden by the program") << "hide";
}

void TestHelpMenu::aboutGivesTheMainWindowBack()
{
  QFETCH(QString, how);
  TForm1& f = *m_form;
  TForm2 about;
  about.restyleAsAbout();
  f.About = &about;
  for (int round = 0; round < 2; ++round) {  // the window is kept and shown again
    f.N44->trigger();
    QVERIFY(about.isVisible());
    QVERIFY(!f.isEnabled());
    if (how == "escape") {
      QTest::keyClick(&about, Qt::Key_Escape);
    } else if (how == "close") {
      about.close();
    } else if (how == "wm") {
      QCloseEvent byTheWindowManager;
      QApplication::sendEvent(about.windowHandle(), &byTheWindowManager);
    } else {
      about.hide();
    }
    QVERIFY(!about.isVisible());
    QVERIFY(f.isEnabled());
  }
  f.About = nullptr;
}

QTEST_MAIN(TestHelpMenu)
#include "test_help_menu.moc"
