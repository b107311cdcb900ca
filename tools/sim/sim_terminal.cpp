#include "sim_terminal.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

int g_stopPipe[2] = {-1, -1};

void onStopSignal(int)
{
  const char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(g_stopPipe[1], &byte, 1);
}

bool stopRequested()
{
  pollfd p{g_stopPipe[0], POLLIN, 0};
  return g_stopPipe[0] >= 0 && ::poll(&p, 1, 0) > 0;
}

}  // namespace

std::chrono::microseconds pacedArrival(long long bytes)
{
  // 10 bits a byte on the wire: start, 8 data, stop.
  const auto wire = [](long long n) {
    return std::chrono::microseconds(n * 10 * 1'000'000 / LineBaudRate);
  };
  const long long full = bytes / AdapterPacketBytes * AdapterPacketBytes;
  if (full == bytes)
    return wire(bytes);
  return wire(bytes) + std::chrono::milliseconds(AdapterLatencyMs);
}

bool installStopSignals(QString* error)
{
  if (g_stopPipe[0] >= 0)
    return true;
  if (::pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
  return true;
}

SimTerminal::~SimTerminal()
{
  removeLink();
}

bool SimTerminal::open(QString* error)
{
  // Holding the terminal side keeps the pair alive while clients come and go.
  return m_pty.open(error) && m_pty.holdTerminalSide(error);
}

bool SimTerminal::makeLink(const QString& link, QString* error)
{
  const QFileInfo existing(link);
  if (existing.isSymLink()) {
    QFile::remove(link);
  } else if (existing.exists()) {
    *error = QStringLiteral("%1 exists and is not a symbolic link; choose another --link path")
                 .arg(link);
    return false;
  }
  if (::symlink(path().toLocal8Bit().constData(), link.toLocal8Bit().constData()) != 0) {
    *error = QStringLiteral("Cannot create the link %1: %2")
                 .arg(link, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
  }
  m_link = link;
  return true;
}

void SimTerminal::removeLink()
{
  if (m_link.isEmpty())
    return;
  if (QFileInfo(m_link).symLinkTarget() == path())
    QFile::remove(m_link);
  m_link.clear();
}

bool SimTerminal::waitOrStop(int fd, short events, int timeoutMs)
{
  pollfd fds[2] = {{g_stopPipe[0], POLLIN, 0}, {fd, events, 0}};
  const int count = fd >= 0 ? 2 : 1;
  while (::poll(fds, count, timeoutMs) < 0) {
    if (errno != EINTR)
      return false;
  }
  return fds[0].revents == 0;
}

bool SimTerminal::send(const QByteArray& bytes, bool pace, long long* lost)
{
  // A real adapter sends at line speed whether or not the port is open, and
  // what arrives while it is closed is lost. So a byte that cannot be queued
  // by the time it would have arrived on the wire is dropped, with every byte
  // whose time has passed; the rest of an old answer never reaches the next
  // session however much later it opens.
  const auto start = SteadyClock::now();
  const qsizetype size = bytes.size();
  qsizetype pos = 0;
  *lost = 0;
  while (pos < size) {
    const qsizetype end =
        pace ? std::min<qsizetype>(size, (pos / AdapterPacketBytes + 1) * AdapterPacketBytes)
             : size;
    if (pace) {
      const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
          start + pacedArrival(end) - SteadyClock::now());
      if (wait.count() > 0 && !waitOrStop(-1, 0, static_cast<int>(wait.count())))
        return false;
    }
    pos += m_pty.writeSome(bytes.mid(pos, end - pos));
    if (pos == end)
      continue;
    const auto now = SteadyClock::now();
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(start + pacedArrival(pos + 1) - now);
    if (left.count() > 0) {
      if (!waitOrStop(m_pty.controlFd(), POLLOUT, static_cast<int>(left.count())))
        return false;
      continue;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - start);
    const long long onTheWire = elapsed.count() * LineBaudRate / 10 / 1'000'000;
    const qsizetype next = std::min<qsizetype>(size, std::max<qsizetype>(pos + 1, onTheWire));
    *lost += next - pos;
    pos = next;
  }
  return true;
}

bool SimTerminal::lineUnderstood(const SimLineOptions& options, QTextStream& log)
{
  if (options.anyLine)
    return true;
  const SerialLineState line = m_pty.line();
  if (line.BaudRate == LineBaudRate && line.is8N1()) {
    m_lastLineComplaint.clear();
    return true;
  }
  const QString complaint = QStringLiteral(
                                "the port is set to %1, the instrument speaks %2 8N1: bytes not "
                                "understood (start with --any-line to answer anyway)")
                                .arg(line.describe())
                                .arg(LineBaudRate);
  if (complaint != m_lastLineComplaint)
    log << complaint << Qt::endl;
  m_lastLineComplaint = complaint;
  return false;
}

int SimTerminal::run(SimInstrument& instrument, const SimLineOptions& options, QTextStream& log)
{
  for (;;) {
    if (!waitOrStop(m_pty.controlFd(), POLLIN, -1))
      return 0;
    const QByteArray received = m_pty.readAvailable();
    if (received.isEmpty()) {
      pollfd p{m_pty.controlFd(), POLLIN, 0};
      if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR)) != 0) {
        log << "the terminal went away" << Qt::endl;
        return 1;
      }
      continue;
    }
    if (!lineUnderstood(options, log))
      continue;
    const SimReply reply = instrument.receive(received);
    if (!options.quiet)
      for (const QString& line : reply.log)
        log << line << Qt::endl;
    long long lost = 0;
    if (!send(reply.bytes, options.pace, &lost) || stopRequested())
      return 0;
    if (lost > 0)
      log << lost << " byte(s) of the answer lost: nobody read the port" << Qt::endl;
    if (reply.dropLink) {
      log << "link dropped" << Qt::endl;
      return 3;
    }
  }
}
