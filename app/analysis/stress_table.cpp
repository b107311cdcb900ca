#include "analysis/stress_table.h"

#include "common/formats.h"
#include "common/text_lines.h"

#include <cmath>
#include <optional>

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

const QString EmptyCell;

QString itemName(const StressTable& table, int row)
{
  const QString& object = table.cell(row, StressTable::ObjectColumn);
  return object.isEmpty() ? QStringLiteral("row %1").arg(row)
                          : QStringLiteral("%1 (row %2)").arg(object).arg(row);
}

QString stillApplied(const StressTable& table, const StressLaw& law)
{
  return QStringLiteral("The conversion in force is still that of %1.")
      .arg(itemName(table, law.AppliedStressItem));
}

}  // namespace

QVector<StressItemRow> DefaultStressItems()
{
  return {
      {"St_3_flat", "0,62", "350", "2,00"},     {"MSt_3_flat", "0,72", "310", "2,00"},
      {"VSt_3kp_flat", "0,86", "400", "2,15"},  {"VSt_3sp5", "0,99", "410", "2,29"},
      {"Steel_20_flat", "1,32", "420", "4,00"}, {"09G2S_flat", "1,06", "470", "2,98"},
      {"09G2S-12_flat", "1,23", "500", "3,24"}, {"17G1S_flat", "1,38", "520", "4,12"},
      {"St_Ds_flat", "1,70", "650", "3,38"},    {"Steel_45_flat", "1,79", "610", "3,46"},
      {"10XSND_flat", "1,38", "540", "4,24"},
  };
}

StressTable::StressTable(QObject* parent) : QAbstractTableModel(parent)
{
  m_rows = QVector<StressItemRow>{StressTableHeader} + DefaultStressItems();
}

const QString& StressTable::cell(int row, int col) const
{
  if (row < 0 || row >= RowCount() || col < 0 || col > 3)
    return EmptyCell;
  return m_rows[row][static_cast<size_t>(col)];
}

void StressTable::setCell(int row, int col, const QString& text)
{
  if (row < 1 || row >= RowCount() || col < 0 || col > 3)
    return;
  m_rows[row][static_cast<size_t>(col)] = text;
  const QModelIndex i = index(row, col);
  Q_EMIT dataChanged(i, i, {Qt::DisplayRole});
}

void StressTable::replaceItems(const QVector<StressItemRow>& items)
{
  beginResetModel();
  m_rows = QVector<StressItemRow>{StressTableHeader} + items;
  endResetModel();
}

void StressTable::insertItemRow(int row)
{
  if (row < 1 || row > RowCount())
    return;
  beginInsertRows({}, row, row);
  m_rows.insert(row, StressItemRow{});
  endInsertRows();
}

void StressTable::removeItemRow(int row)
{
  if (row < 1 || row >= RowCount())
    return;
  beginRemoveRows({}, row, row);
  m_rows.remove(row);
  endRemoveRows();
}

int StressTable::rowCount(const QModelIndex& parent) const
{
  return parent.isValid() ? 0 : RowCount();
}

int StressTable::columnCount(const QModelIndex& parent) const
{
  return parent.isValid() ? 0 : 4;
}

QVariant StressTable::data(const QModelIndex& index, int role) const
{
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
    return {};
  return cell(index.row(), index.column());
}

int FindCharInString(QChar ch, const QString& text, int start)
{
  if (start < 1 || start >= text.size())
    return 0;
  const qsizetype i = text.indexOf(ch, start - 1);
  return i < 0 ? 0 : static_cast<int>(i) + 1;
}

StressItemRow ParseStressLine(const QString& line)
{
  // Each field ends at its ";". Once one is missing there is nothing left to
  // delimit, so the later fields are empty rather than cut from earlier text.
  const int b = FindCharInString(u';', line, 1);
  const int c = b > 0 ? FindCharInString(u';', line, b + 1) : 0;
  const int d = c > 0 ? FindCharInString(u';', line, c + 1) : 0;
  const int e = d > 0 ? FindCharInString(u';', line, d + 1) : 0;
  auto between = [&line](int open, int close) {
    return close > 0 ? line.mid(open, close - open - 1) : QString();
  };
  return {between(0, b), between(b, c), between(c, d), between(d, e)};
}

