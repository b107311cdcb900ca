// Installing into and removing from a temporary root, in process.

#include "desktop_entry.h"
#include "install_checks.h"
#include "installer.h"
#include "registry.h"
#include "remover.h"
#include "setup_fixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>

namespace {

quint32 modeOf(const QString& path)
{
  struct stat st {};
  ::lstat(QFile::encodeName(path).constData(), &st);
  return st.st_mode & 07777;
}

StepResult install(const SetupRoot& r, const Payload& p = smallPayload(),
                   const QString& folder = {})
{
  SilentProgress progress;
  return runInstallation(r.paths, p, r.request(folder), progress);
}

StepResult remove(const SetupRoot& r)
{
  SilentProgress progress;
  return removeInstallation(r.paths, progress);
}

}  // namespace

class TestInstaller : public QObject {
  Q_OBJECT

 private slots:
  void installWritesTheApplicationFolderMenuAndRecord()
  {
    SetupRoot r;
    const StepResult res = install(r);
    QVERIFY2(res.ok, qPrintable(res.error));
    const QString app = r.app();
    for (const PayloadEntry& e : smallPayload().entries) {
      if (e.path != QStringLiteral("Config.ini"))
        QCOMPARE(fileBytes(app + u'/' + e.path), e.data);
      QCOMPARE(modeOf(app + u'/' + e.path), e.mode);
    }
    QCOMPARE(fileBytes(app + QStringLiteral("/Setup")), QByteArray("setup program"));
    QCOMPARE(modeOf(app + QStringLiteral("/Setup")), 0755u);
    QVERIFY(QFileInfo(app + QStringLiteral("/Data")).isDir());
    QVERIFY(QFileInfo(app + QStringLiteral("/Output")).isDir());
    QVERIFY(fileBytes(app + QStringLiteral("/Config.ini"))
                .contains("[View]\r\nPage=1\r\nDB=" + app.toUtf8() + "/Data/\r\nX=17\r\n"));
    const InstallRegistry reg(r.paths.registryFolder());
    QVERIFY(reg.installed());
    QCOMPARE(reg.inst(), r.installFolder() + u'/');
    const auto un = InstallRegistry::readValues(reg.uninstallFile());
    QCOMPARE(un.value(QStringLiteral("DisplayName")), QStringLiteral("RZ-37m connect"));
    QCOMPARE(un.value(QStringLiteral("UninstallString")), app + QStringLiteral("/Setup"));
    QCOMPARE(un.value(QStringLiteral("Publiser")), QStringLiteral("Norvane"));
    QCOMPARE(un.value(QStringLiteral("DisplayIcon")), app + QStringLiteral("/Setup"));
    const QString menu = r.paths.menuFolder();
    for (const QString& f :
         {QStringLiteral("Data.desktop"), QStringLiteral("Drivers.desktop"),
          QStringLiteral("RZ-37m connect.desktop"), QStringLiteral("Uninstall/Uninstall.desktop")})
      QVERIFY2(QFileInfo::exists(menu + u'/' + f), qPrintable(f));
    // The group for menus that follow the freedesktop menu rules.
    QVERIFY(fileBytes(r.paths.menuMergeFile()).contains("<Category>X-Norvane-RZ37m</Category>"));
    QVERIFY(fileBytes(menu + QStringLiteral("/Data.desktop"))
                .contains("Categories=X-Norvane-RZ37m;\n"));
    QVERIFY(fileBytes(r.paths.menuDirectoryFile(QStringLiteral("norvane-rz37m.directory")))
                .contains("Type=Directory\n"));
    QVERIFY(fileBytes(menu + QStringLiteral("/Drivers.desktop"))
                .contains("Exec=xdg-open " + app.toUtf8() + "/VCP/\n"));
    // No desktop icon unless asked for.
    QVERIFY(!QFileInfo::exists(r.paths.desktopDir + u'/' + DesktopIconName));
  }

