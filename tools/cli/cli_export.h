#pragma once
// rz37m-tool xls | picture | report: the export buttons' files without the
// window on screen. Options and file names in any order after the command.

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

struct ExportCliOptions {
  enum class Command { Xls, Picture, Report };
  enum class Chart { Linear, Circular, Map };
  enum class View { Linear, Circular, Contour, Surface };
  Command command = Command::Xls;
  QString file;
  QString out;
  Chart chart = Chart::Linear;  // xls --chart
  View view = View::Linear;     // picture --view
  int mapLines = 3;             // --grid RxC: R
  int mapColumns = 12;          //             C
  bool transpose = false;
  bool removeTrend = false;
  int stressRow = 0;
  QString stressDb;
  int width = 0;  // --size WxH; 0: the chart's size in the window
  int height = 0;
  QString title;
  QString object;
  QString operatorName;
};

bool isExportCommand(const QString& name);
std::optional<ExportCliOptions> parseExportOptions(const QStringList& args, QString* error);
QString exportUsage();

// Runs a parsed command (the first argument is the command); the exit status.
int runExportCommand(int argc, char** argv);

// picture and report: drawn by the window's own chart code, off screen.
int runRenderedCommand(const ExportCliOptions& o, int argc, char** argv);
