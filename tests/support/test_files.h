#pragma once
// Small file helpers shared by the tests that read and write files.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

#include <sys/resource.h>
#include <csignal>

inline QByteArray fileBytes(const QString& path)
{
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// One count as a measurement file holds it: its time (seconds from i) and `br`.
inline QByteArray countLine(int i, const QByteArray& br)
{
  return "10:00:" + QByteArray::number(i % 60).rightJustified(2, '0') + ';' + br + "\r\n";
}

inline void putFile(const QString& path, const QByteArray& bytes)
{
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QCOMPARE(f.write(bytes), bytes.size());
}

// Keeps writes of this process below `bytes` while alive: the disk-full case
// without a full disk, and it works for root, whom permissions do not stop.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes)
  {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &m_old);
    rlimit lim = m_old;
    lim.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit m_old{};
};
