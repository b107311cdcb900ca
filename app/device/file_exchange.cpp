#include "device/file_exchange.h"

#include "common/clock.h"
#include "common/formats.h"

#include <algorithm>

int progressPercent(long long receivedBytes, long long expectedBytes)
{
  if (expectedBytes <= 0)
    return -1;
  const long long percent =
      fmt::nearest(static_cast<double>(receivedBytes) * 100.0 / static_cast<double>(expectedBytes));
  return static_cast<int>(std::clamp<long long>(percent, 0, 100));
}

QString loadingStatusText(long long receivedBytes, long long expectedBytes)
{
  const int percent = progressPercent(receivedBytes, expectedBytes);
  if (percent < 0)
    return LoadingStatus + u' ' + QString::number(receivedBytes) + QStringLiteral(" bytes");
  return LoadingStatus + u' ' + QString::number(percent) + u'%';
}

ListingStep afterListing(unsigned char state, const QString& firstListed)
{
  switch (state) {
    case WaitingForListing:
      // A listing with no file left ends "Delete all" instead of asking the
      // instrument to delete a file without a name.
      if (firstListed.isEmpty())
        return {Idle, true, false, true};
      return {DeleteAllStep, false, true, false};
    case DeleteAllStep:
      return {DeleteAllStep, false, false, false};
    default:
      return {state, true, false, false};
  }
}

DeletionStep afterDeletion(unsigned char state, int rowCount)
{
  switch (state) {
    case DeleteAllStep:
      if (rowCount <= 2)
        return {Idle, true, true};
      return {WaitingForListing, false, true};
    case WaitingForListing:
      return {WaitingForListing, false, false};
    default:
      return {state, true, true};
  }
}

FileExchange::FileExchange(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock)
{
  m_timer.setInterval(CheckIntervalMs);
  connect(&m_timer, &QTimer::timeout, this, [this] { checkSilence(); });
}

void FileExchange::begin(Request request, std::function<void()> restore)
{
  m_restore = std::move(restore);
  next(request);
}

void FileExchange::next(Request request)
{
  m_request = request;
  m_lastHeard = m_clock.now();
  m_timer.start();
}

void FileExchange::finish()
{
  m_request = Request::None;
  m_restore = nullptr;
  m_timer.stop();
}

void FileExchange::abandon()
{
  std::function<void()> restore = std::move(m_restore);
  finish();
  if (restore)
    restore();
}

void FileExchange::heard()
{
  m_lastHeard = m_clock.now();
}

bool FileExchange::checkSilence()
{
  if (!underWay() || m_lastHeard.msecsTo(m_clock.now()) < SilenceLimitMs)
    return false;
  const Request request = m_request;
  Q_EMIT silence(request);
  return true;
}
