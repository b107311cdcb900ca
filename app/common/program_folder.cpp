#include "common/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace ProgramFolder {

namespace {
QString& overrideFolder()
{
  static QString folder;
  return folder;
}

bool writtenByProgram(const QString& name)
{
  return name == QStringLiteral("Config.ini") || name == QStringLiteral("Stress_DB.csv");
}

QString subFolder(const QString& name)
{
  QString p = writableFolder() + u'/' + name;
  QDir().mkpath(p);
  return p;
}
}  // namespace

QString path()
{
  if (!overrideFolder().isEmpty())
    return overrideFolder();
  if (QCoreApplication::instance())
    return QCoreApplication::applicationDirPath();
  return QDir::currentPath();
}

QString file(const QString& name)
{
  if (!writtenByProgram(name))
    return path() + u'/' + name;
  const QString folder = writableFolder();
  QString target = folder + u'/' + name;
  const QString installed = path() + u'/' + name;
  // First start from a read-only installation: begin with its defaults.
  if (folder != path() && !QFile::exists(target) && QFile::exists(installed)) {
    QDir().mkpath(folder);
    if (QFile::copy(installed, target))
      QFile::setPermissions(
          target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  }
  return target;
}

QString userFolder()
{
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/Norvane/RZ-37m");
}

QString writableFolder()
{
  const QString folder = path();
  return ::access(QFile::encodeName(folder).constData(), W_OK) == 0 ? folder : userFolder();
}

QString dataFolder()
{
  return subFolder(QStringLiteral("Data"));
}

QString outputFolder()
{
  return subFolder(QStringLiteral("Output"));
}

void setOverride(const QString& folder)
{
  overrideFolder() = QDir::cleanPath(folder);
  if (folder.isEmpty())
    overrideFolder().clear();
}

}  // namespace ProgramFolder
