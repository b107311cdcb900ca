// The widget-free build of rz37m-tool has no charts to draw.

#include "cli_commands.h"
#include "cli_export.h"

#include <QTextStream>

int runRenderedCommand(const ExportCliOptions&, int, char**)
{
  QTextStream err(stderr);
  err << "rz37m-tool: picture and report need the chart libraries; this build has none" << Qt::endl;
  return CliDataError;
}
