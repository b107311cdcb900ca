#include "installer.h"

#include "desktop_entry.h"
#include "file_transaction.h"
#include "install_checks.h"
#include "registry.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

const QString ConfigName = QStringLiteral("Config.ini");
const QString StressTableName = QStringLiteral("Stress_DB.csv");
const QString IconName = QStringLiteral("rz37m-connect.svg");
constexpr int StageSteps = 3;  // configuration, menu group, registry

struct Install {
  const SetupPaths& paths;
  const Payload& payload;
  const InstallRequest& request;
  SetupProgress& progress;
  QString app;  // the application folder
  FileTransaction files;
  QByteArray manifest;
  QString error;
};

QString hashOf(const QByteArray& data)
{
  return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

bool stageFile(Install& in, const QString& relative, const QByteArray& data, quint32 mode)
{
  const QString target = in.app + u'/' + relative;
  in.progress.status(QStringLiteral("Copying files: ") + target);
  in.progress.pause(10);
  if (!in.files.makeFolder(QFileInfo(target).path(), &in.error) ||
      !in.files.stage(target, data, mode, &in.error))
    return false;
  in.manifest += hashOf(data).toLatin1() + ' ' + relative.toUtf8() + '\n';
  in.progress.step();
  return true;
}

bool sameFile(const QString& a, const QString& b)
{
  const QString ca = QFileInfo(a).canonicalFilePath();
  return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

bool stageSelf(Install& in)
{
  const QString target = in.app + QStringLiteral("/Setup");
  in.progress.status(QStringLiteral("Copying files: ") + target);
  // Setup started from the application folder must not replace itself.
  if (sameFile(in.request.selfExecutable, target)) {
    in.manifest += "- Setup\n";
    in.progress.step();
    return true;
  }
  QFile self(in.request.selfExecutable);
  if (!self.open(QIODevice::ReadOnly)) {
    in.error = in.request.selfExecutable + QStringLiteral(": ") + self.errorString();
    return false;
  }
  return stageFile(in, QStringLiteral("Setup"), self.readAll(), 0755);
}

bool stagePayload(Install& in)
{
  for (const QString& folder : {QStringLiteral("Data"), QStringLiteral("Output")})
    if (!in.files.makeFolder(in.app + u'/' + folder, &in.error))
      return false;
  for (const PayloadEntry& e : in.payload.files()) {
    QByteArray data = e.data;
    if (e.path == ConfigName) {
      in.progress.status(QStringLiteral("Setting initial configuration..."));
      data = configWithDataFolder(data, in.app + QStringLiteral("/Data/"));
    }
    if (!stageFile(in, e.path, data, e.mode))
      return false;
    if (e.path == ConfigName) {
      in.progress.step();
      in.progress.pause(250);
    }
  }
  return stageSelf(in);
}

DesktopEntry launcher(const QString& name, const QStringList& exec, const QString& icon,
                      const QString& categories = QStringLiteral("Utility;"))
{
  DesktopEntry e;
  e.categories = categories;
  e.name = name;
  e.exec = exec;
  e.path = QFileInfo(exec.last()).path();
  e.icon = icon;
  return e;
}

bool stageLauncher(Install& in, const QString& file, const DesktopEntry& entry)
{
  const QString target = in.paths.menuFolder() + u'/' + file;
  return in.files.makeFolder(QFileInfo(target).path(), &in.error) &&
         in.files.stage(target, entry.text(), 0755, &in.error);
}

bool stageMenuFile(Install& in, const QString& target, const QByteArray& text)
{
  return in.files.makeFolder(QFileInfo(target).path(), &in.error) &&
         in.files.stage(target, text, 0644, &in.error);
}

bool stageMenuGroup(Install& in)
{
  in.progress.status(QStringLiteral("Creating group in start menu"));
  const QString icon = in.app + u'/' + IconName;
  const QString xdgOpen = QStringLiteral("xdg-open");
  const QString folder = QStringLiteral("folder");
  const bool ok =
      stageLauncher(in, QStringLiteral("Data.desktop"),
                    launcher(QStringLiteral("Data"), {xdgOpen, in.app + QStringLiteral("/Data/")},
                             folder, MenuCategory)) &&
      stageLauncher(in, QStringLiteral("Drivers.desktop"),
                    launcher(QStringLiteral("Drivers"), {xdgOpen, in.app + QStringLiteral("/VCP/")},
                             folder, MenuCategory)) &&
      stageLauncher(in, QStringLiteral("RZ-37m connect.desktop"),
                    launcher(QStringLiteral("RZ-37m connect"), {in.app + u'/' + ProgramName}, icon,
                             MenuCategory)) &&
      stageLauncher(in, QStringLiteral("Uninstall/Uninstall.desktop"),
                    launcher(QStringLiteral("Uninstall"), {in.app + QStringLiteral("/Setup")}, icon,
                             UninstallMenuCategory)) &&
      stageMenuFile(in, in.paths.menuMergeFile(), menuGroupXml()) &&
      stageMenuFile(in, in.paths.menuDirectoryFile(QStringLiteral("norvane-rz37m.directory")),
                    directoryEntryText(QStringLiteral("RZ-37m"), icon)) &&
      stageMenuFile(in,
                    in.paths.menuDirectoryFile(QStringLiteral("norvane-rz37m-uninstall.directory")),
                    directoryEntryText(QStringLiteral("Uninstall"), folder));
  in.progress.step();
  in.progress.pause(250);
  return ok;
}

// An edited stress table is the user's work: it is kept beside the new default.
void keepEditedTable(Install& in, const QString& final, const QString& old)
{
  if (QFileInfo(final).fileName() != StressTableName || QFileInfo(final).path() != in.app)
    return;
  QFile f(old);
  const PayloadEntry* def = in.payload.find(StressTableName);
  if (!f.open(QIODevice::ReadOnly) || (def && f.readAll() == def->data))
    return;
  f.close();
  const QString stamp = in.request.now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QFile::rename(old, final + u'.' + stamp + QStringLiteral(".bak"));
}

bool record(Install& in)
{
  in.progress.status(QStringLiteral("Registering components..."));
  const InstallRegistry registry(in.paths.registryFolder());
  QString regError;
  if (registry.write(instValueOf(in.request.installFolder), in.app, &regError)) {
    in.progress.step();
    return true;
  }
  in.error = regError;
  registry.remove(nullptr);
  return false;
}

}  // namespace

int installStepCount(const Payload& payload)
{
  return int(payload.files().size()) + 1 + StageSteps;
}

QByteArray configWithDataFolder(const QByteArray& config, const QString& dataFolder)
{
  const QByteArray eol = config.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
  QList<QByteArray> lines = config.split('\n');
  QByteArray section;
  int viewEnd = -1;
  for (int i = 0; i < lines.size(); ++i) {
    const QByteArray t = lines[i].trimmed();
    if (t.startsWith('[')) {
      section = t;
      continue;
    }
    if (section.compare("[View]", Qt::CaseInsensitive) != 0)
      continue;
    viewEnd = i + 1;
    if (t.left(t.indexOf('=')).trimmed().compare("DB", Qt::CaseInsensitive) == 0) {
      lines[i] = "DB=" + dataFolder.toUtf8() + (lines[i].endsWith('\r') ? "\r" : "");
      return lines.join('\n');
    }
  }
  QByteArray out = config;
  if (viewEnd < 0) {
    if (!out.isEmpty() && !out.endsWith('\n'))
      out += eol;
    return out + "[View]" + eol + "DB=" + dataFolder.toUtf8() + eol;
  }
  lines.insert(viewEnd, "DB=" + dataFolder.toUtf8() + (eol == "\r\n" ? "\r" : ""));
  return lines.join('\n');
}

bool createDesktopIcon(const SetupPaths& paths, const QString& applicationFolder, QString* error)
{
  if (!QDir().mkpath(paths.desktopDir)) {
    *error = paths.desktopDir + QStringLiteral(": the folder cannot be created");
    return false;
  }
  const DesktopEntry entry =
      launcher(QStringLiteral("RZ-37m connect"), {applicationFolder + u'/' + ProgramName},
               applicationFolder + u'/' + IconName);
  return writeDesktopEntry(paths.desktopDir + u'/' + DesktopIconName, entry, error);
}

StepResult runInstallation(const SetupPaths& paths, const Payload& payload,
                           const InstallRequest& request, SetupProgress& progress)
{
  Install in{paths, payload, request, progress, applicationFolderOf(request.installFolder),
             {},    {},      {}};
  if (!request.installFolder.startsWith(u'/') || hasControlCharacters(request.installFolder))
    return {false, request.installFolder + QStringLiteral(": not a usable folder name"), {}};
  bool ok = stagePayload(in) && stageMenuGroup(in) &&
            in.files.stage(in.app + u'/' + ManifestName, in.manifest, 0644, &in.error);
  progress.status(QStringLiteral("Copying files..."));
  ok = ok && in.files.commit(&in.error);
  if (ok && request.desktopIcon)
    ok = createDesktopIcon(paths, in.app, &in.error);
  ok = ok && record(in);
  if (!ok) {
    in.files.rollback();
    if (request.desktopIcon)
      QFile::remove(paths.desktopDir + u'/' + DesktopIconName);
    return {false, in.error, {}};
  }
  in.files.finish(
      [&](const QString& final, const QString& old) { keepEditedTable(in, final, old); });
  progress.pause(1000);
  return {};
}
