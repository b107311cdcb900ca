#include "install_checks.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString applicationFolderOf(const QString& installFolder)
{
  QString base = QDir::cleanPath(installFolder);
  if (!base.endsWith(u'/'))
    base += u'/';
  return base + QStringLiteral("Norvane/RZ-37m");
}

QString instValueOf(const QString& installFolder)
{
  QString base = QDir::cleanPath(installFolder);
  return base.endsWith(u'/') ? base : base + u'/';
}

qint64 requiredBytes(qint64 payloadBytes)
{
  constexpr qint64 MiB = qint64(1024) * 1024;
  return std::max<qint64>(5 * MiB, (payloadBytes + MiB - 1) / MiB * MiB);
}

bool enoughSpace(qint64 freeBytes, qint64 required)
{
  return freeBytes / 1024 / 1024 >= required / 1024 / 1024;
}

SpaceCheck checkFreeSpace(const QString& folder, qint64 required)
{
  QString existing = QDir::cleanPath(folder);
  while (!QFileInfo(existing).isDir() && existing != QStringLiteral("/") && !existing.isEmpty())
    existing = QFileInfo(existing).path();
  const QStorageInfo storage(existing.isEmpty() ? QStringLiteral("/") : existing);
  SpaceCheck c;
  c.mountRoot = storage.rootPath();
  c.freeBytes = storage.isValid() && storage.isReady() ? storage.bytesAvailable() : 0;
  c.enough = enoughSpace(c.freeBytes, required);
  return c;
}

namespace {

bool lockHeld(const QString& file)
{
  const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
  ::close(fd);
  return held;
}

bool processRunsFrom(const QString& proc, const QString& folder)
{
  const QString prefix = QDir::cleanPath(folder) + u'/';
  const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  QDirIterator it(proc, QDir::Dirs | QDir::NoDotAndDotDot);
  while (it.hasNext()) {
    it.next();
    const QString exe = QFileInfo(it.filePath() + QStringLiteral("/exe")).symLinkTarget();
    // Setup itself may run from the folder it removes.
    if (exe.startsWith(prefix) && exe != self && !exe.endsWith(QStringLiteral("/Setup")))
      return true;
  }
  return false;
}

}  // namespace

bool programRunning(const SetupPaths& paths, const QString& applicationFolder)
{
  return lockHeld(paths.programLockFile()) || processRunsFrom(paths.proc, applicationFolder);
}

QList<LibraryNeed> parseLibraryList(const QByteArray& text)
{
  QList<LibraryNeed> needs;
  for (const QByteArray& line : text.split('\n')) {
    const QList<QByteArray> cols = line.trimmed().split('\t');
    if (!cols.value(0).isEmpty())
      needs << LibraryNeed{QString::fromUtf8(cols[0]), QString::fromUtf8(cols.value(1))};
  }
  return needs;
}

QStringList libraryFolders(const QString& ldSoConfDir)
{
  QStringList folders;
  const QStringList confs = QDir(ldSoConfDir).entryList({QStringLiteral("*.conf")}, QDir::Files);
  for (const QString& conf : confs) {
    QFile f(ldSoConfDir + u'/' + conf);
    if (!f.open(QIODevice::ReadOnly))
      continue;
    for (const QByteArray& line : f.readAll().split('\n'))
      if (line.trimmed().startsWith('/'))
        folders << QString::fromUtf8(line.trimmed());
  }
  folders << QStringLiteral("/lib") << QStringLiteral("/usr/lib") << QStringLiteral("/lib64")
          << QStringLiteral("/usr/lib64");
  return folders;
}

QList<LibraryNeed> missingLibraries(const QList<LibraryNeed>& needs, const QStringList& folders)
{
  QList<LibraryNeed> missing;
  for (const LibraryNeed& need : needs) {
    const bool found = std::any_of(folders.begin(), folders.end(), [&](const QString& folder) {
      return QFileInfo::exists(folder + u'/' + need.soname);
    });
    if (!found)
      missing << need;
  }
  return missing;
}

QString aptLine(const QList<LibraryNeed>& missing)
{
  QStringList packages;
  for (const LibraryNeed& need : missing)
    if (!need.package.isEmpty() && !packages.contains(need.package))
      packages << need.package;
  return packages.isEmpty() ? QString()
                            : QStringLiteral("sudo apt-get install ") + packages.join(u' ');
}

SetupLock::SetupLock(const QString& runtimeDir)
{
  const QString dir = runtimeDir.isEmpty() ? QDir::tempPath() : runtimeDir;
  QDir().mkpath(dir);
  const QString file =
      dir + QStringLiteral("/RZ37mSetup-") + QString::number(::getuid()) + QStringLiteral(".lock");
  const int fd = ::open(QFile::encodeName(file).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    m_noPlace = true;  // no place for a lock: better to run than to refuse
    return;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
    m_fd = fd;
  else
    ::close(fd);
}

SetupLock::~SetupLock()
{
  if (m_fd >= 0)
    ::close(m_fd);
}
