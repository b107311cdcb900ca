// The built Setup with its attached files, run as scripts run it: install into
// a temporary root, start the installed program, refuse what must be refused,
// remove; and the Debian package's tree holds the same files.

#include "install_checks.h"
#include "registry.h"
#include "setup_paths.h"

#include "support/test_files.h"

#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString SetupProgram = QStringLiteral(RZ37M_BIN_DIR "/Setup");
constexpr uid_t Nobody = 65534;

struct Run {
  int code = -1;
  QString err;
};

Run setup(const QStringList& args, const std::function<void()>& asUser = {})
{
  QProcess p;
  if (asUser)
    p.setChildProcessModifier(asUser);
  p.start(SetupProgram, args);
  if (!p.waitForFinished(30000))
    return {};
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          QString::fromLocal8Bit(p.readAllStandardError())};
}

QStringList install(const QString& root)
{
  return {"--root", root, "--unattended", "--install"};
}
QStringList removal(const QString& root)
{
  return {"--root", root, "--unattended", "--remove"};
}

// Passes when the tool succeeds and says nothing beyond hints.
bool tool(const QString& program, const QStringList& args)
{
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(10000) || p.exitCode() != 0)
    return false;
  const QByteArray out = p.readAllStandardOutput();
  return !out.contains("error") && !out.contains("warning");
}

QStringList filesBelow(const QString& folder)
{
  QStringList out;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext())
    out << it.next().mid(folder.size() + 1);
  out.sort();
  return out;
}

void becomeNobody()
{
  if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
    ::_exit(99);
}

void chownTree(const QString& path)
{
  QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  (void)::chown(QFile::encodeName(path).constData(), Nobody, Nobody);
  while (it.hasNext())
    (void)::lchown(QFile::encodeName(it.next()).constData(), Nobody, Nobody);
}

}  // namespace

class TestSetupProgram : public QObject {
  Q_OBJECT

