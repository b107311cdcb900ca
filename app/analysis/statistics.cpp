#include "analysis/statistics.h"

#include "shell/app_state.h"
#include "shell/formats.h"

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

namespace {

int decimalExponent(double a)
{
  int e = static_cast<int>(std::floor(std::log10(a)));
  if (std::pow(10.0, e + 1) <= a)
    ++e;
  else if (std::pow(10.0, e) > a)
    --e;
  return e;
}

// fmt::fixed rounds to the significant digits and then prints the decimals
// asked for, cutting off any digit behind them (96.38 with 4 digits and 1
// decimal would read 96,3). The value is rounded once, at the significant digit
// or at the last decimal, whichever comes first.
QString labelNumber(double x, int significant, int decimals)
{
  if (!std::isfinite(x) || x == 0.0)
    return fmt::fixed(x, significant, decimals);
  const double a = std::fabs(x);
  const int digits = std::min(significant, decimalExponent(a) + 1 + decimals);
  if (digits >= 1)
    return fmt::fixed(x, digits, decimals);
  // Smaller than the last decimal: zero, or one unit of it from half a unit on.
  const double unit = std::pow(10.0, -decimals);
  if (digits == 0 && a >= unit / 2)
    return fmt::fixed(std::copysign(unit, x), 1, decimals);
  return fmt::fixed(0.0, significant, decimals);
}

}  // namespace

QString FormatBrValue(double mT)
{
  return labelNumber(mT, 3, 2);
}

QString FormatStressValue(double mpa)
{
  return labelNumber(mpa, 4, 1);
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
