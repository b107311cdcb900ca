// Measurement files as they come from disk: the reader, then every analysis
// the window runs on what it read.

#include "data/measurement_file.h"
#include "fuzz_analyses.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  MeasurementFileError error;
  auto rows = parseMeasurementFile(bytes, &error);
  if (!rows) {
    (void)error.message();
    return 0;
  }
  MeasurementGrid grid;
  grid.replaceRows(std::move(*rows));
  fuzz::runAnalyses(grid);
  (void)measurementLines(grid, 2, grid.RowCount() - 1);
  return 0;
}
