#include "setup_command.h"

#include "install_checks.h"
#include "installer.h"
#include "registry.h"
#include "remover.h"

#include <QDateTime>
#include <QDir>

#include <unistd.h>

SetupOptions parseSetupOptions(const QStringList& arguments)
{
  SetupOptions o;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (a == QStringLiteral("--unattended"))
      o.unattended = true;
    else if (a == QStringLiteral("--install") && o.action == SetupOptions::Action::None)
      o.action = SetupOptions::Action::Install;
    else if (a == QStringLiteral("--remove") && o.action == SetupOptions::Action::None)
      o.action = SetupOptions::Action::Remove;
    else if (a == QStringLiteral("--desktop-icon"))
      o.desktopIcon = true;
    else if (a == QStringLiteral("--root") && hasValue)
      o.root = arguments[++i];
    else if (a == QStringLiteral("--target") && hasValue)
      o.target = arguments[++i];
    else
      o.usageError = QStringLiteral("unknown or incomplete option: ") + a;
  }
  if (o.usageError.isEmpty() && o.unattended && o.action == SetupOptions::Action::None)
    o.usageError = QStringLiteral("--unattended needs --install or --remove");
  if (o.usageError.isEmpty() && !o.unattended && o.action != SetupOptions::Action::None)
    o.usageError = QStringLiteral("--install and --remove need --unattended");
  if (o.usageError.isEmpty() && o.action == SetupOptions::Action::Remove &&
      (!o.target.isEmpty() || o.desktopIcon))
    o.usageError = QStringLiteral("--target and --desktop-icon belong to --install");
  for (const QString& path : {o.root, o.target})
    if (o.usageError.isEmpty() && hasControlCharacters(path))
      o.usageError = QStringLiteral("a folder name must not hold control characters");
  return o;
}

QString setupUsage()
{
  return QStringLiteral(
      "Usage: Setup [--root DIR] --unattended (--install [--target FOLDER] [--desktop-icon] | "
      "--remove)\n"
      "Without --unattended the installer window opens.\n"
      "Exit status: 0 done, 1 failed (nothing left behind), 2 usage error, 3 refused.\n");
}

SetupPaths pathsFor(const SetupOptions& options)
{
  return options.root.isEmpty() ? SetupPaths::system() : SetupPaths::rooted(options.root);
}

QString refusalToRun(const SetupOptions& options)
{
  if (::geteuid() == 0 && options.root.isEmpty())
    return QStringLiteral(
        "Setup installs RZ-37m connect software for one user and does not run as root.\n"
        "Start it as the user who will work with it, or, for all users of this computer, "
        "install the Debian package instead:\n  sudo apt install ./rz37m-connect_*.deb");
  return {};
}

QString missingLibrariesText(const Payload& payload)
{
  const PayloadEntry* list = payload.find(LibraryListEntry);
  if (!list)
    return {};
  const QList<LibraryNeed> missing = missingLibraries(
      parseLibraryList(list->data), libraryFolders(QStringLiteral("/etc/ld.so.conf.d")));
  if (missing.isEmpty())
    return {};
  QStringList names;
  for (const LibraryNeed& m : missing)
    names << m.soname;
  QString text = QStringLiteral("RZ-37m connect needs libraries this computer lacks: ") +
                 names.join(QStringLiteral(", ")) + u'.';
  const QString apt = aptLine(missing);
  if (!apt.isEmpty())
    text += QStringLiteral("\nInstall them with:\n  ") + apt;
  return text;
}

namespace {

int install(const SetupOptions& o, const SetupPaths& paths, const Payload& payload,
            const QString& self, QTextStream& out, QTextStream& err)
{
  const InstallRegistry registry(paths.registryFolder());
  if (registry.installed()) {
    err << "RZ-37m connect software is already installed in "
        << applicationFolderOf(registry.inst())
        << ". Remove it first (Setup --unattended --remove).\n";
    return ExitRefused;
  }
  const QString missing = missingLibrariesText(payload);
  if (!missing.isEmpty()) {
    err << missing << '\n';
    return ExitRefused;
  }
  const QString folder =
      QDir::cleanPath(QDir(o.target.isEmpty() ? paths.dataHome : o.target).absolutePath());
  const SpaceCheck space = checkFreeSpace(folder, requiredBytes(payload.installedBytes()));
  if (!space.enough) {
    err << NotEnoughPlaceText << space.mountRoot << '\n';
    return ExitRefused;
  }
  SilentProgress progress;
  const StepResult r = runInstallation(
      paths, payload, {folder, self, o.desktopIcon, QDateTime::currentDateTime()}, progress);
  if (!r.ok) {
    err << "Installation failed, nothing was installed: " << r.error << '\n';
    return ExitFailed;
  }
  out << "RZ-37m connect software successfully installed in " << applicationFolderOf(folder)
      << ".\n";
  return ExitDone;
}

int remove(const SetupPaths& paths, QTextStream& out, QTextStream& err)
{
  const InstallRegistry registry(paths.registryFolder());
  if (!registry.installed()) {
    err << "RZ-37m connect software is not installed; there is nothing to remove.\n";
    return ExitRefused;
  }
  if (programRunning(paths, applicationFolderOf(registry.inst()))) {
    err << ProgramRunningText << '\n';
    return ExitRefused;
  }
  SilentProgress progress;
  const StepResult r = removeInstallation(paths, progress);
  if (!r.ok) {
    err << r.error << ":\n  " << r.remaining.join(QStringLiteral("\n  "))
        << "\nThe installation record is kept: run the removal again when they are free.\n";
    return ExitFailed;
  }
  out << "RZ-37m connect software successfully removed from computer.\n";
  return ExitDone;
}

}  // namespace

int runUnattended(const SetupOptions& o, const QString& self, QTextStream& out, QTextStream& err)
{
  if (!o.usageError.isEmpty()) {
    err << "Setup: " << o.usageError << '\n' << setupUsage();
    return ExitUsage;
  }
  if (const QString refusal = refusalToRun(o); !refusal.isEmpty()) {
    err << refusal << '\n';
    return ExitRefused;
  }
  const SetupPaths paths = pathsFor(o);
  const SetupLock lock(paths.runtimeDir);
  if (!lock.acquired()) {
    err << AnotherSetupText << '\n';
    return ExitRefused;
  }
  if (o.action == SetupOptions::Action::Remove)
    return remove(paths, out, err);
  QString error;
  const std::optional<Payload> payload = Payload::readAppended(self, &error);
  if (!payload) {
    err << "Setup cannot install: " << error << ".\n";
    return ExitFailed;
  }
  return install(o, paths, *payload, self, out, err);
}
