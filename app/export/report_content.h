#pragma once
// What the inspection report says, as text: the heading fields and the table of
// statistics of the whole file and of each record. The statistics label's tip
// in the window uses the same figures.

#include "analysis/stress_law.h"
#include "analysis/stress_table.h"
#include "data/measurement_grid.h"

#include <QDateTime>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// Figures of the counts of a run of grid rows, in the unit shown (mT, or MPa
// in stress mode).
struct RecordSummary {
  int counts = 0;
  double min = 0.0;
  double max = 0.0;
  double mean = 0.0;
  double stdDev = 0.0;  // sample standard deviation (n - 1); 0 for one count
  int minCount = 0;     // count number (grid row - 1) of the first minimum; 0 without counts
  int maxCount = 0;
};

// Rows firstRow..lastRow; separator rows and cells that are not numbers are
// left out.
RecordSummary SummariseRows(const MeasurementGrid& grid, int firstRow, int lastRow, bool stressMode,
                            const StressLaw& stress);

// One summary per record of the file, in order (a record without counts too).
QVector<RecordSummary> SummariseRecords(const MeasurementGrid& grid, bool stressMode,
                                        const StressLaw& stress);

// The statistics label's tip: counts, standard deviation and where the
// minimum and maximum lie.
QString StatisticsToolTip(const RecordSummary& s, bool stressMode);

// What the report's first page is made of.
struct ReportInfo {
  QString title;
  QString object;
  QString operatorName;
  QString fileName;
  QString instrument;  // model and serial number; empty when the data came from a file
  QString version;
  QDateTime created;
  bool stressMode = false;
  StressItemRow stressItem;  // the item in force (stress mode only)
};

struct ReportText {
  QString title;
  QVector<QPair<QString, QString>> fields;  // label, value
  QStringList tableHeader;
  QVector<QStringList> tableRows;  // the whole file first, then record by record
};

inline const QString DefaultReportTitle = QStringLiteral("Inspection report");

ReportText ComposeReport(const ReportInfo& info, const MeasurementGrid& grid,
                         const StressLaw& stress);

// The program's version as the report prints it.
QString ProgramVersion();
