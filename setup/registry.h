#pragma once
// The installation record: small key=value files under
// $XDG_CONFIG_HOME/Norvane/registry, keyed and named like registry entries so
// support staff find the familiar names. "RZ37" holds "Inst" and its presence
// means "installed"; "Uninstall/RZ37" is the uninstall entry. Both are written
// atomically.

#include <QMap>
#include <QString>

class InstallRegistry {
 public:
  explicit InstallRegistry(QString folder) : m_folder(std::move(folder)) {}

  bool installed() const;
  // "Inst" as written, or empty when the record or the value is missing.
  QString inst() const;

  // Writes the uninstall entry, then "Inst": the record that says "installed" comes last.
  bool write(const QString& inst, const QString& applicationFolder, QString* error) const;
  // Deletes the uninstall entry, then the record: a removal that stops halfway
  // can be run again.
  bool remove(QString* error) const;

  QString recordFile() const { return m_folder + QStringLiteral("/RZ37"); }
  QString uninstallFile() const { return m_folder + QStringLiteral("/Uninstall/RZ37"); }

  static QMap<QString, QString> readValues(const QString& file);

 private:
  QString m_folder;
};

// "Inst" is trusted only when it names an absolute folder without ".." and
// without control characters.
bool trustedInst(const QString& inst);
bool hasControlCharacters(const QString& path);
