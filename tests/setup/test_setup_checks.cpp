// What Setup decides before and around an installation: launcher quoting, the
// settings it writes, free space, the running program, the system summary, the
// libraries, the payload, the command line and the one-Setup-at-a-time lock.

#include "desktop_entry.h"
#include "install_checks.h"
#include "installer.h"
#include "payload.h"
#include "setup_command.h"
#include "system_summary.h"

#include "support/test_files.h"

#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

class TestSetupChecks : public QObject {
  Q_OBJECT

 private slots:
  void execLineQuotesByTheDesktopEntryRules_data()
  {
    QTest::addColumn<QStringList>("argv");
    QTest::addColumn<QString>("exec");
    QTest::newRow("plain") << QStringList{"/opt/a/RZ-37m"} << "/opt/a/RZ-37m";
    QTest::newRow("space") << QStringList{"/home/a b/RZ-37m"} << "\"/home/a b/RZ-37m\"";
    QTest::newRow("percent") << QStringList{"/x/100%/p"} << "/x/100%%/p";
    QTest::newRow("dollar") << QStringList{"/x/$HOME/p"} << "\"/x/\\\\$HOME/p\"";
    QTest::newRow("quotes") << QStringList{"/x/it's \"q\"/p"} << "\"/x/it's \\\\\"q\\\\\"/p\"";
    QTest::newRow("backquote and backslash")
        << QStringList{"/x/`a`\\b"} << "\"/x/\\\\`a\\\\`\\\\\\\\b\"";
    QTest::newRow("two arguments") << QStringList{"xdg-open", "/d/Data/"} << "xdg-open /d/Data/";
  }
  void execLineQuotesByTheDesktopEntryRules()
  {
    QFETCH(QStringList, argv);
    QFETCH(QString, exec);
    QCOMPARE(execLine(argv), exec);
  }

  void configGetsTheDataFolder_data()
  {
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("replaces DB, keeps CR LF")
        << QByteArray("[View]\r\nPage=1\r\nDB=C:\\x\r\nX=1\r\n")
        << QByteArray("[View]\r\nPage=1\r\nDB=/a/Data/\r\nX=1\r\n");
    QTest::newRow("DB only in View") << QByteArray("[Polar]\nDB=keep\n[View]\nDB=\n")
                                     << QByteArray("[Polar]\nDB=keep\n[View]\nDB=/a/Data/\n");
    QTest::newRow("adds a missing key")
        << QByteArray("[View]\r\nPage=1\r\n[Other]\r\n")
        << QByteArray("[View]\r\nPage=1\r\nDB=/a/Data/\r\n[Other]\r\n");
    QTest::newRow("adds a missing section")
        << QByteArray("[Polar]\nMean=255")
        << QByteArray("[Polar]\nMean=255\n[View]\nDB=/a/Data/\n");
  }
  void configGetsTheDataFolder()
  {
    QFETCH(QByteArray, config);
    QFETCH(QByteArray, expected);
    QCOMPARE(configWithDataFolder(config, QStringLiteral("/a/Data/")), expected);
  }

  void freeSpaceIsCountedInWholeMebibytes_data()
  {
    QTest::addColumn<qint64>("freeBytes");
    QTest::addColumn<bool>("enough");
    constexpr qint64 MiB = qint64(1024) * 1024;
    QTest::newRow("4 MiB") << 4 * MiB << false;
    QTest::newRow("just under 5 MiB") << 5 * MiB - 1 << false;
    QTest::newRow("5 MiB") << 5 * MiB << true;
    QTest::newRow("plenty") << 1000 * MiB << true;
  }
  void freeSpaceIsCountedInWholeMebibytes()
  {
    QFETCH(qint64, freeBytes);
    QFETCH(bool, enough);
    QCOMPARE(enoughSpace(freeBytes, requiredBytes(0)), enough);
    QCOMPARE(requiredBytes(0), 5 * 1024 * 1024);
    QCOMPARE(requiredBytes(7 * 1024 * 1024 + 1), 8 * 1024 * 1024);
  }

  void freeSpaceIsThatOfTheFoldersOwnFileSystem()
  {
    QTemporaryDir dir;
    const QString missing = dir.path() + QStringLiteral("/not/yet/there");
    const QStorageInfo storage(dir.path());
    // Other programs write meanwhile: keep well clear of the boundary.
    const qint64 free = storage.bytesAvailable();
    const SpaceCheck fits = checkFreeSpace(missing, free / 2);
    QCOMPARE(fits.mountRoot, storage.rootPath());
    QVERIFY(fits.enough);
    QVERIFY(!checkFreeSpace(missing, free * 2 + qint64(1024) * 1024 * 1024).enough);
  }

