#include "shell/single_instance.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

class FileInstanceLock : public InstanceLock {
 public:
  explicit FileInstanceLock(QString path) : m_path(std::move(path)) {}
  // The descriptor stays open for the life of the process: the lock goes with it.
  ~FileInstanceLock() override = default;

  bool acquire() override
  {
    if (m_fd >= 0)
      return true;
    const int fd =
        ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
      return true;  // no place for a lock: better to run than to refuse to start
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return false;
    }
    m_fd = fd;
    return true;
  }

 private:
  QString m_path;
  int m_fd = -1;
};

QString runtimeFolder()
{
  QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (dir.isEmpty() || !QDir(dir).exists())
    dir = QDir::tempPath();
  return dir;
}

}  // namespace

std::unique_ptr<InstanceLock> makeInstanceLock(const QString& name, const QString& folder)
{
  const QString dir = folder.isEmpty() ? runtimeFolder() : folder;
  QString file = name + QStringLiteral(".lock");
  if (folder.isEmpty() && !qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
    file = name + u'-' + QString::number(::getuid()) + QStringLiteral(".lock");
  return std::make_unique<FileInstanceLock>(dir + u'/' + file);
}
