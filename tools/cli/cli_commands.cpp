#include "cli_commands.h"
#include "cli_edit.h"

#include "analysis/circular_points.h"
#include "analysis/linear_fill.h"
#include "analysis/map_grid.h"
#include "analysis/record_display.h"
#include "analysis/statistics.h"
#include "analysis/stress_table.h"
#include "common/formats.h"
#include "common/program_folder.h"
#include "data/measurement_file.h"
#include "data/measurement_grid.h"

#include <charconv>
#include <memory>

namespace {

// What a command works on: the file's grid and the unit it is shown in.
struct Inputs {
  std::unique_ptr<MeasurementGrid> grid = std::make_unique<MeasurementGrid>();
  bool stressMode = false;
  StressLaw stress;
};

QString oneLine(QString text)
{
  return text.replace(u'\n', u' ').simplified();
}

QString fileErrorLine(const MeasurementFileError& e, const QString& path)
{
  if (e.kind == MeasurementFileError::Kind::BadLine)
    return path + QStringLiteral(": line ") + QString::number(e.line) +
           QStringLiteral(" is not a measurement line: \"") + oneLine(e.lineText) + u'"';
  return path + QStringLiteral(": cannot be read: ") + oneLine(e.reason);
}

bool loadStress(const CliOptions& o, Inputs& in, QTextStream& err)
{
  if (o.stressRow == 0)
    return true;
  const QString db = o.stressDb.isEmpty() ? ProgramFolder::file(StressTableFileName) : o.stressDb;
  QString reason;
  const auto items = ReadStressItems(db, &reason);
  if (!items) {
    err << db << ": the stress table cannot be read: " << oneLine(reason) << Qt::endl;
    return false;
  }
  StressTable table;
  table.replaceItems(*items);
  if (!ApplyStressItem(table, o.stressRow, &in.stress, &reason)) {
    // The first paragraph says why; the rest speaks of the item the window keeps.
    err << db << ": " << oneLine(reason.section(u'\n', 0, 0)) << Qt::endl;
    return false;
  }
  in.stressMode = true;
  return true;
}

bool loadInputs(const CliOptions& o, Inputs& in, QTextStream& err)
{
  MeasurementFileError error;
  auto rows = readMeasurementFile(o.file, &error);
  if (!rows) {
    err << fileErrorLine(error, o.file) << Qt::endl;
    return false;
  }
  in.grid->replaceRows(std::move(*rows));
  return loadStress(o, in, err);
}

QString axisNumber(double v)
{
  return fmt::general(v, 17);
}

// The shortest text that reads back as the same double, with the decimal comma
// and the exponent written as the program writes it (1E-7, 1E20).
QString shortest(double v)
{
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general);
  QString s = QString::fromLatin1(buf, static_cast<int>(res.ptr - buf));
  const qsizetype e = s.indexOf(u'e');
  if (e >= 0) {
    const int exponent = s.mid(e + 1).toInt();
    s = s.left(e) + u'E' + QString::number(exponent);
  }
  return s.replace(u'.', fmt::DecimalSeparator);
}

int runStats(const Inputs& in, QTextStream& out)
{
  const MeasurementGrid& grid = *in.grid;
  const RangeStatistics s = ComputeRangeStatistics(grid, 2, grid.RowCount() - 1);
  out << "records=" << s.records << '\n';
  for (const QString& line : StatisticsLabelLines(StatisticsLabelText(s, in.stressMode, in.stress)))
    out << line << '\n';
  return CliOk;
}

int runLinear(const CliOptions& o, const Inputs& in, QTextStream& out)
{
  const LinearFill fill =
      ComputeLinearFill(*in.grid, {o.removeTrend, in.stressMode, in.stress}, 0.0);
  const SeriesPoints& line = fill.line;
  for (int i = 0; i < line.count(); ++i) {
    out << axisNumber(line.x[i]) << ';';
    if (!line.null[i])
      out << fmt::general(line.y[i], 17);
    out << '\n';
  }
  return CliOk;
}

int runRecord(const CliOptions& o, const Inputs& in, QTextStream& out, QTextStream& err)
{
  const MeasurementGrid& grid = *in.grid;
  const int records = grid.countRecords();
  if (o.record > records) {
    err << o.file << ": there is no record " << o.record << ", the file holds " << records
        << (records == 1 ? " record" : " records") << Qt::endl;
    return CliDataError;
  }
  // The line values matter only for the circular chart, which is not printed.
  const RecordDisplay d =
      ComputeRecordDisplay(grid, o.record, {in.stressMode, in.stress}, LineValueAt{});
  out << d.panel23 << '\n';
  out << "left=" << axisNumber(d.leftAxis.min) << ".." << axisNumber(d.leftAxis.max) << '\n';
  out << "bottom=" << axisNumber(d.bottomAxis.min) << ".." << axisNumber(d.bottomAxis.max) << '\n';
  return CliOk;
}

int runCircular(const CliOptions& o, const Inputs& in, QTextStream& out)
{
  // The window fills the linear chart first and the circle reads its values.
  const LinearFill fill =
      ComputeLinearFill(*in.grid, {o.removeTrend, in.stressMode, in.stress}, 0.0);
  const CircularChart c = ComputeCircularChart(*in.grid, {in.stressMode, in.stress}, fill);
  out << "mean=" << shortest(c.meanRadius) << '\n';
  for (const PolarPoint& p : c.values)
    out << shortest(p.angle) << ';' << shortest(p.radius) << ';' << p.label << '\n';
  return CliOk;
}

int runMap(const CliOptions& o, const Inputs& in, QTextStream& out)
{
  MapOptions options;
  options.size = {o.mapColumns, o.mapLines};
  options.transpose = o.transpose;
  options.removeTrend = o.removeTrend;
  options.stressMode = in.stressMode;
  options.stress = in.stress;
  const MapSeries map = ComputeMapSeries(*in.grid, options);
  QStringList bounds;
  QStringList labels;
  for (const ContourLevel& level : map.levels) {
    bounds << shortest(level.upper);
    labels << level.label;
  }
  out << "levels=" << bounds.join(u';') << '\n';
  out << "labels=" << labels.join(u';') << '\n';
  out << "axis=" << shortest(map.surfaceAxis.min) << ".." << shortest(map.surfaceAxis.max) << '\n';
  QString line;
  for (int z = 0; z < map.closedLines(); ++z) {
    line.clear();
    for (int x = 0; x < map.closedColumns(); ++x) {
      if (x > 0)
        line += u';';
      if (map.hasValue(x, z))
        line += shortest(map.at(x, z));
    }
    out << line << '\n';
  }
  return CliOk;
}

}  // namespace

int runCliCommand(const CliOptions& o, QTextStream& out, QTextStream& err)
{
  if (o.command == CliOptions::Command::Help) {
    out << cliUsage() << cliEditUsage();
    return CliOk;
  }
  Inputs in;
  if (!loadInputs(o, in, err))
    return CliDataError;
  switch (o.command) {
    case CliOptions::Command::Stats:
      return runStats(in, out);
    case CliOptions::Command::Linear:
      return runLinear(o, in, out);
    case CliOptions::Command::Record:
      return runRecord(o, in, out, err);
    case CliOptions::Command::Circular:
      return runCircular(o, in, out);
    case CliOptions::Command::Map:
      return runMap(o, in, out);
    case CliOptions::Command::Help:
      break;
  }
  return CliOk;
}
