#pragma once
// Reads back the small BIFF worksheets the XLS export writes, record by record,
// so tests can check cells by row and column instead of by byte offset.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QtEndian>

#include <cstring>
#include <optional>

struct BiffCell {
  enum class Kind { Blank, Number, Label };
  Kind kind = Kind::Blank;
  double number = 0.0;
  QByteArray label;
};

struct BiffSheet {
  QList<quint16> recordTypes;  // in file order, BOF to EOF
  int rows = -1;               // from DIMENSIONS
  int columns = -1;
  QMap<QPair<int, int>, BiffCell> cells;  // (row, column)
  bool trailingBytes = false;             // bytes after EOF

  const BiffCell* cell(int row, int column) const
  {
    auto it = cells.constFind({row, column});
    return it == cells.cend() ? nullptr : &*it;
  }
  int cellCount() const { return static_cast<int>(cells.size()); }
};

// Nothing when the bytes are not a well-formed record stream ending in EOF.
inline std::optional<BiffSheet> readBiff(const QByteArray& bytes)
{
  BiffSheet sheet;
  const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
  qsizetype at = 0;
  auto word = [&](qsizetype off) { return qFromLittleEndian<quint16>(p + off); };
  while (at + 4 <= bytes.size()) {
    const quint16 type = word(at);
    const quint16 length = word(at + 2);
    const qsizetype data = at + 4;
    if (data + length > bytes.size())
      return std::nullopt;
    sheet.recordTypes << type;
    if (type == 0x0200 && length == 10) {
      sheet.rows = word(data + 2);
      sheet.columns = word(data + 6);
    } else if (type == 0x0001 || type == 0x0003 || type == 0x0004) {
      if (length < 7)
        return std::nullopt;
      BiffCell c;
      if (type == 0x0003) {
        if (length != 15)
          return std::nullopt;
        c.kind = BiffCell::Kind::Number;
        const quint64 bits = qFromLittleEndian<quint64>(p + data + 7);
        std::memcpy(&c.number, &bits, sizeof c.number);
      } else if (type == 0x0004) {
        c.kind = BiffCell::Kind::Label;
        const int n = p[data + 7];
        if (length != 8 + n)
          return std::nullopt;
        c.label = bytes.mid(data + 8, n);
      } else if (length != 7) {
        return std::nullopt;
      }
      sheet.cells.insert({word(data), word(data + 2)}, c);
    }
    at = data + length;
    if (type == 0x000A) {
      sheet.trailingBytes = at != bytes.size();
      return sheet;
    }
  }
  return std::nullopt;
}
