// The program's folder, and the user's folder that takes over the files the
// program writes when the program's folder cannot be written (an install under /opt).

#include "common/program_folder.h"

#include "support/test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

// What a user who may not write the program's folder sees, as a bit set of
// failed checks (0: all held). Runs in a child that gives up root, since
// permissions do not stop root.
int checksAsUser(const QString& program, const QString& dataHome)
{
  int failed = 0;
  ProgramFolder::setOverride(program);
  qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
  const QString user = dataHome + QStringLiteral("/Norvane/RZ-37m");
  if (ProgramFolder::writableFolder() != user)
    failed |= 1;
  if (ProgramFolder::file(QStringLiteral("Config.ini")) != user + QStringLiteral("/Config.ini"))
    failed |= 2;
  if (fileBytes(user + QStringLiteral("/Config.ini")) != "[View]\r\nDB=\r\n")
    failed |= 4;  // seeded from the installed default
  if (fileBytes(ProgramFolder::file(QStringLiteral("Stress_DB.csv"))) != "installed table\n")
    failed |= 8;
  if (ProgramFolder::dataFolder() != user + QStringLiteral("/Data") ||
      !QFileInfo(user + QStringLiteral("/Data")).isDir())
    failed |= 16;
  if (ProgramFolder::outputFolder() != user + QStringLiteral("/Output"))
    failed |= 32;
  if (ProgramFolder::file(QStringLiteral("EN_Program_manual.pdf")) !=
      program + QStringLiteral("/EN_Program_manual.pdf"))
    failed |= 64;  // the manuals stay with the program
  // A second start keeps what the user changed.
  QFile f(user + QStringLiteral("/Config.ini"));
  if (!f.open(QIODevice::WriteOnly) || f.write("[View]\r\nDB=/mine/\r\n") < 0)
    failed |= 128;
  f.close();
  if (fileBytes(ProgramFolder::file(QStringLiteral("Config.ini"))) != "[View]\r\nDB=/mine/\r\n")
    failed |= 256;
  return failed;
}

}  // namespace

class TestProgramFolder : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { ProgramFolder::setOverride({}); }

  void writableFolderKeepsEverythingBesideTheProgram()
  {
    QTemporaryDir dir;
    ProgramFolder::setOverride(dir.path());
    QCOMPARE(ProgramFolder::writableFolder(), dir.path());
    QCOMPARE(ProgramFolder::file(QStringLiteral("Config.ini")),
             dir.path() + QStringLiteral("/Config.ini"));
    QCOMPARE(ProgramFolder::dataFolder(), dir.path() + QStringLiteral("/Data"));
  }

  void readOnlyFolderMovesWrittenFilesToTheUsersFolder()
  {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString program = dir.path() + QStringLiteral("/opt");
    const QString dataHome = dir.path() + QStringLiteral("/share");
    QVERIFY(QDir().mkpath(program) && QDir().mkpath(dataHome));
    putFile(program + QStringLiteral("/Config.ini"), "[View]\r\nDB=\r\n");
    putFile(program + QStringLiteral("/Stress_DB.csv"), "installed table\n");
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    ::chmod(QFile::encodeName(program).constData(), 0555);
    if (::geteuid() != 0) {
      QCOMPARE(checksAsUser(program, dataHome), 0);
      ::chmod(QFile::encodeName(program).constData(), 0755);
      return;
    }
    QCOMPARE(::chown(QFile::encodeName(dataHome).constData(), Nobody, Nobody), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
        ::_exit(200);
      ::_exit(checksAsUser(program, dataHome));
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    ::chmod(QFile::encodeName(program).constData(), 0755);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
  }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "test_program_folder.moc"
