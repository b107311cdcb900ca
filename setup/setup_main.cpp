// Setup: the wizard, or with --unattended the same steps for scripts.

#include "install_checks.h"
#include "setup_command.h"
#include "setup_messages.h"
#include "setup_window.h"
#include "system_summary.h"

#include <QApplication>
#include <QScreen>

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char** argv)
{
  QStringList args;
  for (int i = 1; i < argc; ++i)
    args << QString::fromLocal8Bit(argv[i]);
  return args;
}

int runWizard(int argc, char** argv, const SetupOptions& options)
{
  QApplication app(argc, argv);
  QApplication::setApplicationName(SetupCaption);
  QtSetupShell shell;
  if (const QString refusal = refusalToRun(options); !refusal.isEmpty()) {
    shell.message(refusal, true);
    return ExitRefused;
  }
  SetupContext context;
  context.paths = pathsFor(options);
  const SetupLock lock(context.paths.runtimeDir);
  if (!lock.acquired()) {
    shell.message(AnotherSetupText, true);
    return ExitRefused;
  }
  context.selfExecutable = QCoreApplication::applicationFilePath();
  context.inDialout = inGroup("dialout");
  context.payload = Payload::readAppended(context.selfExecutable, &context.payloadError);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    context.screen = {screen->size().width(), screen->size().height(), screen->depth()};
  TForm1 form(context, shell);
  shell.setOwner(&form);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    form.move(screen->availableGeometry().center() - form.rect().center());
  form.show();
  QApplication::exec();
  return form.exitCode();
}

}  // namespace

int main(int argc, char** argv)
{
  const SetupOptions options = parseSetupOptions(argumentsOf(argc, argv));
  if (!options.usageError.isEmpty()) {
    std::fprintf(stderr, "Setup: %s\n%s", qPrintable(options.usageError), qPrintable(setupUsage()));
    return ExitUsage;
  }
  if (!options.unattended)
    return runWizard(argc, argv, options);
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  return runUnattended(options, QCoreApplication::applicationFilePath(), out, err);
}
