#include "cli_export.h"

#include "cli_commands.h"

#include "analysis/circular_points.h"
#include "analysis/linear_fill.h"
#include "analysis/map_grid.h"
#include "analysis/stress_table.h"
#include "common/formats.h"
#include "common/program_folder.h"
#include "data/measurement_file.h"
#include "data/measurement_grid.h"
#include "export/export_series.h"
#include "export/xls_writer.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cstdlib>

namespace {

constexpr int MinLines = 2, MaxLines = 99, MinColumns = 2, MaxColumns = 999;

struct Parser {
  explicit Parser(const QStringList& arguments) : args(arguments) {}
  const QStringList& args;
  int next = 1;
  ExportCliOptions o;
  QStringList positional;
  QString error;

  bool fail(const QString& why)
  {
    error = why;
    return false;
  }
  bool value(const QString& option, QString* v)
  {
    if (next >= args.size())
      return fail(option + QStringLiteral(" needs a value"));
    *v = args[next++];
    return true;
  }
  bool pair(const QString& option, const QString& text, int* a, int* b)
  {
    static const QRegularExpression re(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
      return fail(option + QStringLiteral(" needs two whole numbers like 3x12, not \"") + text +
                  u'"');
    *a = m.captured(1).toInt();
    *b = m.captured(2).toInt();
    return true;
  }
  bool grid(const QString& text)
  {
    if (!pair(QStringLiteral("--grid"), text, &o.mapLines, &o.mapColumns))
      return false;
    if (o.mapLines < MinLines || o.mapLines > MaxLines || o.mapColumns < MinColumns ||
        o.mapColumns > MaxColumns)
      return fail(
          QStringLiteral("--grid %1 is outside the maps shown: %2-%3 lines of %4-%5 columns")
              .arg(text)
              .arg(MinLines)
              .arg(MaxLines)
              .arg(MinColumns)
              .arg(MaxColumns));
    return true;
  }
  bool size(const QString& text)
  {
    if (!pair(QStringLiteral("--size"), text, &o.width, &o.height))
      return false;
    if (o.width < 16 || o.height < 16 || o.width > 10000 || o.height > 10000)
      return fail(QStringLiteral("--size ") + text +
                  QStringLiteral(" is outside 16x16 .. 10000x10000 pixels"));
    return true;
  }
  template <typename E>
  bool choice(const QString& option, const QStringList& names, E* out)
  {
    QString v;
    if (!value(option, &v))
      return false;
    const int i = static_cast<int>(names.indexOf(v));
    if (i < 0)
      return fail(option + QStringLiteral(" is one of ") + names.join(u'|') +
                  QStringLiteral(", not \"") + v + u'"');
    *out = static_cast<E>(i);
    return true;
  }
  bool option(const QString& arg);
  bool run();
};

bool Parser::option(const QString& arg)
{
  using C = ExportCliOptions::Command;
  QString v;
  if (arg == QStringLiteral("--chart") && o.command == C::Xls)
    return choice(arg, {"linear", "circular", "map"}, &o.chart);
  if (arg == QStringLiteral("--view") && o.command == C::Picture)
    return choice(arg, {"linear", "circular", "contour", "surface"}, &o.view);
  if (arg == QStringLiteral("--size") && o.command == C::Picture)
    return value(arg, &v) && size(v);
  if (o.command == C::Report) {
    if (arg == QStringLiteral("--title"))
      return value(arg, &o.title);
    if (arg == QStringLiteral("--object"))
      return value(arg, &o.object);
    if (arg == QStringLiteral("--operator"))
      return value(arg, &o.operatorName);
  }
  if (arg == QStringLiteral("--grid"))
    return value(arg, &v) && grid(v);
  if (arg == QStringLiteral("--transpose"))
    return (o.transpose = true);
  if (arg == QStringLiteral("--trend"))
    return (o.removeTrend = true);
  if (arg == QStringLiteral("--db"))
    return value(arg, &o.stressDb);
  if (arg == QStringLiteral("--stress")) {
    if (!value(arg, &v))
      return false;
    if (!fmt::readInt(v, &o.stressRow) || o.stressRow < 1)
      return fail(
          QStringLiteral("--stress needs a row number of the stress table (1, 2, ...), not \"") +
          v + u'"');
    return true;
  }
  return fail(QStringLiteral("unknown option ") + arg);
}

bool Parser::run()
{
  const QString name = args.value(0);
  if (name == QStringLiteral("xls"))
    o.command = ExportCliOptions::Command::Xls;
  else if (name == QStringLiteral("picture"))
    o.command = ExportCliOptions::Command::Picture;
  else
    o.command = ExportCliOptions::Command::Report;
  bool chartGiven = false;
  while (next < args.size()) {
    const QString arg = args[next++];
    if (arg.startsWith(QStringLiteral("--"))) {
      chartGiven |= arg == QStringLiteral("--chart") || arg == QStringLiteral("--view");
      if (!option(arg))
        return false;
    } else {
      positional << arg;
    }
  }
  if (positional.size() != 2)
    return fail(positional.size() < 2 ? QStringLiteral("missing arguments: FILE.csv and OUT")
                                      : QStringLiteral("too many arguments"));
  o.file = positional[0];
  o.out = positional[1];
  if (o.command == ExportCliOptions::Command::Xls && !chartGiven)
    return fail(QStringLiteral("xls needs --chart linear|circular|map"));
  if (o.command == ExportCliOptions::Command::Picture && !chartGiven)
    return fail(QStringLiteral("picture needs --view linear|circular|contour|surface"));
  return true;
}

QString oneLine(QString text)
{
  return text.replace(u'\n', u' ').simplified();
}

bool loadGrid(const ExportCliOptions& o, MeasurementGrid& grid, StressLaw* law, QTextStream& err)
{
  MeasurementFileError e;
  auto rows = readMeasurementFile(o.file, &e);
  if (!rows) {
    err << o.file << ": " << oneLine(e.message()) << Qt::endl;
    return false;
  }
  grid.replaceRows(std::move(*rows));
  if (o.stressRow == 0)
    return true;
  const QString db = o.stressDb.isEmpty() ? ProgramFolder::file(StressTableFileName) : o.stressDb;
  QString reason;
  const auto items = ReadStressItems(db, &reason);
  StressTable table;
  if (items)
    table.replaceItems(*items);
  if (!items || !ApplyStressItem(table, o.stressRow, law, &reason)) {
    err << db << ": " << oneLine(reason.section(u'\n', 0, 0)) << Qt::endl;
    return false;
  }
  return true;
}

int runXls(const ExportCliOptions& o, QTextStream& out, QTextStream& err)
{
  MeasurementGrid grid;
  StressLaw law;
  if (!loadGrid(o, grid, &law, err))
    return CliDataError;
  const bool stress = o.stressRow > 0;
  const LinearFill fill = ComputeLinearFill(grid, {o.removeTrend, stress, law}, 0.0);
  XlsSeries points;
  bool labels = false;
  switch (o.chart) {
    case ExportCliOptions::Chart::Linear:
      points = LinearXlsSeries(fill);
      labels = LinearXlsLabels;
      break;
    case ExportCliOptions::Chart::Circular:
      points = CircularXlsSeries(ComputeCircularChart(grid, {stress, law}, fill));
      labels = CircularXlsLabels;
      break;
    case ExportCliOptions::Chart::Map: {
      MapOptions m;
      m.size = {o.mapColumns, o.mapLines};
      m.transpose = o.transpose;
      m.removeTrend = o.removeTrend;
      m.stressMode = stress;
      m.stress = law;
      points = MapXlsSeries(ComputeMapSeries(grid, m));
      labels = MapXlsLabels;
      break;
    }
  }
  QString error;
  if (!writeXlsFile(o.out, points, labels, &error)) {
    err << oneLine(error) << Qt::endl;
    return CliDataError;
  }
  out << "rows=" << points.count() << " columns=" << xlsColumns(points, labels).count() << '\n';
  return CliOk;
}

}  // namespace

bool isExportCommand(const QString& name)
{
  return name == QStringLiteral("xls") || name == QStringLiteral("picture") ||
         name == QStringLiteral("report");
}

std::optional<ExportCliOptions> parseExportOptions(const QStringList& args, QString* error)
{
  Parser p(args);
  if (!p.run()) {
    if (error)
      *error = p.error;
    return std::nullopt;
  }
  return p.o;
}

QString exportUsage()
{
  return QStringLiteral(
      "  rz37m-tool xls FILE.csv OUT.xls --chart linear|circular|map [--grid RxC] [...]\n"
      "      the worksheet that chart's XLS button writes; prints rows=N columns=M\n"
      "  rz37m-tool picture FILE.csv OUT --view linear|circular|contour|surface\n"
      "                     [--grid RxC] [--size WxH] [...]\n"
      "      the view's chart as BMP, JPEG, PNG or PDF by OUT's extension, at WxH\n"
      "      (default: its size in a window of 863 x 353)\n"
      "  rz37m-tool report FILE.csv OUT.pdf [--title T] [--object T] [--operator T]\n"
      "                    [--grid RxC] [...]\n"
      "      the inspection report (A4 PDF)\n"
      "  [...] is any of --grid RxC (default 3x12), --transpose, --trend,\n"
      "  --stress ROW and --db PATH, as for map.\n");
}

int runExportCommand(int argc, char** argv)
{
  QStringList args;
  for (int i = 1; i < argc; ++i)
    args << QString::fromLocal8Bit(argv[i]);
  QString error;
  const auto o = parseExportOptions(args, &error);
  QTextStream err(stderr);
  if (!o) {
    err << "rz37m-tool: " << error << "\n\n" << exportUsage();
    return CliUsageError;
  }
  QTextStream out(stdout);
  if (o->command == ExportCliOptions::Command::Xls) {
    QCoreApplication app(argc, argv);
    return runXls(*o, out, err);
  }
  return runRenderedCommand(*o, argc, argv);
}