  void runningProgramIsSeenByItsLock()
  {
    QTemporaryDir dir;
    const SetupPaths paths = SetupPaths::rooted(dir.path());
    QVERIFY(!programRunning(paths, paths.dataHome + QStringLiteral("/Norvane/RZ-37m")));
    QVERIFY(QDir().mkpath(paths.runtimeDir));
    const int fd =
        ::open(QFile::encodeName(paths.programLockFile()).constData(), O_RDWR | O_CREAT, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
    QVERIFY(programRunning(paths, paths.dataHome + QStringLiteral("/Norvane/RZ-37m")));
    ::close(fd);
    QVERIFY(!programRunning(paths, paths.dataHome + QStringLiteral("/Norvane/RZ-37m")));
  }

  void runningProgramIsSeenByItsProcess()
  {
    // The real /proc: a program file started from the application folder.
    QTemporaryDir app;
    SetupPaths paths = SetupPaths::system();
    paths.runtimeDir = app.path() + QStringLiteral("/no-runtime");
    for (const QString& name : {QStringLiteral("RZ-37m"), QStringLiteral("Setup")})
      QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), app.path() + u'/' + name));
    QProcess setup;
    setup.start(app.path() + QStringLiteral("/Setup"), {QStringLiteral("30")});
    QVERIFY(setup.waitForStarted());
    QVERIFY(!programRunning(paths, app.path()));  // Setup may run from the folder it removes
    QProcess program;
    program.start(app.path() + QStringLiteral("/RZ-37m"), {QStringLiteral("30")});
    QVERIFY(program.waitForStarted());
    QVERIFY(programRunning(paths, app.path()));
    program.kill();
    program.waitForFinished();
    QVERIFY(!programRunning(paths, app.path()));
    setup.kill();
    setup.waitForFinished();
  }

  void summaryLeavesOutWhatIsMissing()
  {
    const QByteArray cpuinfo =
        "processor\t: 0\nmodel name\t: Test CPU A\ncpu MHz\t\t: 2399.996\n\n"
        "processor\t: 1\nmodel name\t: Test CPU A\ncpu MHz\t\t: 2400.501\n\n";
    QCOMPARE(processorLines(cpuinfo),
             QStringLiteral("CPU1: Test CPU A 2400MHz\r\nCPU2: Test CPU A 2401MHz"));
    QCOMPARE(processorLines("processor\t: 0\nmodel name\t: No clock\n"),
             QStringLiteral("CPU1: No clock"));
    QCOMPARE(memoryLine("MemTotal:       16318004 kB\n"), QStringLiteral("RAM: 15935 MB"));
    QCOMPARE(memoryLine("garbage"), QString());
    QCOMPARE(operatingSystemText("NAME=x\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n", {}),
             QStringLiteral("Debian GNU/Linux 12 (bookworm)"));

    QTemporaryDir dir;
    const SetupPaths paths = SetupPaths::rooted(dir.path());
    QCOMPARE(systemSummary(paths, {}), QString());  // nothing known: nothing shown, no failure
    QVERIFY(QDir().mkpath(paths.proc));
    putFile(paths.proc + QStringLiteral("/cpuinfo"), cpuinfo);
    QCOMPARE(systemSummary(paths, {1920, 1080, 24}),
             QStringLiteral("CPU1: Test CPU A 2400MHz\r\nCPU2: Test CPU A 2401MHz\r\n"
                            "Video adapter: 1080x1920 [24 bit]"));
    QVERIFY(
        systemSummary(paths, {}, false).contains(QStringLiteral("sudo usermod -aG dialout $USER")));
    QCOMPARE(systemSummary(paths, {}, true),
             QStringLiteral("CPU1: Test CPU A 2400MHz\r\nCPU2: Test CPU A 2401MHz\r\n"
                            "Serial ports: you are in the dialout group."));
    QCOMPARE(inGroup("rz37m-no-such-group"), std::nullopt);
  }

  void missingLibrariesComeWithTheAptLine()
  {
    QTemporaryDir dir;
    putFile(dir.path() + QStringLiteral("/libthere.so.1"), "");
    const QList<LibraryNeed> needs = parseLibraryList(
        "libthere.so.1\tlibthere1\nlibgone.so.2\tlibgone2\nlibother.so.3\tlibgone2\nlibnone.so."
        "4\t\n");
    const QList<LibraryNeed> missing = missingLibraries(needs, {dir.path()});
    QCOMPARE(missing.size(), 3);
    QCOMPARE(missing[0].soname, QStringLiteral("libgone.so.2"));
    QCOMPARE(aptLine(missing), QStringLiteral("sudo apt-get install libgone2"));
    QCOMPARE(aptLine({}), QString());
    putFile(dir.path() + QStringLiteral("/x.conf"), "# comment\n/usr/lib/special\n");
    QVERIFY(libraryFolders(dir.path()).contains(QStringLiteral("/usr/lib/special")));
  }

  void payloadSurvivesTheRoundTripAndDamageIsSeen()
  {
    Payload p;
    p.entries = {{QStringLiteral("RZ-37m"), 0755, QByteArray(5000, 'x')},
                 {QStringLiteral("empty"), 0644, QByteArray()},
                 {LibraryListEntry, 0644, QByteArray("libx.so\tpkg\n")}};
    const QByteArray file = QByteArray("ELF program bytes") + p.serialize();
    QString error;
    const std::optional<Payload> back = Payload::parse(file, &error);
    QVERIFY2(back, qPrintable(error));
    QCOMPARE(back->entries.size(), 3);
    QCOMPARE(back->entries[0].data, p.entries[0].data);
    QCOMPARE(back->entries[0].mode, 0755u);
    QCOMPARE(back->entries[1].data, QByteArray());
    QCOMPARE(back->files().size(), 2);
    QVERIFY(!Payload::parse("ELF program bytes", &error));
    QByteArray damaged = file;
    damaged[30] = char(damaged[30] ^ 0x55);
    QVERIFY(!Payload::parse(damaged, &error));
    QVERIFY(error.contains(QStringLiteral("damaged")));
    Payload escaping;
    escaping.entries = {{QStringLiteral("../outside"), 0644, QByteArray("x")}};
    QVERIFY(!Payload::parse(escaping.serialize(), &error));
  }

  void commandLine_data()
  {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("usable");
    QTest::newRow("wizard") << QStringList{} << true;
    QTest::newRow("install") << QStringList{"--root",   "/r", "--unattended",  "--install",
                                            "--target", "/t", "--desktop-icon"}
                             << true;
    QTest::newRow("remove") << QStringList{"--unattended", "--remove"} << true;
    QTest::newRow("no action") << QStringList{"--unattended"} << false;
    QTest::newRow("both actions") << QStringList{"--unattended", "--install", "--remove"} << false;
    QTest::newRow("action without unattended") << QStringList{"--install"} << false;
    QTest::newRow("target with remove")
        << QStringList{"--unattended", "--remove", "--target", "/t"} << false;
    QTest::newRow("missing value") << QStringList{"--unattended", "--install", "--target"} << false;
    QTest::newRow("unknown") << QStringList{"--silent"} << false;
    QTest::newRow("control character")
        << QStringList{"--unattended", "--install", "--target", "/a\tb"} << false;
  }
  void commandLine()
  {
    QFETCH(QStringList, args);
    QFETCH(bool, usable);
    const SetupOptions o = parseSetupOptions(args);
    QCOMPARE(o.usageError.isEmpty(), usable);
  }

  void oneSetupAtATime()
  {
    QTemporaryDir dir;
    SetupLock first(dir.path());
    QVERIFY(first.acquired());
    {
      SetupLock second(dir.path());
      QVERIFY(!second.acquired());
    }
    QVERIFY(first.acquired());
  }

  void desktopFolderFromUserDirs()
  {
    QCOMPARE(desktopFolderFrom("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", QStringLiteral("/h")),
             QStringLiteral("/h/Schreibtisch"));
    QCOMPARE(desktopFolderFrom("# none\n", QStringLiteral("/h")), QString());
    QCOMPARE(desktopFolderFrom("XDG_DESKTOP_DIR=\"/abs/Desk\"\n", QStringLiteral("/h")),
             QStringLiteral("/abs/Desk"));
  }
};

QTEST_GUILESS_MAIN(TestSetupChecks)
#include "test_setup_checks.moc"
