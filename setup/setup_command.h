#pragma once
// The command line shared by the wizard and the unattended mode:
//   Setup [--root DIR] --unattended (--install [--target FOLDER] [--desktop-icon] | --remove)

#include "payload.h"
#include "setup_paths.h"

#include <QStringList>
#include <QTextStream>

enum SetupExit { ExitDone = 0, ExitFailed = 1, ExitUsage = 2, ExitRefused = 3 };

struct SetupOptions {
  QString root;
  bool unattended = false;
  enum class Action { None, Install, Remove } action = Action::None;
  QString target;
  bool desktopIcon = false;
  QString usageError;  // non-empty: the command line cannot be used
};

SetupOptions parseSetupOptions(const QStringList& arguments);
QString setupUsage();

SetupPaths pathsFor(const SetupOptions& options);
// Why Setup must not run at all, or empty.
QString refusalToRun(const SetupOptions& options);
// Why the libraries the program needs would not be found, with the apt line that fixes it.
QString missingLibrariesText(const Payload& payload);

int runUnattended(const SetupOptions& options, const QString& selfExecutable, QTextStream& out,
                  QTextStream& err);

inline const QString NotEnoughPlaceText = QStringLiteral("Not enough place in disk ");
inline const QString AnotherSetupText = QStringLiteral(
    "Another RZ-37m connect software installer is already running. "
    "Finish it first, then start Setup again.");
inline const QString ProgramRunningText =
    QStringLiteral("RZ-37m connect is running. Close it, then press Remove again.");