 private slots:
  void installedProgramRunsAndRemovalWaitsForIt()
  {
    QTemporaryDir root;
    const SetupPaths paths = SetupPaths::rooted(root.path());
    Run r = setup(install(root.path()) << "--desktop-icon");
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QString app = paths.dataHome + QStringLiteral("/Norvane/RZ-37m");
    for (const QString& archive : {QStringLiteral("VCP/Lin/X64/rz37m-udev.tar.gz"),
                                   QStringLiteral("VCP/Lin/X86/rz37m-udev.tar.gz")})
      QVERIFY2(tool(QStringLiteral("gzip"), {QStringLiteral("-t"), app + u'/' + archive}),
               qPrintable(archive));
    QStringList launchers = filesBelow(paths.menuFolder());
    for (QString& l : launchers)
      l.prepend(paths.menuFolder() + u'/');
    launchers << paths.desktopDir + QStringLiteral("/RZ-37m connect.desktop");
    launchers << paths.menuDirectoryFile(QStringLiteral("norvane-rz37m.directory"))
              << paths.menuDirectoryFile(QStringLiteral("norvane-rz37m-uninstall.directory"));
    QCOMPARE(launchers.size(), 7);
    QVERIFY2(tool(QStringLiteral("desktop-file-validate"), launchers), "a launcher is invalid");
    QVERIFY(fileBytes(app + QStringLiteral("/Config.ini"))
                .contains("\r\nDB=" + app.toUtf8() + "/Data/\r\n"));
#ifdef RZ37M_HAVE_MANUALS
    for (const char* manual :
         {"EN_Program_manual.pdf", "EN_RZ-37m_manual.pdf", "EN_RZ-48_manual.pdf"})
      QVERIFY2(fileBytes(app + u'/' + QLatin1String(manual)).startsWith("%PDF"), manual);
#endif

    // The installed program, started as its launcher starts it.
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), paths.home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), paths.runtimeDir);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), paths.configHome);
    env.insert(QStringLiteral("XDG_DATA_HOME"), paths.dataHome);
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(app);
    program.start(app + QStringLiteral("/RZ-37m"), {});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(programRunning(paths, app), 15000);
    r = setup(removal(root.path()));
    QCOMPARE(r.code, 3);
    QVERIFY(r.err.contains(QStringLiteral("is running")));
    QVERIFY(QFileInfo::exists(app + QStringLiteral("/RZ-37m")));
    QVERIFY(InstallRegistry(paths.registryFolder()).installed());
    QCOMPARE(program.state(), QProcess::Running);  // it started and stays up
    program.kill();
    program.waitForFinished();

    putFile(app + QStringLiteral("/Data/m1.csv"), "10:00:00;05,43\n");
    r = setup(removal(root.path()));
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(filesBelow(app), QStringList{QStringLiteral("Data/m1.csv")});
    QVERIFY(!QFileInfo::exists(paths.desktopDir + QStringLiteral("/RZ-37m connect.desktop")));
    QVERIFY(!QFileInfo::exists(paths.menuFolder()));
    QVERIFY(!QFileInfo::exists(paths.menuMergeFile()));
  }

  void refusals()
  {
    QTemporaryDir root;
    QCOMPARE(setup(removal(root.path())).code, 3);  // nothing installed
    QCOMPARE(setup({"--unattended"}).code, 2);
    QCOMPARE(setup({"--root", root.path(), "--unattended", "--install", "--target", "/a\x01"}).code,
             2);
    QCOMPARE(setup(install(root.path())).code, 0);
    const Run again = setup(install(root.path()));
    QCOMPARE(again.code, 3);
    QVERIFY(again.err.contains(QStringLiteral("already installed")));
    {
      SetupLock other(SetupPaths::rooted(root.path()).runtimeDir);
      QVERIFY(other.acquired());
      const Run second = setup(removal(root.path()));
      QCOMPARE(second.code, 3);
      QVERIFY(second.err.contains(QStringLiteral("Another")));
    }
    QCOMPARE(setup(removal(root.path())).code, 0);
    if (::geteuid() == 0) {
      const Run asRoot = setup({"--unattended", "--install"});
      QCOMPARE(asRoot.code, 3);
      QVERIFY(asRoot.err.contains(QStringLiteral("Debian package")));
    }
  }

  void readOnlyTargetFailsWithNothingLeftBehind()
  {
    QTemporaryDir root;
    const QString target = root.path() + QStringLiteral("/readonly");
    QVERIFY(QDir().mkpath(target));
    ::chmod(QFile::encodeName(root.path()).constData(), 0755);
    std::function<void()> asUser;
    if (::geteuid() == 0) {
      chownTree(root.path());
      QCOMPARE(::chown(QFile::encodeName(target).constData(), 0, 0), 0);  // not the user's
      asUser = becomeNobody;
    }
    ::chmod(QFile::encodeName(target).constData(), 0555);
    const Run r = setup(install(root.path()) << "--target" << target, asUser);
    ::chmod(QFile::encodeName(target).constData(), 0755);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(target + QStringLiteral("/Norvane")) &&
                 r.err.contains(QStringLiteral("Permission denied")),
             qPrintable(r.err));
    QVERIFY(QDir(target).isEmpty());
    QVERIFY(!QFileInfo::exists(SetupPaths::rooted(root.path()).registryFolder()));
    QVERIFY(!QFileInfo::exists(SetupPaths::rooted(root.path()).menuFolder()));
  }

  void debianPackageHoldsTheSameFiles()
  {
    QTemporaryDir root;
    QCOMPARE(setup(install(root.path())).code, 0);
    const QString app =
        SetupPaths::rooted(root.path()).dataHome + QStringLiteral("/Norvane/RZ-37m");
    const QString staged = root.path() + QStringLiteral("/package");
    QProcess p;
    p.start(QStringLiteral(RZ37M_CMAKE_COMMAND),
            {QStringLiteral("--install"), QStringLiteral(RZ37M_BUILD_DIR),
             QStringLiteral("--prefix"), staged});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    const QString opt = staged + QStringLiteral("/opt/Norvane/RZ-37m");
    QStringList setupFiles = filesBelow(app);
    setupFiles.removeAll(QStringLiteral("Setup"));  // removal's own copy
    setupFiles.removeAll(QStringLiteral(".rz37m-manifest"));
    QCOMPARE(filesBelow(opt), setupFiles);
    for (const QString& f : setupFiles) {
      if (f == QStringLiteral("Config.ini"))
        continue;  // Setup points DB at its Data folder
      QVERIFY2(fileBytes(app + u'/' + f) == fileBytes(opt + u'/' + f), qPrintable(f));
      QCOMPARE(QFileInfo(app + u'/' + f).permissions(), QFileInfo(opt + u'/' + f).permissions());
    }
    QVERIFY(fileBytes(opt + QStringLiteral("/Config.ini")).contains("\r\nDB=\r\n"));
    QVERIFY(QFileInfo(staged + QStringLiteral("/usr/lib/udev/rules.d/70-rz37m-connect.rules"))
                .isFile());
    QCOMPARE(QFileInfo(staged + QStringLiteral("/usr/bin/rz37m-connect")).symLinkTarget(),
             QStringLiteral("/opt/Norvane/RZ-37m/RZ-37m"));
    QVERIFY(tool(QStringLiteral("desktop-file-validate"),
                 {staged + QStringLiteral("/usr/share/applications/rz37m-connect.desktop")}));
  }
};

QTEST_GUILESS_MAIN(TestSetupProgram)
#include "test_setup_program.moc"
