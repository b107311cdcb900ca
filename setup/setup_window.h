#pragma once
// TForm1 of SetupUnit: the wizard. Install mode has four pages (welcome, install
// folder, installing, finish); when an installation is recorded, the welcome page
// offers removal instead. Only the buttons move between pages.

#include "payload.h"
#include "setup_paths.h"
#include "system_summary.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTreeView;
class SetupAnimation;
class SetupPicture;
class SetupShell;

struct SetupContext {
  SetupPaths paths;
  std::optional<Payload> payload;
  QString payloadError;
  QString selfExecutable;
  ScreenMode screen;
  int pauseScale = 1;        // 0: the paced pauses are skipped (tests)
  qint64 requiredBytes = 0;  // 0: what the payload needs
  std::optional<bool> inDialout;
};

class TForm1 : public QWidget {
 public:
  TForm1(SetupContext context, SetupShell& shell, QWidget* parent = nullptr);

  // Controls, named as on the form.
  SetupPicture* SetupImage;
  QLabel* StepLabel;
  QWidget* MainPanel;
  QStackedWidget* StepControl;
  QWidget* BtnsPanel;
  QLabel* FilenamesLabel;
  QPushButton* StepBackwardBtn;
  QPushButton* ExitBtn;
  QPushButton* StepForwardBtn;
  QPushButton* RemoveBtn;
  QPushButton* EndBtn;
  QLabel* InstructionsLabel;
  QPlainTextEdit* Memo1;
  QLabel* Label1;
  QComboBox* InstallDriveComboBox;
  QTreeView* InstallDirList;
  QLabel* InstallDirLabel;
  SetupAnimation* Animate1;
  QProgressBar* FilesProgressBar;
  QLabel* FinalLabel;
  QCheckBox* CheckBox1;
  QCheckBox* CheckBox2;
  QCheckBox* CheckBox3;
  QStringList PageCaptions;

  // "Next >" / "Install"
  void StepForwardBtnClick();
  // "< Back"
  void StepBackwardBtnClick();
  // "Exit"
  void ExitBtnClick();
  // "Finish": desktop icon, launch, manual, then the end
  void EndBtnClick();
  // "Remove"
  void RemoveBtnClick();
  // A folder chosen in the folder tree: path text and free-space check
  void InstallDirListChange();
  // A volume chosen in the combo box
  void InstallDriveComboBoxChange();

  bool removeMode() const { return m_removeMode; }
  QString installFolder() const { return m_installFolder; }
  void setInstallFolder(const QString& folder);
  QString applicationFolder() const;
  int exitCode() const { return m_exitCode; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildWindow();
  void buildPages();
  void buildButtons();
  void startRemoveMode();
  void startInstallMode();
  void fillVolumes();
  void showPage(int index);
  void RunInstallation();
  bool installFailed(const QString& error);
  void flashDriveBox();
  void pause(int milliseconds);
  void endProgram(int code);

  SetupContext m_context;
  SetupShell& m_shell;
  QFileSystemModel* m_dirModel = nullptr;
  QString m_installFolder;
  QString m_missingLibraries;
  bool m_removeMode = false;
  bool m_closing = false;
  int m_exitCode = 0;

  friend class WizardProgress;
};
