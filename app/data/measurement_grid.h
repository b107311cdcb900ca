#pragma once
// The one store of measurements: a two-column grid of cell texts.
//
// Row 0 is the header row, row 1 the return row, counts and separators start at
// row 2. The same indexing is used everywhere; only the view adapter maps row 0
// to the header of a table view and hides rows. In file-list mode the rows from
// 1 on hold the instrument's directory instead.

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

#include <array>
#include <functional>

struct GridRow {
  std::array<QString, 2> cell;
};

// First and last row of a record; `count` is 0 for an empty record, whose
// last row is then first - 1.
struct RecordRows {
  int first = 0;
  int last = -1;
  int count = 0;
};

class MeasurementGrid : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int FileListRows = 32;

  explicit MeasurementGrid(QObject* parent = nullptr);

  // Grid access in grid rows. A row or column outside the grid reads as "".
  int RowCount() const { return static_cast<int>(m_rows.size()); }
  const QString& cell(int row, int col) const;
  void setCell(int row, int col, const QString& text);
  void setRowCount(int rows);  // new rows are empty; at least 1 row (the header)

  // Replaces every row at once (loaders build the new grid aside, then swap it in,
  // so a failed load leaves the grid as it was).
  void replaceRows(QVector<GridRow> rows);
  const QVector<GridRow>& rows() const { return m_rows; }

  void insertGridRow(int row);  // an empty row before `row`
  void removeGridRows(int first, int last);

  // Rewrites column `col` of rows fromRow..RowCount-1 with what `text` makes of
  // (row, old text), as one model change: renumbering 100 000 counts must not
  // repaint the view 100 000 times.
  void rewriteColumn(int col, int fromRow,
                     const std::function<QString(int row, const QString& old)>& text);

  // Row heights as the form sets them: -1 hides a row. Only row 1 is ever hidden.
  bool isRowHidden(int row) const;
  void setRowHidden(int row, bool hidden);

  // Whether the view lets the user select a range of rows (measurement mode).
  bool rangeSelect() const { return m_rangeSelect; }
  void setRangeSelect(bool on);

  // The file-list state the program starts in: 32 empty rows under the headers.
  void resetToFileList();
  bool isFileListHeader() const;

  // Record rules.
  RecordRows findRecord(int k) const;
  int countRecords() const;  // 1 + empty Br cells in rows 2..RowCount-1
  static QString countNumberCell(int row, const QString& time);  // "n) time"
  static QString timeOf(const QString& countCell);               // the last 8 characters

  // QAbstractTableModel: one Qt row per grid row, row 0 included.
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 Q_SIGNALS:
  void rowVisibilityChanged(int row, bool hidden);
  void rangeSelectChanged(bool on);

 private:
  QVector<GridRow> m_rows;
  QVector<int> m_hiddenRows;
  bool m_rangeSelect = false;
};

inline const QString FileNameHeader = QStringLiteral(" File name");
inline const QString SizeHeader = QStringLiteral(" Size, bytes");
inline const QString TimeHeader = QStringLiteral(" Time");
inline const QString BrHeader = QStringLiteral(" Br, mT");
inline const QString ReturnText = QStringLiteral("Return");
