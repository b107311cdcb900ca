// Saving at the edges the system sets: a file-size limit reached in the middle
// of a write, and a folder in which no new file may be made. Each case runs in
// a child process, which may lower its limits and give up root's rights
// without touching the test itself.

#include "common/file_size_signal.h"
#include "data/measurement_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include "support/test_files.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

QByteArray countLines(int n, const char* line = "10:42:05;05,43\r\n")
{
  QByteArray out;
  for (int i = 0; i < n; ++i)
    out += line;
  return out;
}

// What a child's write came to: how it ended, and the error it reported.
struct ChildResult {
  bool exited = false;  // ended by _exit, not by a signal
  int signal = 0;
  bool written = false;
  MeasurementFileError::Kind kind = MeasurementFileError::Kind::None;
  QString message;
};

struct ChildSetup {
  bool ignoreSignal = true;  // what the programs do at start-up
  rlim_t fileSizeLimit = RLIM_INFINITY;
  bool asNobody = false;  // root may write anywhere; the folder case needs a user
};

constexpr uid_t NobodyId = 65534;

// Runs writeMeasurementFile in a child; its message comes back through a pipe.
ChildResult writeInChild(const ChildSetup& setup, const QString& path, const QByteArray& lines,
                         MeasurementWriteMode mode)
{
  int fds[2];
  if (::pipe(fds) != 0)
    return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    std::signal(SIGXFSZ, SIG_DFL);
    if (setup.ignoreSignal)
      ignoreFileSizeSignal();
    if (setup.asNobody && ::getuid() == 0 && (::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0))
      ::_exit(100);
    rlimit lim{setup.fileSizeLimit, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    MeasurementFileError err;
    const bool ok = writeMeasurementFile(path, lines, mode, &err);
    const QByteArray text = err.message().toUtf8();
    if (::write(fds[1], text.constData(), static_cast<size_t>(text.size())) < 0)
      ::_exit(101);
    ::_exit(ok ? 0 : 10 + static_cast<int>(err.kind));
  }
  ::close(fds[1]);
  QByteArray text;
  char buf[512];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
    text.append(buf, n);
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ChildResult r;
  r.exited = WIFEXITED(status);
  r.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  const int code = r.exited ? WEXITSTATUS(status) : -1;
  r.written = code == 0;
  if (code >= 10 && code < 100)
    r.kind = static_cast<MeasurementFileError::Kind>(code - 10);
  r.message = QString::fromUtf8(text);
  return r;
}

// A folder no one but its owner may write, holding `name`; as root the file
// is handed to nobody, who may then write the file but not the folder.
void lockFolder(const QString& folder, const QString& file, bool fileWritable)
{
  QVERIFY(::chmod(QFile::encodeName(file).constData(), fileWritable ? 0644 : 0444) == 0);
  if (::getuid() == 0)
    QVERIFY(::chown(QFile::encodeName(file).constData(), NobodyId, NobodyId) == 0);
  // Owner may read, write, enter; others read and enter only.
  QVERIFY(::chmod(QFile::encodeName(folder).constData(), ::getuid() == 0 ? 0755 : 0555) == 0);
}

}  // namespace

class TestFileLimits : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void writeUnderFileSizeLimit_data();
  void writeUnderFileSizeLimit();
  void rewriteInFolderWithoutNewFiles_data();
  void rewriteInFolderWithoutNewFiles();
  void toolIsNotKilledByTheLimit();
};

void TestFileLimits::writeUnderFileSizeLimit_data()
{
  QTest::addColumn<bool>("ignoreSignal");
  QTest::addColumn<int>("mode");
  QTest::addColumn<int>("oldLines");
  QTest::addColumn<int>("newLines");
  QTest::addColumn<int>("kind");
  using K = MeasurementFileError::Kind;
  using M = MeasurementWriteMode;
  // Without the start-up line the signal ends the program mid-write: the case
  // the rows below would otherwise not show.
  QTest::newRow("append, default action") << false << int(M::Append) << 100 << 1000 << -1;
  QTest::newRow("append past the limit") << true << int(M::Append) << 100 << 1000 << int(K::Append);
  QTest::newRow("append of one line just past the limit")
      << true << int(M::Append) << 255 << 1 << int(K::Append);
  QTest::newRow("append within the limit") << true << int(M::Append) << 100 << 10 << int(K::None);
  QTest::newRow("rewrite past the limit") << true << int(M::Rewrite) << 3 << 1000 << int(K::Write);
  QTest::newRow("new file past the limit") << true << int(M::Create) << 0 << 1000 << int(K::Write);
}

