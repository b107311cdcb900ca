#include "data/measurement_file.h"

#include "common/formats.h"
#include "common/text_lines.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");
const QByteArray Utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");
constexpr int DatedLineLength = 25;
constexpr int DatePrefixLength = 11;
constexpr int ShownLineLength = 80;

bool isSeparatorLine(QByteArrayView line)
{
  return line.isEmpty() || line == QByteArrayView(SeparatorLine);
}

// The Br cell of a count line: two characters, a comma, two characters. The
// characters between them are not looked at, so a decimal point reads as well.
QString brCell(const QString& line, int offset)
{
  return line.mid(offset + 9, 2) + fmt::DecimalSeparator + line.mid(offset + 12, 2);
}

QString shownLine(const QString& line)
{
  return line.size() > ShownLineLength ? line.left(ShownLineLength) + QStringLiteral("...") : line;
}

}  // namespace

QString MeasurementFileError::message() const
{
  const QString name = QFileInfo(path).fileName();
  switch (kind) {
    case Kind::None:
      return {};
    case Kind::Read:
      return QStringLiteral("The file %1 could not be read: %2.\n\nNothing was changed.")
          .arg(path, reason);
    case Kind::BadLine:
      return QStringLiteral(
                 "The file %1 could not be opened: line %2 is not a measurement line:\n\n"
                 "\"%3\"\n\n"
                 "A count line holds the time and Br, for example 10:42:05;05,43; a "
                 "separator line is empty or holds 14 blanks. Correct the line in a text "
                 "editor and open the file again.\n\nNothing was changed.")
          .arg(name, QString::number(line), shownLine(lineText));
    case Kind::Write:
      return QStringLiteral(
                 "The file %1 could not be written: %2.\n\nNothing was saved; an existing "
                 "file of that name is unchanged. Choose another folder or name.")
          .arg(path, reason);
    case Kind::RewriteInPlace:
      return QStringLiteral(
                 "The file %1 could not be rewritten: %2.\n\nIts folder does not let a new "
                 "file be made, so the file was rewritten in place: its old data are cleared "
                 "and it holds only part of the data saved. Save again to another folder or "
                 "name.")
          .arg(path, reason);
    case Kind::Append:
      return QStringLiteral(
                 "The data could not be appended to the file %1: %2.\n\nThe file is "
                 "unchanged. Choose another folder or name.")
          .arg(path, reason);
  }
  return {};
}

std::optional<QVector<GridRow>> parseMeasurementFile(const QByteArray& content,
                                                     MeasurementFileError* error)
{
  QByteArrayView bytes(content);
  if (bytes.startsWith(QByteArrayView(Utf8Bom)))  // saved by an editor as UTF-8
    bytes = bytes.sliced(Utf8Bom.size());
  const QVector<QByteArrayView> lines = splitLines(bytes);

  QVector<GridRow> rows(lines.size() + 2);
  rows[0].cell = {TimeHeader, BrHeader};
  for (int i = 0; i < lines.size(); ++i) {
    const int r = i + 2;
    if (isSeparatorLine(lines[i]))
      continue;
    const QString line = QString::fromLatin1(lines[i]);
    const int o = line.size() == DatedLineLength ? DatePrefixLength : 0;
    QString br = brCell(line, o);
    double v = 0.0;
    if (!fmt::readReal(br, &v)) {
      if (error) {
        error->kind = MeasurementFileError::Kind::BadLine;
        error->line = i + 1;
        error->lineText = line;
      }
      return std::nullopt;
    }
    rows[r].cell = {MeasurementGrid::countNumberCell(r, line.mid(o, 8)), std::move(br)};
  }
  return rows;
}

std::optional<QVector<GridRow>> readMeasurementFile(const QString& path,
                                                    MeasurementFileError* error)
{
  MeasurementFileError local;
  MeasurementFileError* err = error ? error : &local;
  *err = MeasurementFileError{};
  err->path = path;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    err->kind = MeasurementFileError::Kind::Read;
    err->reason = file.errorString();
    return std::nullopt;
  }
  const QByteArray content = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    err->kind = MeasurementFileError::Kind::Read;
    err->reason = file.errorString();
    return std::nullopt;
  }
  return parseMeasurementFile(content, err);
}

QByteArray measurementLines(const MeasurementGrid& grid, int firstRow, int lastRow)
{
  firstRow = std::max(firstRow, 2);
  lastRow = std::min(lastRow, grid.RowCount() - 1);
  QByteArray out;
  if (lastRow >= firstRow)
    out.reserve(qsizetype{lastRow - firstRow + 1} * 16);
  for (int r = firstRow; r <= lastRow; ++r) {
    const QString& br = grid.cell(r, 1);
    if (br.isEmpty())
      out += SeparatorLine;
    else
      out += (MeasurementGrid::timeOf(grid.cell(r, 0)) + fmt::ListSeparator + br).toLatin1();
    out += CrLf;
  }
  return out;
}

