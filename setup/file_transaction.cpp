#include "file_transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {

const QString NewSuffix = QStringLiteral(".rz37m-new");
const QString OldSuffix = QStringLiteral(".rz37m-old");

QByteArray native(const QString& path)
{
  return QFile::encodeName(path);
}

bool exists(const QString& path)
{
  struct stat st {};
  return ::lstat(native(path).constData(), &st) == 0;
}

// Plain POSIX calls, so the reason reported is the system's own.
bool writeAll(const QString& path, const QByteArray& data, quint32 mode, QString* error)
{
  ::unlink(native(path).constData());
  const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    *error = systemError(path, errno);
    return false;
  }
  qsizetype done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      *error = systemError(path, n < 0 ? errno : ENOSPC);
      ::close(fd);
      ::unlink(native(path).constData());
      return false;
    }
    done += n;
  }
  const bool ok = ::fchmod(fd, mode) == 0;
  const int err = errno;
  if (::close(fd) != 0 || !ok) {
    *error = systemError(path, ok ? errno : err);
    ::unlink(native(path).constData());
    return false;
  }
  return true;
}

}  // namespace

QString systemError(const QString& path, int err)
{
  return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(err));
}

FileTransaction::~FileTransaction()
{
  if (m_open)
    rollback();
}

bool FileTransaction::makeFolder(const QString& path, QString* error)
{
  const QString clean = QDir::cleanPath(path);
  if (QFileInfo(clean).isDir())
    return true;
  const QString parent = QFileInfo(clean).path();
  if (parent != clean && !makeFolder(parent, error))
    return false;
  if (::mkdir(native(clean).constData(), 0755) != 0) {
    *error = systemError(clean, errno);
    return false;
  }
  m_madeFolders << clean;
  return true;
}

bool FileTransaction::stage(const QString& final, const QByteArray& data, quint32 mode,
                            QString* error)
{
  Staged s{final, final + NewSuffix, {}, false};
  if (!writeAll(s.temp, data, mode, error))
    return false;
  m_files << s;
  return true;
}

bool FileTransaction::commit(QString* error)
{
  for (Staged& s : m_files) {
    if (exists(s.final)) {
      s.old = s.final + OldSuffix;
      ::unlink(native(s.old).constData());
      if (::rename(native(s.final).constData(), native(s.old).constData()) != 0) {
        *error = systemError(s.final, errno);
        s.old.clear();
        rollback();
        return false;
      }
    }
    if (::rename(native(s.temp).constData(), native(s.final).constData()) != 0) {
      *error = systemError(s.final, errno);
      rollback();
      return false;
    }
    s.committed = true;
  }
  return true;
}

void FileTransaction::finish(
    const std::function<void(const QString& final, const QString& old)>& keepOld)
{
  for (const Staged& s : m_files) {
    if (s.old.isEmpty())
      continue;
    if (keepOld)
      keepOld(s.final, s.old);
    ::unlink(native(s.old).constData());
  }
  m_files.clear();
  m_madeFolders.clear();
  m_open = false;
}

void FileTransaction::rollback()
{
  for (auto it = m_files.rbegin(); it != m_files.rend(); ++it) {
    ::unlink(native(it->temp).constData());
    if (it->committed)
      ::unlink(native(it->final).constData());
    if (!it->old.isEmpty())
      ::rename(native(it->old).constData(), native(it->final).constData());
  }
  for (auto it = m_madeFolders.rbegin(); it != m_madeFolders.rend(); ++it)
    ::rmdir(native(*it).constData());
  m_files.clear();
  m_madeFolders.clear();
  m_open = false;
}
