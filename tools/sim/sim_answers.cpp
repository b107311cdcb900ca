#include "sim_answers.h"

#include "common/formats.h"
#include "device/instrument_protocol.h"

#include <algorithm>

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");
const QByteArray SeparatorBlanks(14, ' ');

// A trailer of exactly `length` bytes: the lines, blanks to fill, the prompt.
QByteArray trailer(const QByteArray& lines, int length)
{
  const QByteArray end = CrLf + Prompt;
  QByteArray body = lines.left(length - static_cast<int>(end.size()));
  body.append(QByteArray(length - static_cast<int>(body.size() + end.size()), ' '));
  return body + end;
}

QByteArray latin1(const QString& text)
{
  return text.toLatin1();
}

long long usedBytes(const SimFileSet& files)
{
  long long total = 0;
  for (const SimFile& f : files.files())
    total += contentAnswer(f).size();
  return total;
}

QByteArray countLine(const GridRow& row)
{
  const QString& br = row.cell[1];
  if (br.isEmpty())
    return CrLf + SeparatorBlanks;
  const QByteArray time = latin1(MeasurementGrid::timeOf(row.cell[0])).rightJustified(8, '0', true);
  return CrLf + time + ' ' + wireValue(br);
}

}  // namespace

QByteArray sizeField(long long bytes)
{
  return latin1(fmt::decimals(static_cast<double>(bytes) / 1000.0, 3)).rightJustified(15, ' ');
}

QByteArray wireValue(const QString& brCell)
{
  double br = 0.0;
  if (!fmt::readReal(brCell, &br))
    return QByteArrayLiteral("00.00");
  // Two characters before the point: 00.00 .. 99.99 and -9.99 .. -0.01.
  br = std::clamp(br, -9.99, 99.99);
  QByteArray text = latin1(fmt::decimals(br, 2));
  if (br >= 0)
    text = text.rightJustified(5, '0');
  text.replace(',', '.');
  return text;
}

QByteArray identificationAnswer(const QString& model, const QString& serial)
{
  return instrument::commandBytes(instrument::IdentifyCommand) + CrLf + latin1(model) + " #" +
         latin1(serial) + CrLf;
}

QByteArray clockAnswer(const QDateTime& instrumentTime)
{
  return instrument::commandBytes(instrument::ReadClockCommand) + CrLf +
         "Date:" + latin1(fmt::formatDate(instrumentTime.date())) + CrLf +
         "Time:" + latin1(fmt::formatTimeLong(instrumentTime.time())) + CrLf;
}

QByteArray listingAnswer(const SimFileSet& files)
{
  QByteArray out = instrument::commandBytes(instrument::DirectoryCommand) + CrLf;
  for (const SimFile& f : files.files())
    out += CrLf + latin1(f.name) + QByteArray(6, ' ') + sizeField(contentAnswer(f).size());
  const QByteArray summary = CrLf + QByteArray(36, '-') + CrLf +
                             QByteArray::number(files.files().size()) + " file(s), " +
                             QByteArray::number(usedBytes(files)) + " bytes used" + CrLf +
                             "4 list  5 read  6 delete  1 clock  7 info";
  return out + trailer(summary, ListingTrailerLength);
}

QByteArray contentAnswer(const SimFile& file)
{
  QByteArray out = instrument::commandBytes(instrument::ContentCommand) + CrLf +
                   latin1(QStringLiteral("File ") + file.name).leftJustified(22, ' ', true) + CrLf;
  int counts = 0;
  int separators = 0;
  for (qsizetype r = 2; r < file.rows.size(); ++r) {
    out += countLine(file.rows[r]);
    (file.rows[r].cell[1].isEmpty() ? separators : counts) += 1;
  }
  out += CrLf;
  const int records = counts + separators > 0 ? separators + 1 : 0;
  const QByteArray summary = QByteArrayLiteral("End of ") + latin1(file.name) + ": " +
                             QByteArray::number(counts) + " counts, " +
                             QByteArray::number(records) + " record(s)";
  return out + trailer(summary, ContentTrailerLength);
}

QByteArray deletedAnswer()
{
  return instrument::commandBytes(instrument::DeleteCommand) + CrLf + "File deleted!" + CrLf +
         Prompt;
}

QByteArray notFoundAnswer(char command)
{
  return QByteArray(1, command) + CrLf + "File not found!" + CrLf + Prompt;
}
