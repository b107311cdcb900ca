// The wizard's handlers: page moves, the folder check, installing, removing and
// the finish actions.

#include "install_checks.h"
#include "installer.h"
#include "registry.h"
#include "remover.h"
#include "setup_command.h"
#include "setup_messages.h"
#include "setup_pictures.h"
#include "setup_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QEventLoop>
#include <QFileSystemModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>

// The status line and the bar of the "Installing..." page, kept alive by
// letting the window paint between steps.
class WizardProgress : public SetupProgress {
 public:
  explicit WizardProgress(TForm1& form) : m_form(form) {}
  void status(const QString& text) override
  {
    m_form.FilenamesLabel->setText(text);
    m_form.FilenamesLabel->repaint();
    QCoreApplication::processEvents();
  }
  void step(int count) override
  {
    QProgressBar* bar = m_form.FilesProgressBar;
    bar->setValue(std::min(bar->maximum(), bar->value() + count));
  }
  void pause(int milliseconds) override { m_form.pause(milliseconds); }

 private:
  TForm1& m_form;
};

void TForm1::pause(int milliseconds)
{
  const int ms = milliseconds * m_context.pauseScale;
  if (ms <= 0) {
    QCoreApplication::processEvents();
    return;
  }
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void TForm1::showPage(int index)
{
  StepControl->setCurrentIndex(index);
  StepLabel->setText(PageCaptions.value(index));
  StepBackwardBtn->setVisible(index >= 1);
}

void TForm1::StepForwardBtnClick()
{
  const int index = StepControl->currentIndex() + 1;
  showPage(index);
  if (index == 1) {
    ExitBtn->hide();
    StepForwardBtn->setText(QStringLiteral("Install"));
    InstallDirListChange();
  } else if (index == 2) {
    StepForwardBtn->hide();
    StepBackwardBtn->hide();
    FilenamesLabel->show();
    Animate1->open(QStringLiteral("INSTALL"));
    Animate1->play();
    FilesProgressBar->setValue(0);
    RunInstallation();
  } else if (index == 3) {
    Animate1->stop();
    ExitBtn->hide();
    StepBackwardBtn->hide();
    FilenamesLabel->hide();
    EndBtn->show();
  }
}

void TForm1::StepBackwardBtnClick()
{
  const int index = StepControl->currentIndex() - 1;
  showPage(index);
  if (index == 0) {
    ExitBtn->show();
    StepForwardBtn->setText(QStringLiteral("Next >"));
    StepForwardBtn->setEnabled(m_missingLibraries.isEmpty());
  }
  if (index == 1)
    StepForwardBtn->setEnabled(true);
}

void TForm1::ExitBtnClick()
{
  endProgram(ExitDone);
}

void TForm1::InstallDirListChange()
{
  QPalette pal = InstallDirLabel->palette();
  auto refuse = [&](const QString& text) {
    StepForwardBtn->setEnabled(false);
    pal.setColor(QPalette::WindowText, Qt::red);
    InstallDirLabel->setPalette(pal);
    InstallDirLabel->setText(text);
  };
  if (hasControlCharacters(m_installFolder))
    return refuse(
        QStringLiteral("This folder name holds control characters; choose another folder."));
  const qint64 needed =
      m_context.requiredBytes > 0
          ? m_context.requiredBytes
          : requiredBytes(m_context.payload ? m_context.payload->installedBytes() : 0);
  const SpaceCheck space = checkFreeSpace(m_installFolder, needed);
  if (!space.enough)
    return refuse(NotEnoughPlaceText + space.mountRoot);
  StepForwardBtn->setEnabled(m_missingLibraries.isEmpty());
  pal.setColor(QPalette::WindowText, Qt::black);
  InstallDirLabel->setPalette(pal);
  InstallDirLabel->setText(
      QStringLiteral("RZ-37m connect software will be installed by following path: \n") +
      applicationFolder());
}

void TForm1::InstallDriveComboBoxChange()
{
  const QString root = InstallDriveComboBox->currentText();
  const QStorageInfo volume(root);
  if (!volume.isValid() || !volume.isReady() || !QFileInfo(root).isReadable()) {
    StepForwardBtn->setEnabled(false);
    flashDriveBox();
    return;
  }
  setInstallFolder(root);
}

void TForm1::flashDriveBox()
{
  const QStringList colours = {QStringLiteral("red"), QStringLiteral("white"),
                               QStringLiteral("red"), QStringLiteral("white")};
  for (const QString& c : colours) {
    InstallDriveComboBox->setStyleSheet(QStringLiteral("QComboBox { background: %1; }").arg(c));
    InstallDirLabel->repaint();
    pause(100);
  }
  InstallDriveComboBox->setStyleSheet(QString());
}

void TForm1::RunInstallation()
{
  FilesProgressBar->setMaximum(installStepCount(*m_context.payload));
  WizardProgress progress(*this);
  const StepResult r = runInstallation(
      m_context.paths, *m_context.payload,
      {m_installFolder, m_context.selfExecutable, false, QDateTime::currentDateTime()}, progress);
  if (!r.ok && installFailed(r.error))
    return;
  StepForwardBtnClick();
}

// Back to the folder page with everything of this run removed, so the user can
// free space or choose another folder and press "Install" again.
bool TForm1::installFailed(const QString& error)
{
  Animate1->stop();
  FilenamesLabel->hide();
  m_shell.message(
      QStringLiteral("The installation failed and was undone; nothing was installed.\n\n") + error +
          QStringLiteral("\n\nFree some space or choose another folder, then press "
                         "Install again."),
      true);
  showPage(1);
  StepForwardBtn->show();
  InstallDirListChange();
  return true;
}

void TForm1::EndBtnClick()
{
  const QString app = applicationFolder();
  QString error;
  if (CheckBox1->isChecked() && !createDesktopIcon(m_context.paths, app, &error))
    m_shell.message(QStringLiteral("The desktop icon could not be created.\n\n") + error, true);
  if (CheckBox2->isChecked())
    m_shell.launch(app + u'/' + ProgramName);
  if (CheckBox3->isChecked())
    m_shell.open(app + QStringLiteral("/EN_Program_manual.pdf"));
  endProgram(ExitDone);
}

void TForm1::RemoveBtnClick()
{
  const InstallRegistry registry(m_context.paths.registryFolder());
  if (programRunning(m_context.paths, applicationFolderOf(registry.inst()))) {
    m_shell.message(ProgramRunningText, true);
    return;
  }
  StepLabel->setText(QStringLiteral("Removing..."));
  PageCaptions[2] = QStringLiteral("Removing...");
  showPage(2);
  StepBackwardBtn->hide();
  Animate1->open(QStringLiteral("REMOVE"));
  Animate1->play();
  FilenamesLabel->show();
  FilesProgressBar->setValue(0);
  FilesProgressBar->setMaximum(150);
  for (QWidget* w : {static_cast<QWidget*>(CheckBox1), static_cast<QWidget*>(CheckBox2),
                     static_cast<QWidget*>(CheckBox3), static_cast<QWidget*>(RemoveBtn),
                     static_cast<QWidget*>(ExitBtn)})
    w->hide();
  WizardProgress progress(*this);
  const StepResult r = removeInstallation(m_context.paths, progress);
  if (r.ok) {
    FinalLabel->setText(
        QStringLiteral("RZ-37m connect software successfully removed from computer."));
  } else {
    m_shell.message(r.error + QStringLiteral(":\n") + r.remaining.join(u'\n') +
                        QStringLiteral("\n\nThe installation record is kept: close what uses them "
                                       "and run Setup again to finish the removal."),
                    true);
    FinalLabel->setText(QStringLiteral("RZ-37m connect software was not removed completely."));
  }
  StepForwardBtnClick();
}
