#include "remover.h"

#include "install_checks.h"
#include "installer.h"
#include "registry.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {

QByteArray native(const QString& path)
{
  return QFile::encodeName(path);
}

bool isRealFolder(const QString& path)
{
  struct stat st {};
  return ::lstat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isRealFile(const QString& path)
{
  struct stat st {};
  return ::lstat(native(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool present(const QString& path)
{
  struct stat st {};
  return ::lstat(native(path).constData(), &st) == 0;
}

bool safeRelative(const QString& rel)
{
  if (rel.isEmpty() || rel.startsWith(u'/') || hasControlCharacters(rel))
    return false;
  const QStringList parts = rel.split(u'/');
  return !parts.contains(QStringLiteral("..")) && !parts.contains(QStringLiteral(".")) &&
         !parts.contains(QString());
}

// Every folder between the application folder and the entry must be a real
// folder: a link among them would lead the deletion somewhere else.
bool pathStaysInside(const QString& app, const QString& rel)
{
  QString at = app;
  const QStringList parts = rel.split(u'/');
  for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
    at += u'/' + parts[i];
    if (!isRealFolder(at))
      return false;
  }
  return true;
}

struct Entry {
  QString hash;
  QString path;
};

QList<Entry> readManifest(const QString& file)
{
  QList<Entry> entries;
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly))
    return entries;
  for (const QByteArray& line : f.readAll().split('\n')) {
    const qsizetype space = line.indexOf(' ');
    if (space > 0)
      entries << Entry{QString::fromLatin1(line.left(space)),
                       QString::fromUtf8(line.mid(space + 1))};
  }
  return entries;
}

bool keepAsUserData(const QString& file, const Entry& e)
{
  if (e.path != QStringLiteral("Stress_DB.csv"))
    return false;
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly))
    return false;
  const QByteArray hash = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
  return QString::fromLatin1(hash) != e.hash;
}

void removeEntry(const QString& path, QStringList& remaining)
{
  if (present(path) && ::unlink(native(path).constData()) != 0)
    remaining << path + QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(errno)) + u')';
}

void removeFiles(const QString& app, SetupProgress& progress, QStringList& remaining)
{
  QSet<QString> folders{QStringLiteral("Data"), QStringLiteral("Output")};
  for (const Entry& e : readManifest(app + u'/' + ManifestName)) {
    if (!safeRelative(e.path))
      continue;
    const QString file = app + u'/' + e.path;
    progress.status(QStringLiteral("Removing: ") + file);
    progress.step();
    progress.pause(20);
    for (QString f = QFileInfo(e.path).path(); f != QStringLiteral("."); f = QFileInfo(f).path())
      folders.insert(f);
    if (!pathStaysInside(app, e.path)) {
      remaining << file + QStringLiteral(" (a folder on its way is a link; left alone)");
      continue;
    }
    if (!keepAsUserData(file, e))
      removeEntry(file, remaining);
  }
  QStringList deepestFirst = folders.values();
  std::sort(deepestFirst.begin(), deepestFirst.end(),
            [](const QString& a, const QString& b) { return a.count(u'/') > b.count(u'/'); });
  // Only empty folders go: what the user put there stays, with its folders.
  for (const QString& f : deepestFirst)
    if (isRealFolder(app + u'/' + f))
      ::rmdir(native(app + u'/' + f).constData());
}

void removeLaunchers(const SetupPaths& paths, QStringList& remaining)
{
  const QString menu = paths.menuFolder();
  for (const QString& name :
       {QStringLiteral("Data.desktop"), QStringLiteral("Drivers.desktop"),
        QStringLiteral("RZ-37m connect.desktop"), QStringLiteral("Uninstall/Uninstall.desktop")})
    if (isRealFolder(QFileInfo(menu + u'/' + name).path()))
      removeEntry(menu + u'/' + name, remaining);
  ::rmdir(native(menu + QStringLiteral("/Uninstall")).constData());
  ::rmdir(native(menu).constData());
  const QString merge = paths.menuMergeFile();
  const QString directories = QFileInfo(paths.menuDirectoryFile(QString())).path();
  removeEntry(merge, remaining);
  removeEntry(paths.menuDirectoryFile(QStringLiteral("norvane-rz37m.directory")), remaining);
  removeEntry(paths.menuDirectoryFile(QStringLiteral("norvane-rz37m-uninstall.directory")),
              remaining);
  // The shared menu folders go only when nothing else is in them.
  for (const QString& f : {QFileInfo(merge).path(), QFileInfo(QFileInfo(merge).path()).path(),
                           directories, QFileInfo(menu).path()})
    ::rmdir(native(f).constData());
  removeEntry(paths.desktopDir + u'/' + DesktopIconName, remaining);
}

}  // namespace

QString trustedApplicationFolder(const SetupPaths& paths)
{
  const QString inst = InstallRegistry(paths.registryFolder()).inst();
  if (!trustedInst(inst))
    return {};
  const QString app = applicationFolderOf(inst);
  return isRealFolder(app) && isRealFile(app + u'/' + ManifestName) ? app : QString();
}

StepResult removeInstallation(const SetupPaths& paths, SetupProgress& progress)
{
  StepResult result;
  const QString app = trustedApplicationFolder(paths);
  if (!app.isEmpty()) {
    removeFiles(app, progress, result.remaining);
    if (result.remaining.isEmpty())
      removeEntry(app + u'/' + ManifestName, result.remaining);
    ::rmdir(native(app).constData());
    ::rmdir(native(QFileInfo(app).path()).constData());
  }
  progress.status(QStringLiteral("Searching for Icons..."));
  progress.status(QStringLiteral("Removing..."));
  removeLaunchers(paths, result.remaining);
  progress.step(4);
  progress.pause(250);
  progress.status(QStringLiteral("Removing keys from system registry..."));
  if (!result.remaining.isEmpty()) {
    result.ok = false;
    result.error = QStringLiteral("Some files could not be removed");
    return result;
  }
  QString error;
  if (!InstallRegistry(paths.registryFolder()).remove(&error))
    return {false, error, {}};
  progress.step(24);
  progress.pause(250);
  return result;
}
