#include "common/program_folder.h"

#include <QCoreApplication>
#include <QDir>

namespace ProgramFolder {

namespace {
QString& overrideFolder()
{
  static QString folder;
  return folder;
}

QString subFolder(const QString& name)
{
  QString p = path() + u'/' + name;
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
  return path() + u'/' + name;
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
