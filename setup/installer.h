#pragma once
// Writes a complete installation: the application folder with the program, its
// settings, stress table, manuals, driver archives, Data and Output, the menu
// group, the copy of Setup and the installation record. Nothing is recorded as
// installed unless every file is in place; a failure leaves nothing of this run.

#include "payload.h"
#include "setup_paths.h"
#include "setup_progress.h"

#include <QDateTime>

struct InstallRequest {
  QString installFolder;   // the folder chosen; the application folder is below it
  QString selfExecutable;  // copied as "Setup" into the application folder
  bool desktopIcon = false;
  QDateTime now;  // names the backup of an edited stress table
};

inline const QString ManifestName = QStringLiteral(".rz37m-manifest");
inline const QString ProgramName = QStringLiteral("RZ-37m");
inline const QString DesktopIconName = QStringLiteral("RZ-37m connect.desktop");

// Progress steps an installation takes (for the bar's maximum).
int installStepCount(const Payload& payload);

StepResult runInstallation(const SetupPaths& paths, const Payload& payload,
                           const InstallRequest& request, SetupProgress& progress);

// The desktop launcher of the finish page's "Create desktop Icon".
bool createDesktopIcon(const SetupPaths& paths, const QString& applicationFolder, QString* error);

// The installed Config.ini with View/DB pointing at the Data folder.
QByteArray configWithDataFolder(const QByteArray& config, const QString& dataFolder);