void TestFileLimits::writeUnderFileSizeLimit()
{
  QFETCH(bool, ignoreSignal);
  QFETCH(int, mode);
  QFETCH(int, oldLines);
  QFETCH(int, newLines);
  QFETCH(int, kind);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("limit.csv"));
  const QByteArray old = countLines(oldLines);
  if (oldLines > 0)
    putFile(path, old);

  const ChildResult r =
      writeInChild({ignoreSignal, 4096, false}, path, countLines(newLines, "11:00:00;06,00\r\n"),
                   static_cast<MeasurementWriteMode>(mode));
  if (kind < 0) {
    QCOMPARE(r.signal, SIGXFSZ);
    return;
  }
  QVERIFY2(r.exited, qPrintable(QStringLiteral("killed by signal %1").arg(r.signal)));
  QCOMPARE(int(r.kind), kind);
  if (kind == int(MeasurementFileError::Kind::None)) {
    QVERIFY(fileBytes(path).startsWith(old));
    QVERIFY(fileBytes(path).endsWith(countLines(newLines, "11:00:00;06,00\r\n")));
    return;
  }
  QVERIFY2(r.message.contains(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(r.message));
  if (oldLines > 0)
    QCOMPARE(fileBytes(path), old);  // not one byte of half a record
  else
    QVERIFY(!QFile::exists(path));
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), oldLines > 0 ? 1 : 0);
}

void TestFileLimits::rewriteInFolderWithoutNewFiles_data()
{
  QTest::addColumn<bool>("fileWritable");
  QTest::addColumn<int>("mode");
  QTest::addColumn<int>("limit");
  QTest::addColumn<int>("kind");
  QTest::addColumn<QString>("content");  // old, new or part of new
  using K = MeasurementFileError::Kind;
  using M = MeasurementWriteMode;
  QTest::newRow("rewritten in place") << true << int(M::Rewrite) << 0 << int(K::None) << "new";
  QTest::newRow("in-place failure says the file holds part")
      << true << int(M::Rewrite) << 4096 << int(K::RewriteInPlace) << "part";
  QTest::newRow("read-only file is left alone")
      << false << int(M::Rewrite) << 0 << int(K::Write) << "old";
  QTest::newRow("append still appends")
      << true << int(M::Append) << 0 << int(K::None) << "appended";
}

void TestFileLimits::rewriteInFolderWithoutNewFiles()
{
  QFETCH(bool, fileWritable);
  QFETCH(int, mode);
  QFETCH(int, limit);
  QFETCH(int, kind);
  QFETCH(QString, content);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("locked.csv"));
  const QByteArray old = countLines(20);
  const QByteArray lines = countLines(1000, "11:00:00;06,00\r\n");
  putFile(path, old);
  lockFolder(dir.path(), path, fileWritable);

  const ChildResult r = writeInChild({true, limit > 0 ? rlim_t(limit) : RLIM_INFINITY, true}, path,
                                     lines, static_cast<MeasurementWriteMode>(mode));
  QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0700) == 0);
  QVERIFY2(r.exited, qPrintable(QStringLiteral("killed by signal %1").arg(r.signal)));
  QCOMPARE(int(r.kind), kind);
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("locked.csv")});
  const QByteArray now = fileBytes(path);
  if (content == QStringLiteral("new")) {
    QCOMPARE(now, lines);
  } else if (content == QStringLiteral("old")) {
    QCOMPARE(now, old);
    QVERIFY2(r.message.contains(QStringLiteral("unchanged")), qPrintable(r.message));
  } else if (content == QStringLiteral("part")) {
    QCOMPARE(now.size(), qsizetype{limit});
    QVERIFY(lines.startsWith(now));
    QVERIFY2(r.message.contains(QString::fromLocal8Bit(std::strerror(EFBIG))) &&
                 r.message.contains(QStringLiteral("part of the data")),
             qPrintable(r.message));
  } else {
    QVERIFY(now.startsWith(old) && now.endsWith(lines));
  }
}

// The headless tool ignores the signal too: its output, sent to a file past
// the limit, fails with EFBIG instead of killing the tool.
void TestFileLimits::toolIsNotKilledByTheLimit()
{
  QTemporaryDir dir;
  const QString csv = dir.filePath(QStringLiteral("many.csv"));
  putFile(csv, countLines(2000));
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_DFL);
    rlimit lim{1024, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    const QByteArray out = QFile::encodeName(dir.filePath(QStringLiteral("out.txt")));
    if (!std::freopen(out.constData(), "w", stdout))
      ::_exit(100);
    const QByteArray tool = QByteArrayLiteral(RZ37M_BIN_DIR "/rz37m-tool");
    const QByteArray file = QFile::encodeName(csv);
    ::execl(tool.constData(), tool.constData(), "linear", file.constData(),
            static_cast<char*>(nullptr));
    ::_exit(101);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  QVERIFY2(WIFEXITED(status), qPrintable(QStringLiteral("signal %1").arg(WTERMSIG(status))));
  QVERIFY(WEXITSTATUS(status) < 100);
  QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("out.txt"))).size(), qint64{1024});
}

QTEST_GUILESS_MAIN(TestFileLimits)
#include "test_file_limits.moc"
