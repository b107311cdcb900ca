#pragma once
// The XLS worksheet the export buttons write: a bare BIFF worksheet stream
// (BOF, DIMENSIONS, one row of cells per point, EOF) that spreadsheet programs
// open as a one-sheet workbook.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// The points of one chart series as the export reads them back, in point order.
struct XlsSeries {
  QVector<double> xs;
  QVector<double> ys;
  QVector<double> zs;   // used only when hasZ (the map's surface series)
  QVector<bool> nulls;  // a short list means "not null" for the rest
  QStringList labels;   // a short list means "no label" for the rest
  bool hasZ = false;

  int count() const { return static_cast<int>(xs.size()); }
  bool isNull(int i) const { return i < nulls.size() && nulls[i]; }
  QString label(int i) const { return i < labels.size() ? labels[i] : QString(); }
};

// The worksheet's rows are numbered in 16 bits: one point per row, no more.
inline constexpr int XlsMaxRows = 65535;
// A LABEL cell holds at most this many bytes of text.
inline constexpr int XlsMaxLabelBytes = 255;

// Which columns the worksheet gets, left to right without gaps.
struct XlsColumns {
  bool label = false;  // labels allowed and some point has one
  bool x = false;      // the x values are not just 0, 1, ... n - 1
  bool z = false;
  int count() const { return int(label) + int(x) + 1 + int(z); }
};

XlsColumns xlsColumns(const XlsSeries& series, bool labelsAllowed);

// The whole file's bytes, or nothing (and *error says why) for a series that
// does not fit the worksheet.
std::optional<QByteArray> xlsWorksheet(const XlsSeries& series, bool labelsAllowed,
                                       QString* error = nullptr);

// Writes the worksheet to path through a temporary file that replaces path only
// once complete: on any failure path is left as it was, and *error names the
// path and the reason.
bool writeXlsFile(const QString& path, const XlsSeries& series, bool labelsAllowed,
                  QString* error = nullptr);

// A label's text in the Windows ANSI code page (1252): characters it lacks
// become '?', and the text is cut to XlsMaxLabelBytes bytes.
QByteArray xlsLabelBytes(const QString& text);
