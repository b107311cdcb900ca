#include "export/xls_writer.h"

#include <QDir>
#include <QSaveFile>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

enum : quint16 {
  BofRecord = 0x0809,
  DimensionsRecord = 0x0200,
  BlankRecord = 0x0001,
  NumberRecord = 0x0003,
  LabelRecord = 0x0004,
  EofRecord = 0x000A,
};

class Biff {
 public:
  void word(quint16 v)
  {
    char b[2];
    qToLittleEndian(v, b);
    m_bytes.append(b, 2);
  }
  void header(quint16 type, quint16 length)
  {
    word(type);
    word(length);
  }
  void cellStart(quint16 type, quint16 length, int row, int column)
  {
    header(type, length);
    word(quint16(row));
    word(quint16(column));
    m_bytes.append(3, '\0');  // cell attributes
  }
  void number(int row, int column, double v)
  {
    if (!std::isfinite(v)) {
      // A spreadsheet has no cell value for NaN or infinity.
      cellStart(BlankRecord, 7, row, column);
      return;
    }
    cellStart(NumberRecord, 15, row, column);
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    char b[8];
    qToLittleEndian(bits, b);
    m_bytes.append(b, 8);
  }
  void blank(int row, int column) { cellStart(BlankRecord, 7, row, column); }
  void label(int row, int column, const QByteArray& text)
  {
    cellStart(LabelRecord, quint16(8 + text.size()), row, column);
    m_bytes.append(char(text.size()));
    m_bytes.append(text);
  }
  QByteArray& bytes() { return m_bytes; }

 private:
  QByteArray m_bytes;
};

// Windows-1252 bytes 0x80..0x9F; 0 marks the five the code page leaves undefined.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char cp1252(char32_t c)
{
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
    return char(c);
  for (int i = 0; i < 32; ++i) {
    if (Cp1252High[i] != 0 && Cp1252High[i] == c)
      return char(0x80 + i);
  }
  return '?';
}

bool plainSequence(const XlsSeries& s)
{
  // Every point is checked, not a leading sample: an x column dropped for a
  // series that only starts like 0, 1, 2 ... would lose its real x values.
  for (int i = 0; i < s.count(); ++i) {
    if (s.xs[i] != double(i))
      return false;
  }
  return true;
}

bool anyLabel(const XlsSeries& s)
{
  for (int i = 0; i < s.count(); ++i) {
    if (!s.label(i).isEmpty())
      return true;
  }
  return false;
}

double valueAt(const QVector<double>& v, int i)
{
  return i < v.size() ? v[i] : std::nan("");
}

QString tooManyRows(int count)
{
  return QStringLiteral(
             "The chart has %1 points, but an XLS worksheet holds at most %2 rows, "
             "so no file was written. Save the counts as a CSV file with "
             "File > \"Save...\" instead: it keeps all of them.")
      .arg(count)
      .arg(XlsMaxRows);
}

}  // namespace

QByteArray xlsLabelBytes(const QString& text)
{
  QByteArray out;
  for (char32_t c : text.toUcs4()) {
    if (out.size() == XlsMaxLabelBytes)
      break;
    out.append(cp1252(c));
  }
  return out;
}

XlsColumns xlsColumns(const XlsSeries& series, bool labelsAllowed)
{
  XlsColumns c;
  c.label = labelsAllowed && anyLabel(series);
  c.x = series.count() > 0 && !plainSequence(series);
  c.z = series.hasZ;
  return c;
}

std::optional<QByteArray> xlsWorksheet(const XlsSeries& series, bool labelsAllowed, QString* error)
{
  const int n = series.count();
  if (n > XlsMaxRows) {
    if (error)
      *error = tooManyRows(n);
    return std::nullopt;
  }
  const XlsColumns columns = xlsColumns(series, labelsAllowed);
  Biff biff;
  biff.header(BofRecord, 8);
  biff.word(0);       // version
  biff.word(0x0010);  // worksheet
  biff.word(0);
  biff.word(0);
  biff.header(DimensionsRecord, 10);
  biff.word(0);
  biff.word(quint16(n));
  biff.word(0);
  biff.word(quint16(columns.count()));
  biff.word(0);
  for (int r = 0; r < n; ++r) {
    int col = 0;
    if (columns.label)
      biff.label(r, col++, xlsLabelBytes(series.label(r)));
    if (columns.x)
      biff.number(r, col++, series.xs[r]);
    const bool null = series.isNull(r);
    if (null)
      biff.blank(r, col++);
    else
      biff.number(r, col++, valueAt(series.ys, r));
    if (columns.z) {
      if (null)
        biff.blank(r, col++);
      else
        biff.number(r, col++, valueAt(series.zs, r));
    }
  }
  biff.header(EofRecord, 0);
  return biff.bytes();
}

bool writeXlsFile(const QString& path, const XlsSeries& series, bool labelsAllowed, QString* error)
{
  const auto bytes = xlsWorksheet(series, labelsAllowed, error);
  if (!bytes)
    return false;
  auto fail = [&](const QString& reason) {
    if (error) {
      *error = QStringLiteral(
                   "The XLS file \"%1\" could not be written: %2. "
                   "Check that the folder exists and is writable, or choose another name.")
                   .arg(QDir::toNativeSeparators(path), reason);
    }
    return false;
  };
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return fail(file.errorString());
  if (file.write(*bytes) != bytes->size()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return fail(reason);
  }
  if (!file.commit())
    return fail(file.errorString());
  return true;
}
