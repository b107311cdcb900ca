#pragma once
// The stress table: calibration items (steel grade or object, Br(S=0), Smax,
// Br(Smax)) held as text exactly as read, in the rows of a four-column table.
// Row 0 is the header, items start at row 1; rows 1..11 are the built-in items.
// The table's file, Stress_DB.csv beside the program, holds one item per line,
// each field followed by ";", lines ended by CR LF, in the system code page.

#include "analysis/stress_law.h"

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

#include <array>
#include <optional>

using StressItemRow = std::array<QString, 4>;

inline const QString StressTableFileName = QStringLiteral("Stress_DB.csv");
inline const StressItemRow StressTableHeader = {QStringLiteral("Object"), QStringLiteral("Br(S=0)"),
                                                QStringLiteral("Smax"), QStringLiteral("Br(Smax)")};
inline constexpr int BuiltInStressItems = 11;

// The eleven built-in items, as the default file holds them.
QVector<StressItemRow> DefaultStressItems();

class StressTable : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { ObjectColumn = 0, ZeroBrColumn = 1, SmaxColumn = 2, SmaxBrColumn = 3 };

  // The header and the built-in items.
  explicit StressTable(QObject* parent = nullptr);

  // Table access in table rows, row 0 the header. Outside the table reads "".
  int RowCount() const { return static_cast<int>(m_rows.size()); }
  const QString& cell(int row, int col) const;
  void setCell(int row, int col, const QString& text);

  // Items are rows 1..RowCount-1.
  QVector<StressItemRow> items() const { return m_rows.mid(1); }
  void replaceItems(const QVector<StressItemRow>& items);
  void insertItemRow(int row);  // an empty row before `row` (1..RowCount)
  void removeItemRow(int row);  // 1..RowCount-1

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  QVector<StressItemRow> m_rows;
};

// The 1-based position of the first ch at or after position start, or 0 when
// there is none or start is not less than the text's length.
int FindCharInString(QChar ch, const QString& text, int start);

// The four fields of one file line; a field whose closing ";" is missing is
// empty, and so is every field after it.
StressItemRow ParseStressLine(const QString& line);

// Reads the items of a stress table file. Nothing is returned when the file
// cannot be read; *reason then holds the system's reason.
std::optional<QVector<StressItemRow>> ReadStressItems(const QString& path, QString* reason);

// Loads the file into the table, replacing its items. A file that cannot be
// read leaves the table as it was and returns false.
bool LoadStressTable(StressTable& table, const QString& path, QString* reason);

// Writes rows 1..RowCount-1, the cell texts unchanged. The old file is replaced
// only once the new one is complete.
bool SaveStressTable(const StressTable& table, const QString& path, QString* reason);

// Makes table row `row` the applied item: StressZeroBr := Br(S=0),
// StressSlope := Smax / (Br(Smax) - Br(S=0)), AppliedStressItem := row. A row
// that is not in the table, does not convert, or whose Br(Smax) equals Br(S=0)
// changes nothing and returns false with a message saying why.
bool ApplyStressItem(const StressTable& table, int row, StressLaw* law, QString* message);

// The item stored from the last session, applied at start. A row beyond the
// table applies row 1, and so does a stored row that cannot be applied. Returns
// a note for the status bar when the stored row was not the one applied.
QString ApplyStoredStressItem(const StressTable& table, int storedRow, StressLaw* law);