namespace {

// Writes all of data, unbuffered. The platform reports a short write (disk
// full, file size limit) as a success of fewer bytes, so the rest is written
// again until it goes through or fails with the system's reason.
bool writeAll(QFileDevice& file, const QByteArray& data)
{
  qint64 done = 0;
  while (done < data.size()) {
    const qint64 w = file.write(data.constData() + done, data.size() - done);
    if (w <= 0)
      return false;
    done += w;
  }
  return true;
}

QString reasonOf(const QFileDevice& file)
{
  return file.error() != QFileDevice::NoError ? file.errorString()
                                              : QStringLiteral("the data could not be written");
}

bool replaceWhole(const QString& path, const QByteArray& lines, MeasurementFileError* err)
{
  QSaveFile file(path);
  bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeAll(file, lines);
  ok = ok && file.size() == lines.size();  // nothing short is ever put in place
  if (!ok) {
    err->reason = reasonOf(file);
    file.cancelWriting();
  } else if (!file.commit()) {
    ok = false;
    err->reason = reasonOf(file);
  }
  if (!ok)
    err->kind = MeasurementFileError::Kind::Write;
  return ok;
}

// The folder lets no new file be made beside the file, but the file itself may
// be written: the one case where a rewrite goes to the file in place.
bool onlyWritableInPlace(const QString& path)
{
  const QFileInfo file(path);
  return file.isFile() && file.isWritable() && !QFileInfo(file.absolutePath()).isWritable();
}

bool rewriteInPlace(const QString& path, const QByteArray& lines, MeasurementFileError* err)
{
  QFile file(path);
  const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) &&
                  writeAll(file, lines) && file.size() == lines.size();
  if (!ok) {
    err->kind = file.isOpen() ? MeasurementFileError::Kind::RewriteInPlace
                              : MeasurementFileError::Kind::Write;
    err->reason = reasonOf(file);
  }
  return ok;
}

bool append(const QString& path, const QByteArray& lines, MeasurementFileError* err)
{
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
    err->kind = MeasurementFileError::Kind::Append;
    err->reason = reasonOf(file);
    return false;
  }
  const qint64 oldSize = file.size();
  QByteArray out;
  // A file written by hand may lack its last line end; without one the
  // separator would run into the last count and the records would merge.
  if (oldSize > 0 && file.seek(oldSize - 1)) {
    const QByteArray last = file.read(1);
    if (last != "\n" && last != "\r")
      out += CrLf;
  }
  out += SeparatorLine + CrLf + lines;
  const bool ok = file.seek(oldSize) && writeAll(file, out) && file.size() == oldSize + out.size();
  if (!ok) {
    err->kind = MeasurementFileError::Kind::Append;
    err->reason = reasonOf(file);
    file.resize(oldSize);  // the old data stay exactly as they were
    return false;
  }
  return true;
}

}  // namespace

bool writeMeasurementFile(const QString& path, const QByteArray& lines, MeasurementWriteMode mode,
                          MeasurementFileError* error)
{
  MeasurementFileError local;
  MeasurementFileError* err = error ? error : &local;
  *err = MeasurementFileError{};
  err->path = path;
  if (mode == MeasurementWriteMode::Append)
    return append(path, lines, err);
  if (replaceWhole(path, lines, err))
    return true;
  if (mode != MeasurementWriteMode::Rewrite || !onlyWritableInPlace(path))
    return false;
  *err = MeasurementFileError{};
  err->path = path;
  return rewriteInPlace(path, lines, err);
}

QString proposedMeasurementFileName(const QDate& today)
{
  const QString d = fmt::formatDate(today);  // dd.MM.yyyy
  return d.mid(0, 2) + d.mid(3, 2) + d.mid(6, 4);
}

QString withCsvExtension(const QString& name)
{
  const QString file = QFileInfo(name).fileName();
  const int dot = file.lastIndexOf(u'.');
  const QString ext = dot >= 0 ? file.mid(dot) : QString();
  if (ext == QStringLiteral(".csv") || ext == QStringLiteral(".CSV"))
    return name;
  return name + QStringLiteral(".csv");
}

QString appendQuestionText(const QString& fileName)
{
  return QStringList{QStringLiteral("File named ") + fileName + QStringLiteral(" already exists"),
                     QStringLiteral("Would you like to append it?"),
                     QString(),
                     QStringLiteral("Yes - appends file by data you save;"),
                     QStringLiteral("No - rewrite file, old data will be cleared;"),
                     QString(),
                     QStringLiteral("Press Retry to enter another file name.")}
      .join(QStringLiteral("\r\n"));
}

QString notSavedText(const QString& fileName)
{
  return QStringLiteral("File ") + fileName + QStringLiteral(" did not saved");
}
