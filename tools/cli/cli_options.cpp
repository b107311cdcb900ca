#include "cli_options.h"

#include "common/formats.h"

namespace {

// The sizes the window's map views can show.
constexpr int MinMapLines = 2;
constexpr int MaxMapLines = 99;
constexpr int MinMapColumns = 2;
constexpr int MaxMapColumns = 999;

struct Parser {
  explicit Parser(const QStringList& arguments) : args(arguments) {}

  const QStringList& args;
  int next = 0;
  CliOptions options;
  QStringList positional;
  QString error;

  bool fail(const QString& why)
  {
    error = why;
    return false;
  }

  // The value after an option, e.g. the ROW of "--stress ROW".
  bool value(const QString& option, QString* out)
  {
    if (next >= args.size())
      return fail(option + QStringLiteral(" needs a value"));
    *out = args[next++];
    return true;
  }

  // The map's size as the View names it: R lines of C columns, "3x12".
  bool grid(const QString& text)
  {
    const QStringList parts = text.toLower().split(u'x');
    int lines = 0;
    int columns = 0;
    if (parts.size() != 2 || !fmt::readInt(parts[0], &lines) || !fmt::readInt(parts[1], &columns))
      return fail(QStringLiteral("--grid needs LINESxCOLUMNS, e.g. 3x12, not \"") + text + u'"');
    if (lines < MinMapLines || lines > MaxMapLines || columns < MinMapColumns ||
        columns > MaxMapColumns)
      return fail(QStringLiteral("--grid ") + text +
                  QStringLiteral(" is outside the maps shown: ") + QString::number(MinMapLines) +
                  u'-' + QString::number(MaxMapLines) + QStringLiteral(" lines of ") +
                  QString::number(MinMapColumns) + u'-' + QString::number(MaxMapColumns) +
                  QStringLiteral(" columns"));
    options.mapLines = lines;
    options.mapColumns = columns;
    return true;
  }

  bool mapOption(const QString& arg)
  {
    if (arg == QStringLiteral("--transpose")) {
      options.transpose = true;
      return true;
    }
    QString v;
    return value(arg, &v) && grid(v);
  }

  bool option(const QString& arg)
  {
    using C = CliOptions::Command;
    const C c = options.command;
    if (arg == QStringLiteral("--trend") && (c == C::Linear || c == C::Circular || c == C::Map)) {
      options.removeTrend = true;
      return true;
    }
    if ((arg == QStringLiteral("--grid") || arg == QStringLiteral("--transpose")) && c == C::Map)
      return mapOption(arg);
    QString v;
    if (arg == QStringLiteral("--stress")) {
      if (!value(arg, &v))
        return false;
      if (!fmt::readInt(v, &options.stressRow) || options.stressRow < 1)
        return fail(
            QStringLiteral("--stress needs a row number of the stress table (1, 2, ...), not \"") +
            v + u'"');
      return true;
    }
    if (arg == QStringLiteral("--db"))
      return value(arg, &options.stressDb);
    return fail(QStringLiteral("unknown option ") + arg);
  }

  bool command(const QString& name)
  {
    if (name == QStringLiteral("stats"))
      options.command = CliOptions::Command::Stats;
    else if (name == QStringLiteral("linear"))
      options.command = CliOptions::Command::Linear;
    else if (name == QStringLiteral("record"))
      options.command = CliOptions::Command::Record;
    else if (name == QStringLiteral("circular"))
      options.command = CliOptions::Command::Circular;
    else if (name == QStringLiteral("map"))
      options.command = CliOptions::Command::Map;
    else if (name == QStringLiteral("help") || name == QStringLiteral("--help") ||
             name == QStringLiteral("-h"))
      options.command = CliOptions::Command::Help;
    else
      return fail(QStringLiteral("unknown command ") + name);
    return true;
  }

  bool positionals()
  {
    const int wanted = options.command == CliOptions::Command::Record ? 2 : 1;
    if (positional.size() != wanted) {
      return fail(positional.size() < wanted ? QStringLiteral("missing arguments")
                                             : QStringLiteral("too many arguments"));
    }
    options.file = positional[0];
    if (options.command == CliOptions::Command::Map && options.mapLines == 0)
      return fail(QStringLiteral("map needs --grid LINESxCOLUMNS, e.g. --grid 3x12"));
    if (wanted == 2 && (!fmt::readInt(positional[1], &options.record) || options.record < 1))
      return fail(QStringLiteral("the record number must be 1 or more, not \"") + positional[1] +
                  u'"');
    return true;
  }

  bool run()
  {
    if (args.isEmpty())
      return fail(QStringLiteral("no command given"));
    if (!command(args[next++]))
      return false;
    if (options.command == CliOptions::Command::Help)
      return true;
    while (next < args.size()) {
      const QString arg = args[next++];
      if (arg.startsWith(QStringLiteral("--"))) {
        if (!option(arg))
          return false;
      } else {
        positional << arg;
      }
    }
    return positionals();
  }
};

}  // namespace

std::optional<CliOptions> parseCliOptions(const QStringList& args, QString* error)
{
  Parser p(args);
  if (p.run())
    return p.options;
  if (error)
    *error = p.error;
  return std::nullopt;
}

QString cliUsage()
{
  return QStringLiteral(
      "usage:\n"
      "  rz37m-tool stats FILE.csv [--stress ROW] [--db STRESS_DB.csv]\n"
      "      records=N and the three lines of the statistics label for the whole file\n"
      "  rz37m-tool linear FILE.csv [--trend] [--stress ROW] [--db STRESS_DB.csv]\n"
      "      the linear chart's line, one point a line: x;y, or x; for a break\n"
      "  rz37m-tool record FILE.csv K [--stress ROW] [--db STRESS_DB.csv]\n"
      "      the range text of record K and the chart's axes: left=MIN..MAX, bottom=MIN..MAX\n"
      "  rz37m-tool circular FILE.csv [--trend] [--stress ROW] [--db STRESS_DB.csv]\n"
      "      mean=V, the mean circle's radius, then the circular chart's points in order:\n"
      "      ANGLE;VALUE;LABEL (whole degrees, the value plotted, the count's Br text)\n"
      "  rz37m-tool map FILE.csv --grid RxC [--transpose] [--trend] [--stress ROW]\n"
      "                 [--db STRESS_DB.csv]\n"
      "      the map of R lines of C columns (\"3x12\"; custom X = 17, Y = 5 is 5x17):\n"
      "      levels=B0;..;B9, labels=T0;..;T9, axis=MIN..MAX, then the closed grid's\n"
      "      R + 1 lines of C + 1 values, empty where a hole is\n"
      "\n"
      "  --stress ROW  show stress in MPa with item ROW of the stress table (1 = first item)\n"
      "  --db PATH     the stress table to use (default: Stress_DB.csv beside the tool)\n"
      "  --trend       remove the cubic trend of each record (of each map line for map)\n"
      "  --grid RxC    map: R lines (2-99) of C columns (2-999)\n"
      "  --transpose   map: fill runs of C counts along a line instead of R along a column\n"
      "Numbers are written with the decimal comma. Exit status: 0 done, 1 a file or data\n"
      "error, 2 a usage error.\n");
}
