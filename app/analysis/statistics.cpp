#include "analysis/statistics.h"

#include "common/app_state.h"
#include "common/formats.h"

#include <algorithm>
#include <cmath>

RangeStatistics ComputeRangeStatistics(const MeasurementGrid& grid, int firstRow, int lastRow)
{
  RangeStatistics s;
  double sum = 0.0;
  for (int r = firstRow; r <= lastRow; ++r) {
    const QString& br = grid.cell(r, 1);
    if (br.isEmpty()) {
      ++s.records;
      continue;
    }
    double v = 0.0;
    if (!fmt::readReal(br, &v))
      continue;
    if (v < s.min)
      s.min = v;
    if (v > s.max)
      s.max = v;
    sum += v;
    ++s.counts;
  }
  s.mean = s.counts > 0 ? sum / s.counts : 0.0;
  return s;
}

QString FormatBrValue(double mT)
{
  return fmt::fixed(mT, 3, 2);
}

QString FormatStressValue(double mpa)
{
  return fmt::fixed(mpa, 4, 1);
}

QString StatisticsLabelText(double max, double mean, double min, bool stressMode,
                            const StressLaw& stress)
{
  const QChar cr = StatisticsLineBreak;
  if (stressMode) {
    return QStringLiteral("S max =") + FormatStressValue(stress.ToStress(max)) +
           QStringLiteral(" MPa ") + cr + QStringLiteral("S avg =") +
           FormatStressValue(stress.ToStress(mean)) + QStringLiteral(" MPa ") + cr +
           QStringLiteral("S min =") + FormatStressValue(stress.ToStress(min)) +
           QStringLiteral(" MPa ");
  }
  return QStringLiteral("Br max =") + FormatBrValue(max) + QStringLiteral(" mT ") + cr +
         QStringLiteral("Br avg =") + FormatBrValue(mean) + QStringLiteral(" mT ") + cr +
         QStringLiteral("Br min =") + FormatBrValue(min) + QStringLiteral(" mT ");
}

QString StatisticsLabelText(const RangeStatistics& s, bool stressMode, const StressLaw& stress)
{
  return StatisticsLabelText(s.max, s.mean, s.min, stressMode, stress);
}

void StoreRangeStatistics(const RangeStatistics& s, AppState& state)
{
  state.RangeMin = s.min;
  state.RangeMax = s.max;
  state.RangeMean = s.mean;
  state.CurrentMean = s.mean;
}

QStringList StatisticsLabelLines(const QString& labelText)
{
  return labelText.split(StatisticsLineBreak);
}