  void applicationFolderJoinsWithOneSlash_data()
  {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("app");
    QTest::addColumn<QString>("inst");
    QTest::newRow("root") << "/"
                          << "/Norvane/RZ-37m"
                          << "/";
    QTest::newRow("plain") << "/home/u/.local/share"
                           << "/home/u/.local/share/Norvane/RZ-37m"
                           << "/home/u/.local/share/";
    QTest::newRow("trailing slash") << "/srv/apps/"
                                    << "/srv/apps/Norvane/RZ-37m"
                                    << "/srv/apps/";
  }
  void applicationFolderJoinsWithOneSlash()
  {
    QFETCH(QString, folder);
    QFETCH(QString, app);
    QFETCH(QString, inst);
    QCOMPARE(applicationFolderOf(folder), app);
    QCOMPARE(instValueOf(folder), inst);
  }

  void unusualFolderNamesWork()
  {
    SetupRoot r;
    const QString folder = r.dir.path() + QStringLiteral("/it's \"my\" 100% $HOME `x`");
    QVERIFY2(install(r, smallPayload(), folder).ok, "install");
    const QString app = applicationFolderOf(folder);
    QVERIFY(QFileInfo::exists(app + QStringLiteral("/RZ-37m")));
    QString error;
    QVERIFY2(createDesktopIcon(r.paths, app, &error), qPrintable(error));
    const QString icon = r.paths.desktopDir + u'/' + DesktopIconName;
    QCOMPARE(modeOf(icon), 0755u);
    if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
      QProcess v;
      v.start(QStringLiteral("desktop-file-validate"),
              {icon, r.paths.menuFolder() + QStringLiteral("/Data.desktop")});
      QVERIFY(v.waitForFinished());
      const QByteArray said = v.readAllStandardOutput();
      QVERIFY2(v.exitCode() == 0 && !said.contains("error") && !said.contains("warning"),
               said.constData());
    }
    QVERIFY(remove(r).ok);
    QVERIFY(!QFileInfo::exists(app));
    QVERIFY(!QFileInfo::exists(icon));
  }

  void controlCharactersAreRefused()
  {
    SetupRoot r;
    const StepResult res = install(r, smallPayload(), r.dir.path() + QStringLiteral("/a\nb"));
    QVERIFY(!res.ok);
    QVERIFY(!InstallRegistry(r.paths.registryFolder()).installed());
    QVERIFY(!trustedInst(QStringLiteral("/home/u\t/")));
    QVERIFY(!trustedInst(QStringLiteral("home/u/")));
    QVERIFY(!trustedInst(QStringLiteral("/home/u/../../etc/")));
    QVERIFY(trustedInst(QStringLiteral("/home/u/$x %y 'z'/")));
  }

  void fullTargetFailsWithNothingLeftBehind()
  {
    SetupRoot r;
    const QStringList before = r.tree();
    Payload big = smallPayload();
    big.entries[0].data = QByteArray(qsizetype(300) * 1024, 'x');
    StepResult res;
    {
      FileSizeLimit limit(rlim_t(200) * 1024);
      res = install(r, big);
    }
    QVERIFY(!res.ok);
    QVERIFY2(res.error.contains(r.app() + QStringLiteral("/RZ-37m")), qPrintable(res.error));
    QVERIFY2(res.error.contains(QStringLiteral("large")), qPrintable(res.error));
    QCOMPARE(r.tree(), before);
  }

  void failedRecordUndoesTheWholeInstallation()
  {
    SetupRoot r;
    // A file where the registry folder belongs: the record cannot be written.
    QVERIFY(QDir().mkpath(r.paths.configHome + QStringLiteral("/Norvane")));
    putFile(r.paths.registryFolder(), "in the way");
    const QStringList before = r.tree();
    const StepResult res = install(r);
    QVERIFY(!res.ok);
    QVERIFY2(res.error.contains(r.paths.registryFolder()), qPrintable(res.error));
    QCOMPARE(r.tree(), before);
  }

  void reinstallOverOldFilesKeepsAnEditedTable_data()
  {
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<bool>("backup");
    QTest::newRow("edited") << QByteArray("my steel;1;2\n") << true;
    QTest::newRow("default") << QByteArray("default table\n") << false;
  }
  void reinstallOverOldFilesKeepsAnEditedTable()
  {
    QFETCH(QByteArray, table);
    QFETCH(bool, backup);
    SetupRoot r;
    QVERIFY(install(r).ok);
    putFile(r.app() + QStringLiteral("/Stress_DB.csv"), table);
    putFile(r.app() + QStringLiteral("/Data/m1.csv"), "10:00:00;05,43\n");
    QVERIFY(InstallRegistry(r.paths.registryFolder()).remove(nullptr));  // record lost, files stay
    QVERIFY(install(r).ok);
    QCOMPARE(fileBytes(r.app() + QStringLiteral("/Stress_DB.csv")), QByteArray("default table\n"));
    const QString bak = r.app() + QStringLiteral("/Stress_DB.csv.20261210-143005.bak");
    QCOMPARE(QFileInfo::exists(bak), backup);
    if (backup)
      QCOMPARE(fileBytes(bak), table);
    QCOMPARE(fileBytes(r.app() + QStringLiteral("/Data/m1.csv")), QByteArray("10:00:00;05,43\n"));
    QVERIFY(QDir(r.app())
                .entryList({QStringLiteral("*.rz37m-new"), QStringLiteral("*.rz37m-old")},
                           QDir::Files | QDir::Hidden)
                .isEmpty());
  }

  void setupStartedFromTheApplicationFolderDoesNotCopyItself()
  {
    SetupRoot r;
    QVERIFY(install(r).ok);
    QVERIFY(InstallRegistry(r.paths.registryFolder()).remove(nullptr));
    SetupRoot second;
    Q_UNUSED(second);
    InstallRequest req = r.request();
    req.selfExecutable = r.app() + QStringLiteral("/Setup");
    SilentProgress progress;
    QVERIFY(runInstallation(r.paths, smallPayload(), req, progress).ok);
    QCOMPARE(fileBytes(r.app() + QStringLiteral("/Setup")), QByteArray("setup program"));
    QVERIFY(remove(r).ok);
    QVERIFY(!QFileInfo::exists(r.app() + QStringLiteral("/Setup")));
  }

  void removalKeepsTheUsersFilesAndRemovesTheRest()
  {
    SetupRoot r;
    QVERIFY(install(r).ok);
    QString error;
    QVERIFY(createDesktopIcon(r.paths, r.app(), &error));
    putFile(r.app() + QStringLiteral("/Data/m1.csv"), "measure");
    putFile(r.app() + QStringLiteral("/Output/chart.pdf"), "export");
    putFile(r.app() + QStringLiteral("/Stress_DB.csv"), "edited");
    putFile(r.app() + QStringLiteral("/Config.ini"), "changed by the program");
    const StepResult res = remove(r);
    QVERIFY2(res.ok, qPrintable(res.remaining.join(u'\n')));
    const QString a = QStringLiteral("/home/.local/share/Norvane/RZ-37m");
    QCOMPARE(r.tree(),
             QStringList({QStringLiteral("/Setup-source"), QStringLiteral("/home"),
                          QStringLiteral("/home/.config"), QStringLiteral("/home/.local"),
                          QStringLiteral("/home/.local/share"),
                          QStringLiteral("/home/.local/share/Norvane"), a,
                          a + QStringLiteral("/Data"), a + QStringLiteral("/Data/m1.csv"),
                          a + QStringLiteral("/Output"), a + QStringLiteral("/Output/chart.pdf"),
                          a + QStringLiteral("/Stress_DB.csv"), QStringLiteral("/home/Desktop")}));
    QVERIFY(!InstallRegistry(r.paths.registryFolder()).installed());
  }

  void removalOfAnUntouchedInstallationLeavesNothing()
  {
    SetupRoot r;
    const QStringList before = r.tree();
    QVERIFY(install(r).ok);
    QVERIFY(remove(r).ok);
    const QStringList after = r.tree();
    QCOMPARE(before, QStringList{QStringLiteral("/Setup-source")});
    QCOMPARE(after, QStringList({QStringLiteral("/Setup-source"), QStringLiteral("/home"),
                                 QStringLiteral("/home/.config"), QStringLiteral("/home/.local"),
                                 QStringLiteral("/home/.local/share")}));
  }

  void linksInsideTheInstallFolderLeadNowhereOutside()
  {
    SetupRoot r;
    QVERIFY(install(r).ok);
    const QString outside = r.dir.path() + QStringLiteral("/outside");
    QVERIFY(QDir().mkpath(outside));
    putFile(outside + QStringLiteral("/keep.txt"), "precious");
    QVERIFY(QDir().mkpath(outside + QStringLiteral("/Lin/X64")));
    putFile(outside + QStringLiteral("/Lin/X64/rz37m-udev.tar.gz"), "precious archive");
    // The driver folder swapped for a link to another place, a link among the
    // user's data and the program itself replaced by a link.
    QVERIFY(QDir(r.app() + QStringLiteral("/VCP")).removeRecursively());
    QVERIFY(QFile::link(outside, r.app() + QStringLiteral("/VCP")));
    QVERIFY(QFile::link(outside, r.app() + QStringLiteral("/Data/elsewhere")));
    QVERIFY(QFile::remove(r.app() + QStringLiteral("/RZ-37m")));
    QVERIFY(
        QFile::link(outside + QStringLiteral("/keep.txt"), r.app() + QStringLiteral("/RZ-37m")));
    const StepResult res = remove(r);
    QCOMPARE(fileBytes(outside + QStringLiteral("/keep.txt")), QByteArray("precious"));
    QCOMPARE(fileBytes(outside + QStringLiteral("/Lin/X64/rz37m-udev.tar.gz")),
             QByteArray("precious archive"));
    QVERIFY(!res.ok);  // the linked driver archives were not removed, and that is said
    QVERIFY(res.remaining.join(u'\n').contains(QStringLiteral("VCP/Lin/X64")));
    QVERIFY(InstallRegistry(r.paths.registryFolder()).installed());  // removal can be retried
    QVERIFY(!QFileInfo(r.app() + QStringLiteral("/RZ-37m")).isSymLink());
  }

  void untrustedRecordTouchesNoFile_data()
  {
    QTest::addColumn<QString>("inst");
    QTest::newRow("relative") << "home/.local/share/";
    QTest::newRow("dot-dot") << "%1/home/.local/share/../share/";
    QTest::newRow("no manifest") << "%1/home/.local/share/";
  }
  void untrustedRecordTouchesNoFile()
  {
    QFETCH(QString, inst);
    SetupRoot r;
    QVERIFY(install(r).ok);
    if (inst.contains(QStringLiteral("%1")))
      inst = inst.arg(r.dir.path());
    if (QTest::currentDataTag() == QByteArray("no manifest"))
      QVERIFY(QFile::remove(r.app() + u'/' + ManifestName));
    putFile(InstallRegistry(r.paths.registryFolder()).recordFile(),
            "[RZ37]\nInst=" + inst.toUtf8() + "\n");
    QVERIFY(trustedApplicationFolder(r.paths).isEmpty());
    QVERIFY(remove(r).ok);
    QVERIFY(QFileInfo::exists(r.app() + QStringLiteral("/RZ-37m")));
    QVERIFY(QFileInfo::exists(r.app() + QStringLiteral("/Config.ini")));
    QVERIFY(!InstallRegistry(r.paths.registryFolder()).installed());
    QVERIFY(!QFileInfo::exists(r.paths.menuFolder()));
  }
};

QTEST_GUILESS_MAIN(TestInstaller)
#include "test_installer.moc"