std::optional<QVector<StressItemRow>> ReadStressItems(const QString& path, QString* reason)
{
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (reason)
      *reason = file.errorString();
    return std::nullopt;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    if (reason)
      *reason = file.errorString();
    return std::nullopt;
  }
  QStringDecoder decode(QStringConverter::System);
  QVector<StressItemRow> items;
  // Line ends are the same bytes in every code page the file may be written in.
  for (QByteArrayView line : splitLines(bytes))
    items.append(ParseStressLine(QString(decode(line))));
  return items;
}

bool LoadStressTable(StressTable& table, const QString& path, QString* reason)
{
  const auto items = ReadStressItems(path, reason);
  if (!items)
    return false;
  table.replaceItems(*items);
  return true;
}

bool SaveStressTable(const StressTable& table, const QString& path, QString* reason)
{
  QString text;
  for (int r = 1; r < table.RowCount(); ++r) {
    for (int c = 0; c < 4; ++c)
      text += table.cell(r, c) + fmt::ListSeparator;
    text += QStringLiteral("\r\n");
  }
  QStringEncoder encode(QStringConverter::System);
  const QByteArray bytes = encode(text);
  QSaveFile file(path);
  qint64 done = 0;
  bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  // A short write is reported as a smaller success: write the rest again
  // until it goes through or fails with the system's reason.
  while (ok && done < bytes.size()) {
    const qint64 w = file.write(bytes.constData() + done, bytes.size() - done);
    ok = w > 0;
    done += ok ? w : 0;
  }
  ok = ok && file.size() == bytes.size() && file.commit();
  if (!ok) {
    if (reason)
      *reason = file.error() != QFileDevice::NoError
                    ? file.errorString()
                    : QStringLiteral("the data could not be written");
    file.cancelWriting();
  }
  return ok;
}

bool ApplyStressItem(const StressTable& table, int row, StressLaw* law, QString* message)
{
  auto fail = [&](const QString& why) {
    if (message)
      *message = QStringLiteral("The stress item %1 cannot be applied: %2\n\n%3")
                     .arg(itemName(table, row), why, stillApplied(table, *law));
    return false;
  };
  if (row < 1 || row >= table.RowCount())
    return fail(QStringLiteral("there is no such row in the table."));
  double br0 = 0.0;
  int smax = 0;
  double brS = 0.0;
  const QString& br0Text = table.cell(row, StressTable::ZeroBrColumn);
  const QString& smaxText = table.cell(row, StressTable::SmaxColumn);
  const QString& brSText = table.cell(row, StressTable::SmaxBrColumn);
  if (!fmt::readReal(br0Text, &br0))
    return fail(QStringLiteral("its Br(S=0) \"%1\" is not a number.").arg(br0Text));
  if (!fmt::readInt(smaxText, &smax))
    return fail(QStringLiteral("its Smax \"%1\" is not a whole number.").arg(smaxText));
  if (!fmt::readReal(brSText, &brS))
    return fail(QStringLiteral("its Br(Smax) \"%1\" is not a number.").arg(brSText));
  if (brS == br0)
    return fail(QStringLiteral("its Br(Smax) equals its Br(S=0), so it gives no slope."));
  // Br(Smax) and Br(S=0) so close that the slope overflows give no usable
  // law either: every stress would read "inf".
  const double slope = smax / (brS - br0);
  if (!std::isfinite(slope))
    return fail(
        QStringLiteral("its Br(Smax) and Br(S=0) are too close together to give a "
                       "slope."));
  // A law that sends the instrument's scale beyond any stress a part can bear
  // gives axes and labels no chart can draw; refuse it like a flat one.
  const StressLaw candidate{br0, slope, row};
  for (const double br : {0.0, StressScaleTopBr})
    if (!(std::abs(candidate.ToStress(br)) <= MaxStressMagnitude))
      return fail(QStringLiteral("its law gives %1 MPa at %2 mT, beyond the ±1 000 000 000 MPa "
                                 "a chart can show. Check its Br(S=0), Smax and Br(Smax).")
                      .arg(fmt::general(candidate.ToStress(br), 4), fmt::general(br)));
  law->AppliedStressItem = row;
  law->StressSlope = slope;
  law->StressZeroBr = br0;
  return true;
}

QString ApplyStoredStressItem(const StressTable& table, int storedRow, StressLaw* law)
{
  QString why;
  if (ApplyStressItem(table, storedRow, law, &why))
    return {};
  if (storedRow != 1 && ApplyStressItem(table, 1, law, nullptr))
    return QStringLiteral("The stored stress item %1 could not be applied; %2 is applied.")
        .arg(storedRow)
        .arg(itemName(table, 1));
  return QStringLiteral("No stress item could be applied: ") + why.section(u'\n', 0, 0);
}
