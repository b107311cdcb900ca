#pragma once
// Measurement files: one 8-bit text line per grid row, ended by CR LF.
//
//   count line      "10:42:05;05,43"  time (8 characters), any character, Br as
//                                      two characters, any character, two characters
//   dated count     "07.12.2026;10:42:05;05,43"  exactly 25 characters; the
//                                      11-character date prefix is ignored
//   separator       an empty line or exactly 14 blanks
//
// The count number of the grid's column 0 is not stored; it is rebuilt from the
// line's position when the file is read.

#include "data/measurement_grid.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVector>

#include <optional>

struct MeasurementFileError {
  enum class Kind { None, Read, BadLine, Write, Append, RewriteInPlace };
  Kind kind = Kind::None;
  QString path;
  QString reason;    // the system's reason (Read, Write, Append)
  int line = 0;      // 1-based line number of a bad line
  QString lineText;  // the bad line as read

  // The text shown to the user: what happened, where, and that nothing changed.
  QString message() const;
};

inline const QString CsvFilter = QStringLiteral("Comma Separated Values Files|*.csv");
inline const QByteArray SeparatorLine = QByteArrayLiteral("              ");  // 14 blanks

// Reads a whole measurement file into grid rows: row 0 the headers " Time" and
// " Br, mT", row 1 empty, then one row per line. Nothing is returned unless every
// count line gives a Br that converts to a number, so a caller can keep its old
// grid when a file is bad.
std::optional<QVector<GridRow>> readMeasurementFile(const QString& path,
                                                    MeasurementFileError* error);

// The same over the file's bytes (error->path is left to the caller).
std::optional<QVector<GridRow>> parseMeasurementFile(const QByteArray& content,
                                                     MeasurementFileError* error);

// The file lines of grid rows firstRow..lastRow, clamped to the data rows
// 2..RowCount-1, each ended by CR LF.
QByteArray measurementLines(const MeasurementGrid& grid, int firstRow, int lastRow);

enum class MeasurementWriteMode {
  Create,   // a new file
  Rewrite,  // replace an existing file
  Append,   // add a separator line and the lines after the old data
};

// Writes lines to path. Create and Rewrite write a temporary file in the same
// folder and put it in place only when it is complete, so a failed write leaves
// the old file as it was; Append restores the old length when the write fails.
// Rewrite of a writable file in a folder that lets no new file be made writes
// the file in place instead: the user chose to clear the old data, and a
// failure then says that the file holds only part of the new data.
bool writeMeasurementFile(const QString& path, const QByteArray& lines, MeasurementWriteMode mode,
                          MeasurementFileError* error);

// Today's date as ddMMyyyy: the file name the save dialog proposes.
QString proposedMeasurementFileName(const QDate& today);

// name with ".csv" appended unless its extension already is ".csv" or ".CSV".
QString withCsvExtension(const QString& name);

// The question asked before saving over an existing file, and the message shown
// when it is closed without an answer. fileName is the name without folder.
QString appendQuestionText(const QString& fileName);
QString notSavedText(const QString& fileName);
inline const QString SavingCaption = QStringLiteral("Saving...");
inline constexpr int SavingQuestionHeight = 210;
