#include "cli_options.h"

#include "common/formats.h"

namespace {

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

  bool option(const QString& arg)
  {
    const bool linear = options.command == CliOptions::Command::Linear;
    if (arg == QStringLiteral("--trend") && linear) {
      options.removeTrend = true;
      return true;
    }
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
      "\n"
      "  --stress ROW  show stress in MPa with item ROW of the stress table (1 = first item)\n"
      "  --db PATH     the stress table to use (default: Stress_DB.csv beside the tool)\n"
      "  --trend       remove each record's cubic trend\n"
      "Numbers are written with the decimal comma. Exit status: 0 done, 1 a file or data\n"
      "error, 2 a usage error.\n");
}
