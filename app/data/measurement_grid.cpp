#include "data/measurement_grid.h"

#include <algorithm>

namespace {
const QString EmptyCell;
}

MeasurementGrid::MeasurementGrid(QObject* parent) : QAbstractTableModel(parent)
{
  resetToFileList();
}

const QString& MeasurementGrid::cell(int row, int col) const
{
  if (row < 0 || row >= RowCount() || col < 0 || col > 1)
    return EmptyCell;
  return m_rows[row].cell[static_cast<size_t>(col)];
}

void MeasurementGrid::setCell(int row, int col, const QString& text)
{
  if (row < 0 || col < 0 || col > 1)
    return;
  if (row >= RowCount())
    setRowCount(row + 1);
  m_rows[row].cell[static_cast<size_t>(col)] = text;
  const QModelIndex i = index(row, col);
  Q_EMIT dataChanged(i, i, {Qt::DisplayRole});
}

void MeasurementGrid::setRowCount(int rows)
{
  rows = std::max(rows, 1);
  const int old = RowCount();
  if (rows == old)
    return;
  if (rows > old) {
    beginInsertRows({}, old, rows - 1);
    m_rows.resize(rows);
    endInsertRows();
  } else {
    beginRemoveRows({}, rows, old - 1);
    m_rows.resize(rows);
    endRemoveRows();
  }
}

void MeasurementGrid::replaceRows(QVector<GridRow> rows)
{
  if (rows.isEmpty())
    rows.resize(1);
  beginResetModel();
  m_rows = std::move(rows);
  endResetModel();
}

void MeasurementGrid::insertGridRow(int row)
{
  row = std::clamp(row, 0, RowCount());
  beginInsertRows({}, row, row);
  m_rows.insert(row, GridRow{});
  endInsertRows();
}

void MeasurementGrid::removeGridRows(int first, int last)
{
  first = std::max(first, 1);
  last = std::min(last, RowCount() - 1);
  if (last < first)
    return;
  beginRemoveRows({}, first, last);
  m_rows.remove(first, last - first + 1);
  endRemoveRows();
}

void MeasurementGrid::rewriteColumn(int col, int fromRow,
                                    const std::function<QString(int, const QString&)>& text)
{
  if (col < 0 || col > 1)
    return;
  fromRow = std::max(fromRow, 0);
  int first = -1;
  int last = -1;
  for (int r = fromRow; r < RowCount(); ++r) {
    QString& c = m_rows[r].cell[static_cast<size_t>(col)];
    QString changed = text(r, c);
    if (changed == c)
      continue;
    c = std::move(changed);
    first = first < 0 ? r : first;
    last = r;
  }
  if (first >= 0)
    Q_EMIT dataChanged(index(first, col), index(last, col), {Qt::DisplayRole});
}

bool MeasurementGrid::isRowHidden(int row) const
{
  return m_hiddenRows.contains(row);
}

void MeasurementGrid::setRowHidden(int row, bool hidden)
{
  if (hidden == isRowHidden(row))
    return;
  if (hidden)
    m_hiddenRows.append(row);
  else
    m_hiddenRows.removeAll(row);
  Q_EMIT rowVisibilityChanged(row, hidden);
}

void MeasurementGrid::setRangeSelect(bool on)
{
  if (on == m_rangeSelect)
    return;
  m_rangeSelect = on;
  Q_EMIT rangeSelectChanged(on);
}

void MeasurementGrid::resetToFileList()
{
  QVector<GridRow> rows(FileListRows);
  rows[0].cell = {FileNameHeader, SizeHeader};
  replaceRows(std::move(rows));
  setRowHidden(1, false);
}

bool MeasurementGrid::isFileListHeader() const
{
  return cell(0, 0) == FileNameHeader;
}

RecordRows MeasurementGrid::findRecord(int k) const
{
  // Walk the rows counting record starts: the return row (row 1, empty or
  // "Return") starts record 1, every empty column-0 cell starts the next one.
  int c = 0;
  int r = 0;
  const int n = RowCount();
  while (r < n && c != k) {
    const QString& c0 = m_rows[r].cell[0];
    if (r > 0 && (c0.isEmpty() || c0 == ReturnText))
      ++c;
    ++r;
  }
  RecordRows rec;
  rec.first = r;
  int e = r;
  while (e < n && !m_rows[e].cell[0].isEmpty())
    ++e;
  rec.last = e - 1;
  rec.count = e - r;
  return rec;
}

int MeasurementGrid::countRecords() const
{
  int records = 1;
  for (int r = 2; r < RowCount(); ++r)
    if (m_rows[r].cell[1].isEmpty())
      ++records;
  return records;
}

QString MeasurementGrid::countNumberCell(int row, const QString& time)
{
  return QString::number(row - 1) + QStringLiteral(") ") + time;
}

QString MeasurementGrid::timeOf(const QString& countCell)
{
  return countCell.right(8);
}

int MeasurementGrid::rowCount(const QModelIndex& parent) const
{
  return parent.isValid() ? 0 : RowCount();
}

int MeasurementGrid::columnCount(const QModelIndex& parent) const
{
  return parent.isValid() ? 0 : 2;
}

QVariant MeasurementGrid::data(const QModelIndex& index, int role) const
{
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
    return {};
  return cell(index.row(), index.column());
}
