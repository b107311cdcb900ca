#include "registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool writeValues(const QString& file, const QString& section,
                 const QList<std::pair<QString, QString>>& values, QString* error)
{
  QDir().mkpath(QFileInfo(file).path());
  QSaveFile f(file);
  QByteArray text = '[' + section.toUtf8() + "]\n";
  for (const auto& [name, value] : values)
    text += name.toUtf8() + '=' + value.toUtf8() + '\n';
  if (f.open(QIODevice::WriteOnly) && f.write(text) == text.size() && f.commit())
    return true;
  if (error)
    *error = file + QStringLiteral(": ") + f.errorString();
  return false;
}

bool removeFile(const QString& file, QString* error)
{
  QFile f(file);
  if (!f.exists() || f.remove())
    return true;
  if (error)
    *error = file + QStringLiteral(": ") + f.errorString();
  return false;
}

}  // namespace

bool hasControlCharacters(const QString& path)
{
  for (const QChar c : path)
    if (c.category() == QChar::Other_Control)
      return true;
  return false;
}

bool trustedInst(const QString& inst)
{
  if (!inst.startsWith(u'/') || hasControlCharacters(inst))
    return false;
  const QStringList parts = inst.split(u'/');
  return !parts.contains(QStringLiteral("..")) && !parts.contains(QStringLiteral("."));
}

QMap<QString, QString> InstallRegistry::readValues(const QString& file)
{
  QMap<QString, QString> values;
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly))
    return values;
  for (const QByteArray& raw : f.readAll().split('\n')) {
    const int eq = raw.indexOf('=');
    if (eq > 0 && !raw.startsWith('['))
      values.insert(QString::fromUtf8(raw.left(eq)), QString::fromUtf8(raw.mid(eq + 1)));
  }
  return values;
}

bool InstallRegistry::installed() const
{
  return QFileInfo::exists(recordFile());
}

QString InstallRegistry::inst() const
{
  return readValues(recordFile()).value(QStringLiteral("Inst"));
}

bool InstallRegistry::write(const QString& instValue, const QString& applicationFolder,
                            QString* error) const
{
  const QString setup = applicationFolder + QStringLiteral("/Setup");
  return writeValues(uninstallFile(), QStringLiteral("RZ37"),
                     {{QStringLiteral("DisplayName"), QStringLiteral("RZ-37m connect")},
                      {QStringLiteral("UninstallString"), setup},
                      {QStringLiteral("Publiser"), QStringLiteral("Norvane")},
                      {QStringLiteral("DisplayIcon"), setup}},
                     error) &&
         writeValues(recordFile(), QStringLiteral("RZ37"), {{QStringLiteral("Inst"), instValue}},
                     error);
}

bool InstallRegistry::remove(QString* error) const
{
  if (!removeFile(uninstallFile(), error) || !removeFile(recordFile(), error))
    return false;
  QDir(m_folder).rmdir(QStringLiteral("Uninstall"));
  QDir().rmdir(m_folder);
  QDir().rmdir(QFileInfo(m_folder).path());
  return true;
}
