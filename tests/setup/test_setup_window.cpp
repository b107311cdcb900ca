// The wizard on the offscreen platform: pages and buttons, the folder check,
// installing, the finish actions, removal and its refusal.

#include "install_checks.h"
#include "registry.h"
#include "setup_fixture.h"
#include "setup_messages.h"
#include "setup_pictures.h"
#include "setup_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStorageInfo>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

class RecordingShell : public SetupShell {
 public:
  QStringList messages;
  QStringList launched;
  QStringList opened;
  void message(const QString& text, bool) override { messages << text; }
  bool launch(const QString& program) override
  {
    launched << program;
    return true;
  }
  bool open(const QString& path) override
  {
    opened << path;
    return true;
  }
};

SetupContext contextFor(const SetupRoot& r, const Payload& payload = smallPayload())
{
  SetupContext c;
  c.paths = r.paths;
  c.payload = payload;
  c.selfExecutable = r.self;
  c.screen = {1280, 1024, 24};
  c.pauseScale = 0;
  return c;
}

// Holds the program's single-instance lock as a running program does.
class RunningProgram {
 public:
  explicit RunningProgram(const SetupPaths& paths)
  {
    QDir().mkpath(paths.runtimeDir);
    m_fd = ::open(QFile::encodeName(paths.programLockFile()).constData(), O_RDWR | O_CREAT, 0600);
    ::flock(m_fd, LOCK_EX);
  }
  ~RunningProgram() { ::close(m_fd); }

 private:
  int m_fd = -1;
};

void installThrough(TForm1& form)
{
  form.StepForwardBtnClick();
  form.StepForwardBtnClick();
}

}  // namespace

class TestSetupWindow : public QObject {
  Q_OBJECT

