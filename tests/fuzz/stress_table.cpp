// Stress table files as they come from disk: the reader, applying each item,
// and what an applied item's law does to the figures and axes shown in MPa.

#include "analysis/stress_table.h"
#include "analysis/record_display.h"
#include "analysis/statistics.h"
#include "common/formats.h"

#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

namespace {

// The reader takes a path, as the window does: the bytes go through a real file.
QTemporaryFile& scratch()
{
  static QTemporaryFile file;
  if (!file.isOpen() && !file.open())
    std::abort();
  return file;
}

void useLaw(const StressLaw& law)
{
  for (const double br : {0.0, 0.62, 10.0, 20.0, -1.0, 21.0}) {
    (void)FormatStressValue(law.ToStress(br));
    (void)fmt::nearest(law.ToStress(br));
  }
  RangeStatistics stats;
  stats.min = 0.0;
  stats.max = 20.0;
  stats.mean = 10.0;
  stats.counts = 2;
  (void)StatisticsLabelText(stats, true, law);
  (void)RecordValueAxis(stats, {true, law});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  QTemporaryFile& file = scratch();
  if (!file.resize(0) || !file.seek(0) ||
      file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
          static_cast<qint64>(size) ||
      !file.flush())
    std::abort();
  QString reason;
  const auto items = ReadStressItems(file.fileName(), &reason);
  if (!items)
    std::abort();  // the file is there and readable: nothing may stop the reader
  StressTable table;
  table.replaceItems(*items);
  StressLaw law;
  for (int row = 0; row <= table.RowCount(); ++row) {
    QString message;
    if (ApplyStressItem(table, row, &law, &message))
      useLaw(law);
  }
  (void)ApplyStoredStressItem(table, table.RowCount() + 1, &law);
  return 0;
}
