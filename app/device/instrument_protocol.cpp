#include "device/instrument_protocol.h"

#include "common/formats.h"

#include <algorithm>
#include <climits>

namespace instrument {

namespace {

const QString LineBreak = QStringLiteral("\r\n");
const QString BlankLine = QStringLiteral("\r\n              \r\n");  // 14 blanks
const QString EmptyLine = QStringLiteral("\r\n\r\n");
constexpr int BlankLineLength = 18;

// Offsets from the CR of the pair that starts a line.
constexpr int NameOffset = 2;
constexpr int ExtensionOffset = 12;
constexpr int SizeOffset = 21;
constexpr int TimeOffset = 2;
constexpr int TimeLength = 8;
constexpr int IntegerOffset = 11;
constexpr int DecimalsOffset = 14;
constexpr int BrPartLength = 2;

// Positions of every CR LF pair in text, in order.
QVector<qsizetype> pairPositions(const QString& text)
{
  QVector<qsizetype> at;
  for (qsizetype i = text.indexOf(LineBreak); i >= 0; i = text.indexOf(LineBreak, i + 2))
    at << i;
  return at;
}

QString trimLeft(const QString& text)
{
  qsizetype i = 0;
  while (i < text.size() && text.at(i) == u' ')
    ++i;
  return text.mid(i);
}

bool isBlankLine(const QString& body, qsizetype p)
{
  return QStringView(body).mid(p, BlankLineLength) == BlankLine ||
         QStringView(body).mid(p, EmptyLine.size()) == EmptyLine;
}

// The trailer: a fixed-length block ending with a line break and the prompt.
QString trailer(const QString& text, int length)
{
  const QString end = LineBreak + Prompt;
  return (LineBreak + text).leftJustified(length - end.size(), u' ', true) + end;
}

}  // namespace

QString cutAnswer(const QString& answer, int headerLength, int trailerLength)
{
  if (answer.size() <= headerLength + trailerLength)
    return QString();
  return answer.mid(headerLength, answer.size() - headerLength - trailerLength);
}

QVector<FileEntry> listingEntries(const QString& body)
{
  QVector<FileEntry> files;
  for (qsizetype p : pairPositions(body)) {
    files << FileEntry{body.mid(p + NameOffset, NameFieldLength) + u'.' +
                           body.mid(p + ExtensionOffset, ExtensionFieldLength),
                       trimLeft(body.mid(p + SizeOffset, SizeFieldLength))};
  }
  return files;
}

QVector<GridRow> contentRows(const QString& body)
{
  const QVector<qsizetype> pairs = pairPositions(body);
  // Row 0, the return row, and one row per pair but the one closing the last line.
  QVector<GridRow> rows(std::max<qsizetype>(2, pairs.size() + 1));
  rows[0].cell = {TimeHeader, BrHeader};
  rows[1].cell = {ReturnText, QString()};
  for (qsizetype i = 0; i + 1 < pairs.size(); ++i) {
    const qsizetype p = pairs[i];
    const int r = static_cast<int>(i) + 2;
    if (isBlankLine(body, p))
      continue;  // a separator: both cells stay empty
    rows[r].cell = {MeasurementGrid::countNumberCell(r, body.mid(p + TimeOffset, TimeLength)),
                    body.mid(p + IntegerOffset, BrPartLength) + fmt::DecimalSeparator +
                        body.mid(p + DecimalsOffset, BrPartLength)};
  }
  return rows;
}

int firstUnreadableCount(const QVector<GridRow>& rows)
{
  for (int r = 2; r < rows.size(); ++r) {
    const QString& br = rows[r].cell[1];
    double value = 0.0;
    if (!br.isEmpty() && !fmt::readReal(br, &value))
      return r;
  }
  return -1;
}

bool sizeInBytes(const QString& sizeText, int* bytes)
{
  double kilo = 0.0;
  if (!fmt::readReal(sizeText, &kilo))
    return false;
  // A size beyond what an int holds is no size an instrument's memory has: it
  // reads as unknown, and the progress counts bytes instead of a percentage.
  const double b = kilo * 1000.0;
  *bytes = b < static_cast<double>(INT_MAX) + 0.5 ? fmt::nearestInt(std::max(b, 0.0)) : 0;
  return true;
}

QString fromWire(const QByteArray& bytes)
{
  return QString::fromLatin1(bytes);
}

QByteArray toWire(const QString& text)
{
  return text.toLatin1();
}

bool PromptScanner::found(const QString& buffer, qsizetype sizeBefore)
{
  if (sizeBefore != m_seen || buffer.size() < m_from)
    m_from = 0;
  m_seen = buffer.size();
  if (buffer.indexOf(m_prompt, m_from) >= 0)
    return true;
  m_from = std::max<qsizetype>(0, buffer.size() - (m_prompt.size() - 1));
  return false;
}

// --- the instrument's side --------------------------------------------------

QString buildContentAnswer(const QString& fileName, const QVector<QVector<Count>>& records)
{
  QString text =
      (QStringLiteral("5\r\nFile ") + fileName).leftJustified(ContentHeaderLength, u' ', true);
  text.reserve(ContentHeaderLength + ContentTrailerLength + 16 * 1024);
  for (qsizetype k = 0; k < records.size(); ++k) {
    if (k > 0)
      text += BlankLine.left(BlankLineLength - LineBreak.size());
    for (const Count& c : records[k])
      text += LineBreak + c.time + u' ' + c.br;
  }
  text += LineBreak;
  text += trailer(QStringLiteral("End of file"), ContentTrailerLength);
  return text;
}

QString buildListingAnswer(const QVector<FileEntry>& files)
{
  QString text = QStringLiteral("4\r\n");
  for (const FileEntry& f : files) {
    text += LineBreak + f.name.leftJustified(FileNameLength, u' ', true) + QString(6, u' ') +
            f.size.rightJustified(SizeFieldLength, u' ', true);
  }
  text += trailer(QStringLiteral("Files: ") + QString::number(files.size()), ListingTrailerLength);
  return text;
}

QString buildDeletionAnswer(const QString& fileName)
{
  return QStringLiteral("6\r\n") + fileName + LineBreak + FileDeleted + LineBreak + Prompt;
}

QString sizeText(int bytes)
{
  return QString::number(bytes / 1000) + fmt::DecimalSeparator +
         QString::number(bytes % 1000).rightJustified(3, u'0');
}

QString padFileName(const QString& name, const QString& extension)
{
  return name.leftJustified(NameFieldLength, u' ', true) + u'.' +
         extension.leftJustified(ExtensionFieldLength, u' ', true);
}

}  // namespace instrument
