#pragma once
// Every system place Setup reads or writes. `rooted` puts all of them below one
// folder, so scripts and tests can install and remove without touching the
// user's real home, configuration or the running system.

#include <QString>

struct SetupPaths {
  QString root;  // empty for the real system
  QString home;
  QString dataHome;    // $XDG_DATA_HOME: the default install folder
  QString configHome;  // $XDG_CONFIG_HOME: the registry files
  QString desktopDir;  // from user-dirs.dirs, else ~/Desktop
  QString runtimeDir;  // locks of Setup and of the program
  QString osRelease;
  QString proc;

  static SetupPaths system();
  static SetupPaths rooted(const QString& root);

  QString registryFolder() const { return configHome + QStringLiteral("/Norvane/registry"); }
  QString menuFolder() const { return dataHome + QStringLiteral("/applications/RZ-37m"); }
  QString menuMergeFile() const
  {
    return configHome + QStringLiteral("/menus/applications-merged/norvane-rz37m.menu");
  }
  QString menuDirectoryFile(const QString& name) const
  {
    return dataHome + QStringLiteral("/desktop-directories/") + name;
  }
  // The lock file the program holds while it runs (its single-instance guard).
  QString programLockFile() const;
};

// The desktop folder named by XDG_DESKTOP_DIR in user-dirs.dirs, "$HOME" expanded.
QString desktopFolderFrom(const QByteArray& userDirs, const QString& home);
