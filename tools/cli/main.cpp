// rz37m-tool: statistics, the linear chart's points, the record display, the
// circular chart and the map of measurement files, for scripts and batch work.

#include "cli_commands.h"
#include "cli_edit.h"
#include "cli_export.h"
#include "cli_options.h"
#include "common/file_size_signal.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
  ignoreFileSizeSignal();
  // The export commands make their own application object (a window one for pictures).
  if (argc > 1 && isExportCommand(QString::fromLocal8Bit(argv[1])))
    return runExportCommand(argc, argv);
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  QString error;
  if (isCliEditCommand(app.arguments().mid(1))) {
    const int edited = runCliEdit(app.arguments().mid(2), out, err);
    out.flush();
    err.flush();
    return edited;
  }
  const auto options = parseCliOptions(app.arguments().mid(1), &error);
  if (!options) {
    err << "rz37m-tool: " << error << "\n\n" << cliUsage() << cliEditUsage() << exportUsage();
    return CliUsageError;
  }
  const int status = runCliCommand(*options, out, err);
  if (options->command == CliOptions::Command::Help)
    out << exportUsage();
  out.flush();
  err.flush();
  return status;
}
