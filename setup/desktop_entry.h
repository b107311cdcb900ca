#pragma once
// freedesktop.org launchers: the menu entries, folder links and desktop icon Setup writes.

#include <QString>
#include <QStringList>

// One Exec= value from a command and its arguments, quoted by the Desktop
// Entry rules and escaped as a desktop-file string.
QString execLine(const QStringList& argv);

struct DesktopEntry {
  QString name;
  QStringList exec;  // program and arguments, unquoted
  QString path;      // working folder
  QString icon;      // absolute file or theme name; may be empty
  QString comment;

  QByteArray text() const;
};

// Writes the launcher through a temporary file; launchers on the desktop must be
// executable to be trusted by file managers.
bool writeDesktopEntry(const QString& file, const DesktopEntry& entry, QString* error);