 private slots:
  void welcomeAndFolderPagesAndBack()
  {
    SetupRoot r;
    RecordingShell shell;
    TForm1 form(contextFor(r), shell);
    QCOMPARE(form.windowTitle(), QStringLiteral("RZ-37m connect software installer"));
    QCOMPARE(form.size(), QSize(615, 230));
    QVERIFY(!form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(form.InstructionsLabel->text().startsWith(
        QStringLiteral("Welcome to RZ-37m connect software installer!\n\nPress Next")));
    QVERIFY(form.InstructionsLabel->text().endsWith(QStringLiteral("About computer:")));
    QCOMPARE(form.Memo1->toPlainText(), QStringLiteral("Video adapter: 1024x1280 [24 bit]"));
    QCOMPARE(form.StepLabel->text(), QStringLiteral("NORVANE"));
    QVERIFY(form.StepBackwardBtn->isHidden());
    QVERIFY(!form.ExitBtn->isHidden());
    QVERIFY(form.StepForwardBtn->isEnabled());

    form.StepForwardBtn->click();
    QCOMPARE(form.StepControl->currentIndex(), 1);
    QCOMPARE(form.StepLabel->text(), QStringLiteral("Choose install directory"));
    QVERIFY(form.ExitBtn->isHidden());
    QVERIFY(!form.StepBackwardBtn->isHidden());
    QCOMPARE(form.StepForwardBtn->text(), QStringLiteral("Install"));
    QCOMPARE(form.InstallDirLabel->text(),
             QStringLiteral("RZ-37m connect software will be installed by following path: \n") +
                 r.app());
    QCOMPARE(form.InstallDriveComboBox->currentText(), QStorageInfo(r.dir.path()).rootPath());

    form.StepBackwardBtn->click();
    QCOMPARE(form.StepControl->currentIndex(), 0);
    QCOMPARE(form.StepForwardBtn->text(), QStringLiteral("Next >"));
    QVERIFY(!form.ExitBtn->isHidden());
    QVERIFY(form.StepBackwardBtn->isHidden());
    form.show();
    QVERIFY(form.close());  // taken as "Exit" on the welcome page
    QCOMPARE(form.exitCode(), 0);
  }

  void tooLittleSpaceDisablesInstall()
  {
    SetupRoot r;
    RecordingShell shell;
    SetupContext c = contextFor(r);
    const QStorageInfo storage(r.dir.path());
    c.requiredBytes = storage.bytesAvailable() * 2 + 1024LL * 1024 * 1024;
    TForm1 form(c, shell);
    form.StepForwardBtnClick();
    QCOMPARE(form.InstallDirLabel->text(),
             QStringLiteral("Not enough place in disk ") + storage.rootPath());
    QCOMPARE(form.InstallDirLabel->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY(!form.StepForwardBtn->isEnabled());
    form.setInstallFolder(r.dir.path() + QStringLiteral("/with\ttab"));
    QVERIFY(!form.StepForwardBtn->isEnabled());
  }

  void missingLibrariesKeepNextDisabled()
  {
    SetupRoot r;
    RecordingShell shell;
    Payload p = smallPayload();
    p.entries << PayloadEntry{LibraryListEntry, 0644,
                              "libc.so.6\tlibc6\nlibrz-missing.so.9\tlibrz-missing9\n"};
    TForm1 form(contextFor(r, p), shell);
    QVERIFY(form.Memo1->toPlainText().contains(QStringLiteral("librz-missing.so.9")));
    QVERIFY(
        form.Memo1->toPlainText().contains(QStringLiteral("sudo apt-get install librz-missing9")));
    QVERIFY(!form.Memo1->toPlainText().contains(QStringLiteral("libc.so.6")));
    QVERIFY(!form.StepForwardBtn->isEnabled());
  }

  void unreadableVolumeFlashesTheBoxAndDisablesInstall()
  {
    SetupRoot r;
    RecordingShell shell;
    TForm1 form(contextFor(r), shell);
    form.StepForwardBtnClick();
    QVERIFY(form.StepForwardBtn->isEnabled());
    form.InstallDriveComboBox->addItem(r.dir.path() + QStringLiteral("/no-such-volume"));
    form.InstallDriveComboBox->setCurrentIndex(form.InstallDriveComboBox->count() - 1);
    form.InstallDriveComboBoxChange();
    QVERIFY(!form.StepForwardBtn->isEnabled());
    QCOMPARE(form.InstallDriveComboBox->styleSheet(), QString());  // white again after the flashes
    QCOMPARE(form.installFolder(), r.installFolder());
  }

  void installsAndRunsTheFinishActions()
  {
    SetupRoot r;
    RecordingShell shell;
    TForm1 form(contextFor(r), shell);
    form.show();
    installThrough(form);
    QCOMPARE(form.StepControl->currentIndex(), 3);
    QCOMPARE(form.StepLabel->text(), QStringLiteral("Finish"));
    QCOMPARE(form.FinalLabel->text(),
             QStringLiteral("RZ-37m connect software successfully installed."));
    QVERIFY(!form.EndBtn->isHidden());
    QVERIFY(form.ExitBtn->isHidden() && form.StepBackwardBtn->isHidden() &&
            form.FilenamesLabel->isHidden());
    QCOMPARE(form.FilesProgressBar->value(), form.FilesProgressBar->maximum());
    QVERIFY(InstallRegistry(r.paths.registryFolder()).installed());
    QVERIFY(shell.messages.isEmpty());
    // No close box: the window manager's close is ignored where "Exit" is not offered.
    QVERIFY(!form.close());
    QVERIFY(form.isVisible());
    form.CheckBox1->setChecked(true);
    form.CheckBox2->setChecked(true);
    form.CheckBox3->setChecked(true);
    form.EndBtn->click();
    QVERIFY(QFileInfo::exists(r.paths.desktopDir + QStringLiteral("/RZ-37m connect.desktop")));
    QCOMPARE(shell.launched, QStringList{r.app() + QStringLiteral("/RZ-37m")});
    QCOMPARE(shell.opened, QStringList{r.app() + QStringLiteral("/EN_Program_manual.pdf")});
    QVERIFY(!form.isVisible());
  }

  void failedInstallReturnsToTheFolderPage()
  {
    SetupRoot r;
    QVERIFY(QDir().mkpath(r.paths.configHome + QStringLiteral("/Norvane")));
    putFile(r.paths.registryFolder(), "in the way");
    RecordingShell shell;
    TForm1 form(contextFor(r), shell);
    installThrough(form);
    QCOMPARE(shell.messages.size(), 1);
    QVERIFY(shell.messages[0].contains(r.paths.registryFolder()));
    QVERIFY(shell.messages[0].contains(QStringLiteral("nothing was installed")));
    QCOMPARE(form.StepControl->currentIndex(), 1);
    QVERIFY(!form.StepForwardBtn->isHidden() && form.StepForwardBtn->isEnabled());
    QVERIFY(!QFileInfo::exists(r.app()));
  }

  void removeModeRefusesWhileTheProgramRunsThenRemoves()
  {
    SetupRoot r;
    RecordingShell shell;
    {
      TForm1 installer(contextFor(r), shell);
      installThrough(installer);
    }
    putFile(r.app() + QStringLiteral("/Data/m1.csv"), "kept");
    TForm1 form(contextFor(r), shell);
    QCOMPARE(form.windowTitle(), QStringLiteral("Uninstall RZ-37m connect software"));
    QVERIFY(form.removeMode());
    QVERIFY(form.StepForwardBtn->isHidden() && !form.RemoveBtn->isHidden() &&
            form.Memo1->isHidden());
    QCOMPARE(form.InstructionsLabel->text(),
             QStringLiteral("RZ-37m connect software already installed in computer.\n\n"
                            "Do you want to remove RZ-37m connect software?"));
    {
      RunningProgram running(r.paths);
      form.RemoveBtn->click();
      QCOMPARE(shell.messages,
               QStringList{QStringLiteral(
                   "RZ-37m connect is running. Close it, then press Remove again.")});
      QCOMPARE(form.StepControl->currentIndex(), 0);
      QVERIFY(QFileInfo::exists(r.app() + QStringLiteral("/RZ-37m")));
    }
    form.RemoveBtn->click();
    QCOMPARE(form.StepControl->currentIndex(), 3);
    QCOMPARE(form.FinalLabel->text(),
             QStringLiteral("RZ-37m connect software successfully removed from computer."));
    QVERIFY(form.CheckBox1->isHidden() && form.CheckBox2->isHidden() && form.CheckBox3->isHidden());
    QCOMPARE(form.FilesProgressBar->maximum(), 150);
    QVERIFY(!form.EndBtn->isHidden());
    QVERIFY(!InstallRegistry(r.paths.registryFolder()).installed());
    QCOMPARE(fileBytes(r.app() + QStringLiteral("/Data/m1.csv")), QByteArray("kept"));
    QVERIFY(!QFileInfo::exists(r.app() + QStringLiteral("/RZ-37m")));
  }

  void recordWithoutFilesStillOpensInRemoveMode()
  {
    SetupRoot r;
    RecordingShell shell;
    QVERIFY(QDir().mkpath(r.paths.registryFolder()));
    putFile(InstallRegistry(r.paths.registryFolder()).recordFile(),
            "[RZ37]\nInst=" + r.installFolder().toUtf8() + "/\n");
    TForm1 form(contextFor(r), shell);
    QVERIFY(form.removeMode());
    form.RemoveBtn->click();
    QVERIFY(shell.messages.isEmpty());
    QCOMPARE(form.FinalLabel->text(),
             QStringLiteral("RZ-37m connect software successfully removed from computer."));
    QVERIFY(!InstallRegistry(r.paths.registryFolder()).installed());
  }

  void realMessageBoxAndRealLaunch()
  {
    SetupRoot r;
    Payload p = smallPayload();
    p.entries[0].data = "#!/bin/sh\npwd > launched-in\n";
    QtSetupShell shell;
    {
      TForm1 installer(contextFor(r, p), shell);
      shell.setOwner(&installer);
      installThrough(installer);
      installer.CheckBox2->setChecked(true);
      installer.EndBtnClick();
    }
    QTRY_COMPARE(fileBytes(r.app() + QStringLiteral("/launched-in")), r.app().toUtf8() + '\n');
    QVERIFY(QFile::remove(r.app() + QStringLiteral("/launched-in")));

    TForm1 form(contextFor(r, p), shell);
    shell.setOwner(&form);
    RunningProgram running(r.paths);
    QString shown;
    QTimer::singleShot(0, this, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box) {
        shown = box->text();
        box->accept();
      }
    });
    form.RemoveBtn->click();
    QCOMPARE(shown,
             QStringLiteral("RZ-37m connect is running. Close it, then press Remove again."));
  }

  void animationPlaysThirtyTwoFrames()
  {
    SetupAnimation a;
    a.open(QStringLiteral("INSTALL"));
    QCOMPARE(a.frame(), 0);
    a.play();
    QVERIFY(a.playing());
    QTRY_VERIFY(a.frame() > 0);
    a.stop();
    QVERIFY(a.frame() < SetupAnimation::FrameCount);
  }
};

QTEST_MAIN(TestSetupWindow)
#include "test_setup_window.moc"
