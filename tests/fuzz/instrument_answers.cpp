// The instrument's answers as they arrive on the line: identification, clock,
// listing, content and deletion are each cut from the same bytes, and the
// prompt search is fed in the pieces a receive event might bring.

#include "device/device_probe.h"
#include "device/file_exchange.h"
#include "device/instrument_protocol.h"
#include "fuzz_analyses.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The prompt search over pieces must find exactly what a search of the whole
// buffer finds, however the answer is cut into receive events.
void checkPromptSearch(const QString& answer, int piece)
{
  instrument::PromptScanner scanner;
  QString buffer;
  bool found = false;
  for (qsizetype at = 0; at < answer.size() && !found; at += piece) {
    const qsizetype before = buffer.size();
    buffer += answer.mid(at, piece);
    found = scanner.found(buffer, before);
    if (found != buffer.contains(instrument::Prompt))
      std::abort();
  }
}

void cutListing(const QString& answer)
{
  const QString body = instrument::cutAnswer(answer, instrument::ListingHeaderLength,
                                             instrument::ListingTrailerLength);
  for (const instrument::FileEntry& entry : instrument::listingEntries(body)) {
    int bytes = 0;
    if (!instrument::sizeInBytes(entry.size, &bytes))
      continue;
    for (const long long received : {0LL, 1LL, static_cast<long long>(bytes), 1LL << 40})
      (void)loadingStatusText(received, bytes);
  }
  (void)afterListing(WaitingForListing, body.left(instrument::FileNameLength));
}

void cutContent(const QString& answer)
{
  QVector<GridRow> rows = instrument::contentRows(instrument::cutAnswer(
      answer, instrument::ContentHeaderLength, instrument::ContentTrailerLength));
  if (instrument::firstUnreadableCount(rows) >= 0)
    return;  // refused before any analysis runs
  MeasurementGrid grid;
  grid.replaceRows(std::move(rows));
  fuzz::runAnalyses(grid);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  (void)deviceNameFromAnswer(bytes);
  (void)clockFromAnswer(bytes);
  const QString answer = instrument::fromWire(bytes);
  if (instrument::toWire(answer) != bytes)
    std::abort();  // the receive buffer must keep every byte as it came
  checkPromptSearch(answer, size > 0 ? data[0] % 64 + 1 : 1);
  cutListing(answer);
  cutContent(answer);
  if (answer.contains(instrument::FileDeleted))
    for (const unsigned char state : {WaitingForListing, DeleteAllStep, Idle})
      (void)afterDeletion(state, static_cast<int>(size % 40));
  return 0;
}
