#pragma once
// What Setup checks before it touches anything.

#include "setup_paths.h"

#include <QStringList>

#include <memory>

// The install folder joined with "Norvane/RZ-37m", one '/' between them also at "/".
QString applicationFolderOf(const QString& installFolder);
// The install folder as "Inst" records it: absolute, clean, with a trailing '/'.
QString instValueOf(const QString& installFolder);

struct SpaceCheck {
  bool enough = false;
  QString mountRoot;  // the file system holding the folder (its nearest existing ancestor)
  qint64 freeBytes = 0;
};
// At least 5 MiB, and never less than the files to install need.
qint64 requiredBytes(qint64 payloadBytes);
SpaceCheck checkFreeSpace(const QString& folder, qint64 required);
// Counted in whole MiB: 5 MiB free is enough for 5 MiB, 4.99 is not.
bool enoughSpace(qint64 freeBytes, qint64 required);

// True while the installed program runs: its single-instance lock is held, or a
// process runs a program file inside the application folder.
bool programRunning(const SetupPaths& paths, const QString& applicationFolder);

struct LibraryNeed {
  QString soname;
  QString package;
};
QList<LibraryNeed> parseLibraryList(const QByteArray& text);
QStringList libraryFolders(const QString& ldSoConfDir);
QList<LibraryNeed> missingLibraries(const QList<LibraryNeed>& needs, const QStringList& folders);
// "sudo apt-get install ..." for the missing ones, or empty when no package is known.
QString aptLine(const QList<LibraryNeed>& missing);

// Only one Setup at a time per user: an advisory lock the kernel drops when the
// process ends.
class SetupLock {
 public:
  explicit SetupLock(const QString& runtimeDir);
  ~SetupLock();
  SetupLock(const SetupLock&) = delete;
  SetupLock& operator=(const SetupLock&) = delete;
  bool acquired() const { return m_fd >= 0 || m_noPlace; }

 private:
  int m_fd = -1;
  bool m_noPlace = false;
};
