#include "export/report_content.h"

#include "analysis/statistics.h"
#include "common/formats.h"

#include <cmath>

namespace {

// Welford's running mean and spread: steady for long files of close values.
struct Accumulator {
  RecordSummary s;
  double m2 = 0.0;

  void add(double v, int countNumber)
  {
    ++s.counts;
    if (s.counts == 1 || v < s.min) {
      s.min = v;
      s.minCount = countNumber;
    }
    if (s.counts == 1 || v > s.max) {
      s.max = v;
      s.maxCount = countNumber;
    }
    const double delta = v - s.mean;
    s.mean += delta / s.counts;
    m2 += delta * (v - s.mean);
  }
  RecordSummary result() const
  {
    RecordSummary out = s;
    out.stdDev = s.counts > 1 ? std::sqrt(m2 / (s.counts - 1)) : 0.0;
    return out;
  }
};

QString value(double v, bool stressMode)
{
  return stressMode ? FormatStressValue(v) : FormatBrValue(v);
}

QString unit(bool stressMode)
{
  return stressMode ? QStringLiteral("MPa") : QStringLiteral("mT");
}

QStringList tableRow(const QString& name, const RecordSummary& s, bool stressMode)
{
  if (s.counts == 0)
    return {name, QStringLiteral("0"), {}, {}, {}, {}, {}, {}};
  return {name,
          QString::number(s.counts),
          value(s.min, stressMode),
          QString::number(s.minCount),
          value(s.max, stressMode),
          QString::number(s.maxCount),
          value(s.mean, stressMode),
          value(s.stdDev, stressMode)};
}

QString unitField(const ReportInfo& info)
{
  if (!info.stressMode)
    return QStringLiteral("Br, mT");
  const StressItemRow& i = info.stressItem;
  return QStringLiteral("S, MPa: %1, Br(S=0) = %2 mT, Smax = %3 MPa, Br(Smax) = %4 mT")
      .arg(i[0].trimmed(), i[1].trimmed(), i[2].trimmed(), i[3].trimmed());
}

}  // namespace

RecordSummary SummariseRows(const MeasurementGrid& grid, int firstRow, int lastRow, bool stressMode,
                            const StressLaw& stress)
{
  Accumulator acc;
  for (int r = std::max(firstRow, 2); r <= lastRow && r < grid.RowCount(); ++r) {
    double br = 0.0;
    if (!fmt::readReal(grid.cell(r, 1), &br))
      continue;
    acc.add(stressMode ? stress.ToStress(br) : br, r - 1);
  }
  return acc.result();
}

QVector<RecordSummary> SummariseRecords(const MeasurementGrid& grid, bool stressMode,
                                        const StressLaw& stress)
{
  QVector<RecordSummary> out;
  int first = 2;
  for (int r = 2; r <= grid.RowCount(); ++r) {
    if (r == grid.RowCount() || grid.cell(r, 1).isEmpty()) {
      out << SummariseRows(grid, first, r - 1, stressMode, stress);
      first = r + 1;
    }
  }
  return out;
}

QString StatisticsToolTip(const RecordSummary& s, bool stressMode)
{
  if (s.counts == 0)
    return QStringLiteral("No counts");
  return QStringLiteral(
             "Counts: %1\nStandard deviation: %2 %3\nMinimum at count %4, maximum at count %5")
      .arg(s.counts)
      .arg(value(s.stdDev, stressMode), unit(stressMode))
      .arg(s.minCount)
      .arg(s.maxCount);
}

ReportText ComposeReport(const ReportInfo& info, const MeasurementGrid& grid,
                         const StressLaw& stress)
{
  ReportText t;
  t.title = info.title.trimmed().isEmpty() ? DefaultReportTitle : info.title.trimmed();
  t.fields = {{QStringLiteral("Object"), info.object},
              {QStringLiteral("Operator"), info.operatorName},
              {QStringLiteral("Date"), fmt::formatDateTime(info.created)},
              {QStringLiteral("File"), info.fileName}};
  if (!info.instrument.isEmpty())
    t.fields.append({QStringLiteral("Instrument"), info.instrument});
  t.fields.append({QStringLiteral("Program"), QStringLiteral("RZ-37m connect ") + info.version});
  t.fields.append({QStringLiteral("Values"), unitField(info)});

  const QString u = unit(info.stressMode);
  t.tableHeader = {QStringLiteral("Record"),     QStringLiteral("Counts"),
                   QStringLiteral("Min, ") + u,  QStringLiteral("at count"),
                   QStringLiteral("Max, ") + u,  QStringLiteral("at count"),
                   QStringLiteral("Mean, ") + u, QStringLiteral("Std. dev., ") + u};
  const int last = grid.RowCount() - 1;
  t.tableRows << tableRow(QStringLiteral("All"),
                          SummariseRows(grid, 2, last, info.stressMode, stress), info.stressMode);
  const QVector<RecordSummary> records = SummariseRecords(grid, info.stressMode, stress);
  for (int i = 0; i < records.size(); ++i)
    t.tableRows << tableRow(QString::number(i + 1), records[i], info.stressMode);
  return t;
}

QString ProgramVersion()
{
  return QStringLiteral(RZ37M_VERSION);
}
