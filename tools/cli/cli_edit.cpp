#include "cli_edit.h"

#include "cli_commands.h"
#include "data/count_editing.h"
#include "data/measurement_file.h"
#include "data/measurement_grid.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <optional>

namespace {

struct EditOp {
  enum class Kind { Insert, Delete };
  Kind kind = Kind::Insert;
  int first = 0;  // the selection's top row
  int last = 0;   // and its bottom row (the top again for an insert)
};

struct EditArgs {
  QString file;
  QString out;
  QVector<EditOp> ops;
};

std::optional<int> rowNumber(const QString& text)
{
  bool ok = false;
  const int v = text.toInt(&ok, 10);
  return ok ? std::optional<int>(v) : std::nullopt;
}

std::optional<EditOp> parseOp(const QString& text)
{
  static const QRegularExpression insert(QStringLiteral("^insert:(\\d{1,9})$"));
  static const QRegularExpression remove(QStringLiteral("^delete:(\\d{1,9})-(\\d{1,9})$"));
  if (const auto m = insert.match(text); m.hasMatch()) {
    const int row = *rowNumber(m.captured(1));
    return EditOp{EditOp::Kind::Insert, row, row};
  }
  if (const auto m = remove.match(text); m.hasMatch()) {
    const int first = *rowNumber(m.captured(1));
    const int last = *rowNumber(m.captured(2));
    if (first <= last)
      return EditOp{EditOp::Kind::Delete, first, last};
  }
  return std::nullopt;
}

std::optional<EditArgs> parseEditArgs(const QStringList& args, QString* error)
{
  EditArgs e;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QStringLiteral("--out")) {
      if (i + 1 >= args.size()) {
        *error = QStringLiteral("--out needs a file name");
        return std::nullopt;
      }
      e.out = args[++i];
    } else if (a.startsWith(QStringLiteral("--"))) {
      *error = QStringLiteral("unknown option ") + a;
      return std::nullopt;
    } else if (e.file.isEmpty()) {
      e.file = a;
    } else if (const auto op = parseOp(a)) {
      e.ops << *op;
    } else {
      *error = QStringLiteral("\"") + a +
               QStringLiteral("\" is not an edit: insert:ROW or delete:FIRST-LAST "
                              "(grid rows, the first count in row 2, FIRST not above LAST)");
      return std::nullopt;
    }
  }
  if (e.file.isEmpty() || e.ops.isEmpty() || e.out.isEmpty()) {
    *error = e.file.isEmpty()  ? QStringLiteral("missing the measurement file")
             : e.ops.isEmpty() ? QStringLiteral("missing the edits")
                               : QStringLiteral("missing --out OUT.csv");
    return std::nullopt;
  }
  return e;
}

QString oneLine(QString text)
{
  return text.replace(u'\n', u' ').simplified();
}

// One line, as the other commands report a file they cannot use.
QString fileErrorLine(const MeasurementFileError& e, const QString& path)
{
  switch (e.kind) {
    case MeasurementFileError::Kind::BadLine:
      return path + QStringLiteral(": line ") + QString::number(e.line) +
             QStringLiteral(" is not a measurement line: \"") + oneLine(e.lineText) + u'"';
    case MeasurementFileError::Kind::Read:
      return path + QStringLiteral(": cannot be read: ") + oneLine(e.reason);
    default:
      return path + QStringLiteral(": cannot be written: ") + oneLine(e.reason) +
             QStringLiteral(" (an existing file there is kept as it was)");
  }
}

}  // namespace

bool isCliEditCommand(const QStringList& args)
{
  return !args.isEmpty() && args.first() == QStringLiteral("edit");
}

int runCliEdit(const QStringList& args, QTextStream& out, QTextStream& err)
{
  QString error;
  const auto e = parseEditArgs(args, &error);
  if (!e) {
    err << "rz37m-tool: " << error << "\n\n" << cliEditUsage();
    return CliUsageError;
  }
  MeasurementFileError readError;
  auto rows = readMeasurementFile(e->file, &readError);
  if (!rows) {
    err << fileErrorLine(readError, e->file) << Qt::endl;
    return CliDataError;
  }
  MeasurementGrid grid;
  grid.replaceRows(std::move(*rows));
  int records = grid.countRecords();
  for (const EditOp& op : e->ops) {
    const CountEdit edit = op.kind == EditOp::Kind::Insert
                               ? InsertSeparator(grid, op.first)
                               : DeleteCounts(grid, op.first, op.last);
    records += edit.recordsDelta;
  }
  out << "records=" << records << '\n';
  for (int r = 2; r < grid.RowCount(); ++r)
    out << grid.cell(r, 0) << ';' << grid.cell(r, 1) << '\n';
  out.flush();

  const QByteArray lines = measurementLines(grid, 2, grid.RowCount() - 1);
  const auto mode = QFileInfo::exists(e->out) ? MeasurementWriteMode::Rewrite
                                              : MeasurementWriteMode::Create;
  MeasurementFileError writeError;
  if (!writeMeasurementFile(e->out, lines, mode, &writeError)) {
    err << fileErrorLine(writeError, e->out) << Qt::endl;
    return CliDataError;
  }
  return CliOk;
}

QString cliEditUsage()
{
  return QStringLiteral(
      "  rz37m-tool edit FILE.csv OP... --out OUT.csv\n"
      "      applies each OP in order as the grid's \"Insert separator\" (insert:ROW) and\n"
      "      \"Delete count(s)\" (delete:FIRST-LAST) do, grid rows as numbered at that step\n"
      "      (row 2 holds the first count); prints records=N and each grid row from row 2\n"
      "      as COL0;COL1, and writes the whole grid to OUT.csv (replaced if it exists)\n");
}
