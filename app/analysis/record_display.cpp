#include "analysis/record_display.h"

#include "common/formats.h"

#include <algorithm>
#include <cmath>

namespace {

RangeStatistics recordStatistics(const MeasurementGrid& grid, int first, int end)
{
  // One count is its own minimum, maximum and mean, even outside the 0..20 scale
  // that the range statistics start from.
  double v = 0.0;
  if (end - first == 1 && fmt::readReal(grid.cell(first, 1), &v)) {
    RangeStatistics s;
    s.min = s.max = s.mean = v;
    s.counts = 1;
    return s;
  }
  RangeStatistics s = ComputeRangeStatistics(grid, first, end - 1);
  if (s.counts == 0) {
    // Nothing measured: zeros rather than the scale's starting values, which would
    // read as a maximum below the minimum.
    s.min = s.max = s.mean = 0.0;
  }
  return s;
}

QString zeroLabel(bool stressMode)
{
  // Zeros in the unit in force: ToStress(0) would suggest a measured stress.
  if (stressMode) {
    const QString z = FormatStressValue(0.0);
    return QStringLiteral("S max =") + z + QStringLiteral(" MPa ") + StatisticsLineBreak +
           QStringLiteral("S avg =") + z + QStringLiteral(" MPa ") + StatisticsLineBreak +
           QStringLiteral("S min =") + z + QStringLiteral(" MPa ");
  }
  return StatisticsLabelText(0.0, 0.0, 0.0, false, StressLaw{});
}

void fillCircular(const MeasurementGrid& grid, const RecordDisplayOptions& options,
                  const LineValueAt& lineValue, RecordDisplay& d)
{
  const int length = d.length();
  const double mean = options.stressMode ? options.stress.ToStress(d.stats.mean) : d.stats.mean;
  for (int r = d.first; r < d.end; ++r) {
    const QString& br = grid.cell(r, 1);
    double v = 0.0;
    if (!fmt::readReal(br, &v))
      continue;
    const double angle = static_cast<double>(fmt::nearest((r - d.first) * 360.0 / length));
    d.means.append({angle, mean, QString()});
    // The chart's value carries trend removal and conversion; should the line not
    // hold the row (not filled yet), the count's own value in the unit in force.
    double y = lineValue ? lineValue(r - 1) : std::nan("");
    if (!std::isfinite(y))
      y = options.stressMode ? options.stress.ToStress(v) : v;
    d.values.append({angle, y, br});
  }
}

}  // namespace

QString RangePanelText(int firstCount, int lastCount, int length)
{
  return QStringLiteral("Range [") + QString::number(firstCount) + QStringLiteral("..") +
         QString::number(lastCount) + QStringLiteral("]  L=") + QString::number(length);
}

ValueRange RecordValueAxis(const RangeStatistics& stats, const RecordDisplayOptions& options)
{
  if (stats.counts == 0)
    return LinearValueAxis(options.stressMode);
  ValueRange range;
  if (options.stressMode) {
    range.max = static_cast<double>(fmt::nearest(options.stress.ToStress(stats.max + 1.0)));
    range.min = static_cast<double>(fmt::nearest(options.stress.ToStress(stats.min - 1.0)));
    // A table item with Br(Smax) below Br(S=0) has a falling law; the axis must
    // still run upwards.
    if (range.min > range.max)
      std::swap(range.min, range.max);
  } else {
    const double top = static_cast<double>(fmt::nearest(stats.max + 1.0));
    const double bottom = static_cast<double>(fmt::nearest(stats.min - 1.0));
    range.max = std::min(20.0, top);
    range.min = std::max(0.0, bottom);
    // A record wholly off the 0..20 scale (a single count of 25 mT) would clamp to
    // an inverted axis; show it around its own values instead.
    if (range.min > range.max)
      range = {bottom, top};
  }
  return range;
}

RecordDisplay ComputeRecordDisplay(const MeasurementGrid& grid, int k,
                                   const RecordDisplayOptions& options,
                                   const LineValueAt& lineValue)
{
  RecordDisplay d;
  d.record = std::max(1, k);
  const RecordRows rows = grid.findRecord(d.record);
  d.first = rows.first;
  d.end = rows.first + rows.count;
  d.panel22 = QString::number(d.record);
  d.stats = recordStatistics(grid, d.first, d.end);
  d.labelText = d.stats.counts == 0
                    ? zeroLabel(options.stressMode)
                    : StatisticsLabelText(d.stats, options.stressMode, options.stress);
  // An empty record has no last count: it is shown at its place in the file, the
  // separator that ends it, as a one-point range.
  const int firstCount = d.first - 1;
  const int lastCount = d.length() > 0 ? d.end - 2 : firstCount;
  d.panel23 = RangePanelText(firstCount, lastCount, d.length());
  d.bottomAxis = {static_cast<double>(firstCount), static_cast<double>(lastCount)};
  d.leftAxis = RecordValueAxis(d.stats, options);
  fillCircular(grid, options, lineValue, d);
  return d;
}
