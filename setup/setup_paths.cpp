#include "setup_paths.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <unistd.h>

namespace {

QString envFolder(const char* name, const QString& fallback)
{
  const QString value = qEnvironmentVariable(name);
  // Relative values are invalid by the base directory rules and must be ignored.
  return value.startsWith(u'/') ? QDir::cleanPath(value) : fallback;
}

QByteArray readAll(const QString& path)
{
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void fillDesktop(SetupPaths& p)
{
  const QString found =
      desktopFolderFrom(readAll(p.configHome + QStringLiteral("/user-dirs.dirs")), p.home);
  p.desktopDir = found.isEmpty() ? p.home + QStringLiteral("/Desktop") : found;
}

}  // namespace

QString desktopFolderFrom(const QByteArray& userDirs, const QString& home)
{
  static const QRegularExpression line(QStringLiteral("^\\s*XDG_DESKTOP_DIR\\s*=\\s*\"(.*)\"\\s*$"),
                                       QRegularExpression::MultilineOption);
  const QRegularExpressionMatch m = line.match(QString::fromUtf8(userDirs));
  if (!m.hasMatch())
    return {};
  QString value = m.captured(1);
  value.replace(QStringLiteral("\\\""), QStringLiteral("\""));
  if (value.startsWith(QStringLiteral("$HOME")))
    value = home + value.mid(5);
  else if (!value.startsWith(u'/'))
    return {};
  return QDir::cleanPath(value);
}

SetupPaths SetupPaths::system()
{
  SetupPaths p;
  p.home = QDir::homePath();
  p.dataHome = envFolder("XDG_DATA_HOME", p.home + QStringLiteral("/.local/share"));
  p.configHome = envFolder("XDG_CONFIG_HOME", p.home + QStringLiteral("/.config"));
  p.runtimeDir = envFolder("XDG_RUNTIME_DIR", QString());
  p.osRelease = QStringLiteral("/etc/os-release");
  p.proc = QStringLiteral("/proc");
  fillDesktop(p);
  return p;
}

SetupPaths SetupPaths::rooted(const QString& root)
{
  SetupPaths p;
  p.root = QDir::cleanPath(QDir(root).absolutePath());
  p.home = p.root + QStringLiteral("/home");
  p.dataHome = p.home + QStringLiteral("/.local/share");
  p.configHome = p.home + QStringLiteral("/.config");
  p.runtimeDir = p.root + QStringLiteral("/run/user/") + QString::number(::getuid());
  p.osRelease = p.root + QStringLiteral("/etc/os-release");
  p.proc = p.root + QStringLiteral("/proc");
  fillDesktop(p);
  return p;
}

QString SetupPaths::programLockFile() const
{
  // The same place and name the program's own single-instance guard uses.
  if (!runtimeDir.isEmpty())
    return runtimeDir + QStringLiteral("/MyOwnMutex.lock");
  return QDir::tempPath() + QStringLiteral("/MyOwnMutex-") + QString::number(::getuid()) +
         QStringLiteral(".lock");
}
