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
  QString categories = QStringLiteral("Utility;");

  QByteArray text() const;
};

// The freedesktop menu group "RZ-37m" with its "Uninstall" submenu: the
// merge file and the two folder entries it names. Menus that follow the
// freedesktop menu rules show the group; the others list the entries alone.
QByteArray menuGroupXml();
QByteArray directoryEntryText(const QString& name, const QString& icon);
inline const QString MenuCategory = QStringLiteral("X-Norvane-RZ37m;");
inline const QString UninstallMenuCategory = QStringLiteral("X-Norvane-RZ37m-Uninstall;");

// Writes the launcher through a temporary file; launchers on the desktop must be
// executable to be trusted by file managers.
bool writeDesktopEntry(const QString& file, const DesktopEntry& entry, QString* error);
