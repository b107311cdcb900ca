#include "device/com_port_backend_linux.h"

// termios2 comes from the kernel's headers; the C library's <termios.h> would
// clash with it, so it is not included here.
#include <asm/termbits.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

// The driver has no such control on this terminal: a port without modem lines.
bool noModemLines(int error)
{
  return error == ENOTTY || error == EINVAL;
}

int closeQuietly(int fd)
{
  if (fd >= 0)
    ::close(fd);
  return -1;
}

tcflag_t dataBitsFlag(TDataBits bits)
{
  switch (bits) {
    case dbFive:
      return CS5;
    case dbSix:
      return CS6;
    case dbSeven:
      return CS7;
    case dbEight:
      break;
  }
  return CS8;
}

tcflag_t parityFlags(TParityBits bits)
{
  switch (bits) {
    case prNone:
      return 0;
    case prOdd:
      return PARENB | PARODD;
    case prEven:
      return PARENB;
    case prMark:
      return PARENB | PARODD | CMSPAR;
    case prSpace:
      return PARENB | CMSPAR;
  }
  return 0;
}

// Raw mode: no line editing, echo, signals or character translation.
void makeRaw(termios2* t)
{
  t->c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                          IXANY | INPCK | IGNPAR | IUCLC | IMAXBEL);
  t->c_oflag &= ~tcflag_t(OPOST);
  t->c_lflag &= ~tcflag_t(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN | NOFLSH | TOSTOP);
  t->c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD |
                          (CBAUD << IBSHIFT) | HUPCL);
  t->c_cflag |= CREAD | CLOCAL;
  // With O_NONBLOCK and VMIN 1 an empty queue reads as EAGAIN and 0 means hang-up.
  t->c_cc[VMIN] = 1;
  t->c_cc[VTIME] = 0;
}

void applyLine(termios2* t, const ComLineSettings& line)
{
  makeRaw(t);
  t->c_cflag |=
      BOTHER | (BOTHER << IBSHIFT) | dataBitsFlag(line.DataBits) | parityFlags(line.Parity.Bits);
  t->c_ispeed = static_cast<speed_t>(line.BaudRate);
  t->c_ospeed = static_cast<speed_t>(line.BaudRate);
  if (line.StopBits != sbOneStopBit)
    t->c_cflag |= CSTOPB;
  if (line.Parity.Check)
    t->c_iflag |= INPCK;
  if (line.Flow.OutCTSFlow || line.Flow.ControlRTS == rtsHandshake)
    t->c_cflag |= CRTSCTS;
  if (line.Flow.XonXoffOut)
    t->c_iflag |= IXON;
  if (line.Flow.XonXoffIn)
    t->c_iflag |= IXOFF;
  t->c_cc[VSTART] = static_cast<cc_t>(line.Flow.XonChar);
  t->c_cc[VSTOP] = static_cast<cc_t>(line.Flow.XoffChar);
}

}  // namespace

std::unique_ptr<ComPortBackend> createComPortBackend()
{
  return std::make_unique<LinuxComPortBackend>();
}

LinuxComPortBackend::~LinuxComPortBackend()
{
  close();
}

QString LinuxComPortBackend::devicePath(const QString& portName) const
{
  if (portName.startsWith(u'/'))
    return portName;
  return QStringLiteral("/dev/") + portName;
}

int LinuxComPortBackend::open(const QString& devicePath)
{
  if (m_fd >= 0)
    return EBUSY;
  const QByteArray path = devicePath.toLocal8Bit();
  int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return errno;
  if (!::isatty(fd)) {
    closeQuietly(fd);
    return ENOTTY;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno == EWOULDBLOCK ? EBUSY : errno;
    closeQuietly(fd);
    return error;
  }
  if (::ioctl(fd, TIOCEXCL) != 0) {
    const int error = errno;
    closeQuietly(fd);
    return error;
  }
  m_stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (m_stopFd < 0 || m_wakeFd < 0) {
    const int error = errno;
    m_stopFd = closeQuietly(m_stopFd);
    m_wakeFd = closeQuietly(m_wakeFd);
    ::ioctl(fd, TIOCNXCL);
    closeQuietly(fd);
    return error;
  }
  m_fd = fd;
  ::ioctl(m_fd, TCFLSH, TCIOFLUSH);
  std::lock_guard lock(m_rxLock);
  m_queue.clear();
  m_lineErrors = {};
  m_countersKnown = false;
  noteLineErrorsLocked();
  m_lineErrors = {};
  m_hungUp = false;
  m_txEmpty = false;
  return 0;
}

void LinuxComPortBackend::close()
{
  if (m_fd < 0)
    return;
  // The exclusive flag belongs to the terminal, not to this descriptor: left set,
  // it would keep everybody else out while another process holds the terminal.
  ::ioctl(m_fd, TIOCNXCL);
  ::flock(m_fd, LOCK_UN);
  m_fd = closeQuietly(m_fd);
  m_stopFd = closeQuietly(m_stopFd);
  m_wakeFd = closeQuietly(m_wakeFd);
  std::lock_guard lock(m_rxLock);
  m_queue.clear();
}

int LinuxComPortBackend::setBuffers(int inputSize, int outputSize)
{
  if (inputSize <= 0 || outputSize <= 0)
    return EINVAL;
  {
    std::lock_guard lock(m_rxLock);
    m_capacity = inputSize;
  }
  wake();
  return 0;
}

int LinuxComPortBackend::setLine(const ComLineSettings& line)
{
  if (m_fd < 0)
    return EBADF;
  if (line.BaudRate <= 0)
    return EINVAL;
  termios2 t{};
  if (::ioctl(m_fd, TCGETS2, &t) != 0)
    return errno;
  applyLine(&t, line);
  if (::ioctl(m_fd, TCSETS2, &t) != 0)
    return errno;
  {
    std::lock_guard lock(m_rxLock);
    m_discardNull = line.DiscardNull;
    m_eventChar = line.EventChar;
  }
  return applyModemLines(line.Flow);
}

int LinuxComPortBackend::applyModemLines(const TComFlowControl& flow)
{
  // rtsHandshake leaves RTS to the driver (CRTSCTS); DTR handshake and RTS toggle
  // have no terminal equivalent and hold their line on.
  int on = 0;
  int off = 0;
  (flow.ControlDTR == dtrDisable ? off : on) |= TIOCM_DTR;
  if (flow.ControlRTS != rtsHandshake)
    (flow.ControlRTS == rtsDisable ? off : on) |= TIOCM_RTS;
  for (auto [request, bits] : {std::pair{TIOCMBIC, off}, std::pair{TIOCMBIS, on}}) {
    if (bits != 0 && ::ioctl(m_fd, request, &bits) != 0 && !noModemLines(errno))
      return errno;
  }
  return 0;
}

int LinuxComPortBackend::setTimeouts(const TComTimeouts& timeouts)
{
  if (timeouts.ReadInterval < -1 || timeouts.ReadTotalMultiplier < 0 ||
      timeouts.ReadTotalConstant < 0 || timeouts.WriteTotalMultiplier < 0 ||
      timeouts.WriteTotalConstant < 0)
    return EINVAL;
  m_timeouts = timeouts;
  return 0;
}

int LinuxComPortBackend::write(const char* data, long long size, long long* written)
{
  *written = 0;
  if (m_fd < 0)
    return EBADF;
  const auto deadline =
      SteadyClock::now() + std::chrono::milliseconds(m_timeouts.writeLimitMs(size));
  while (*written < size) {
    const ssize_t n = ::write(m_fd, data + *written, static_cast<size_t>(size - *written));
    if (n > 0) {
      *written += n;
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR)
      return errno;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    if (left.count() <= 0)
      break;
    pollfd p{m_fd, POLLOUT, 0};
    if (::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 1000))) < 0 &&
        errno != EINTR)
      return errno;
    if ((p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
      return EIO;
  }
  m_txEmpty = true;
  wake();
  return 0;
}

int LinuxComPortBackend::read(char* data, int max, int* got)
{
  *got = 0;
  if (m_fd < 0)
    return EBADF;
  bool wasFull = false;
  {
    std::lock_guard lock(m_rxLock);
    wasFull = m_queue.size() >= m_capacity;
    const int fromQueue = std::min<int>(max, static_cast<int>(m_queue.size()));
    std::copy_n(m_queue.constData(), fromQueue, data);
    m_queue.remove(0, fromQueue);
    *got = fromQueue;
    while (*got < max) {
      const ssize_t n = ::read(m_fd, data + *got, static_cast<size_t>(max - *got));
      if (n <= 0)
        break;
      int kept = static_cast<int>(n);
      if (m_discardNull)
        kept = static_cast<int>(std::remove(data + *got, data + *got + n, '\0') - (data + *got));
      *got += kept;
    }
  }
  if (wasFull)
    wake();
  return 0;
}

int LinuxComPortBackend::queuedInput(int* count)
{
  *count = 0;
  if (m_fd < 0)
    return EBADF;
  int waiting = 0;
  // Under the lock: the event thread moves bytes from the kernel into the
  // queue while holding it, so a byte is never counted in both places.
  std::lock_guard lock(m_rxLock);
  // A terminal that has hung up has nothing more to give, but what the event
  // thread queued before is still there to read.
  if (::ioctl(m_fd, FIONREAD, &waiting) != 0 && errno != EIO)
    return errno;
  *count = static_cast<int>(m_queue.size()) + waiting;
  return 0;
}

int LinuxComPortBackend::takeLineErrors(TComErrors* errors)
{
  if (m_fd < 0)
    return EBADF;
  std::lock_guard lock(m_rxLock);
  noteLineErrorsLocked();
  *errors = m_lineErrors;
  m_lineErrors = {};
  return 0;
}

// The driver counts line errors; what grew since the last look is new.
void LinuxComPortBackend::noteLineErrorsLocked()
{
  serial_icounter_struct c{};
  if (::ioctl(m_fd, TIOCGICOUNT, &c) != 0)
    return;
  const int now[5] = {c.frame, c.parity, c.overrun, c.brk, c.buf_overrun};
  static constexpr TComError kinds[5] = {ceFrame, ceRxParity, ceOverrun, ceBreak, ceRxOver};
  for (int i = 0; i < 5; ++i) {
    if (m_countersKnown && now[i] != m_counters[i])
      m_lineErrors.add(kinds[i]);
    m_counters[i] = now[i];
  }
  m_countersKnown = true;
}

int LinuxComPortBackend::modemLines(ComModemLines* lines)
{
  *lines = {};
  if (m_fd < 0)
    return EBADF;
  int bits = 0;
  if (::ioctl(m_fd, TIOCMGET, &bits) != 0)
    return noModemLines(errno) ? 0 : errno;
  lines->CTS = (bits & TIOCM_CTS) != 0;
  lines->DSR = (bits & TIOCM_DSR) != 0;
  lines->Ring = (bits & TIOCM_RNG) != 0;
  lines->RLSD = (bits & TIOCM_CD) != 0;
  return 0;
}

int LinuxComPortBackend::purge(unsigned what)
{
  // Writes finish inside write(), so there is never a transfer to abort.
  if (m_fd < 0)
    return EBADF;
  if ((what & PurgeRxClear) != 0) {
    std::lock_guard lock(m_rxLock);
    m_queue.clear();
    if (::ioctl(m_fd, TCFLSH, TCIFLUSH) != 0)
      return errno;
  }
  if ((what & PurgeTxClear) != 0 && ::ioctl(m_fd, TCFLSH, TCOFLUSH) != 0)
    return errno;
  return 0;
}

int LinuxComPortBackend::drainOutput(int maxMs)
{
  if (m_fd < 0)
    return EBADF;
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(maxMs);
  for (;;) {
    int pending = 0;
    if (::ioctl(m_fd, TIOCOUTQ, &pending) != 0)
      return noModemLines(errno) ? 0 : errno;
    if (pending <= 0 || SteadyClock::now() >= deadline)
      return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

int LinuxComPortBackend::setEventMask(TComEvents events)
{
  m_mask = events.bits();
  wake();
  return 0;
}

void LinuxComPortBackend::wake()
{
  if (m_wakeFd >= 0) {
    const eventfd_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(m_wakeFd, &one, sizeof one);
  }
}

void LinuxComPortBackend::stopWait()
{
  if (m_stopFd >= 0) {
    const eventfd_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(m_stopFd, &one, sizeof one);
  }
}

LinuxComPortBackend::Fill LinuxComPortBackend::fillQueueLocked()
{
  Fill fill;
  char chunk[4096];
  while (m_queue.size() < m_capacity) {
    const int want = std::min<int>(sizeof chunk, m_capacity - static_cast<int>(m_queue.size()));
    const ssize_t n = ::read(m_fd, chunk, static_cast<size_t>(want));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      fill.hungUp = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
      break;
    }
    const char* end = chunk + n;
    fill.eventChar =
        fill.eventChar || std::find(static_cast<const char*>(chunk), end, m_eventChar) != end;
    if (m_discardNull)
      end = std::remove(chunk, chunk + n, '\0');
    m_queue.append(chunk, static_cast<int>(end - chunk));
    fill.added += static_cast<int>(end - chunk);
  }
  return fill;
}

TComEvents LinuxComPortBackend::collectEvents(short portEvents)
{
  TComEvents events;
  std::lock_guard lock(m_rxLock);
  auto nearlyFull = [this] { return m_queue.size() * 10 >= qsizetype{m_capacity} * 8; };
  const bool wasNearlyFull = nearlyFull();
  Fill fill;
  if ((portEvents & POLLIN) != 0) {
    events.add(evRxChar);
    fill = fillQueueLocked();
  }
  if ((portEvents & (POLLHUP | POLLERR | POLLNVAL)) != 0 || fill.hungUp) {
    // The adapter was unplugged or the other end of the terminal went away.
    m_hungUp = true;
    m_lineErrors.add(ceIO);
  }
  if (fill.eventChar)
    events.add(evRxFlag);
  if (!wasNearlyFull && nearlyFull())
    events.add(evRx80Full);
  noteLineErrorsLocked();
  if (m_lineErrors.has(ceBreak))
    events.add(evBreak);
  if (!m_lineErrors.empty())
    events.add(evError);
  return events;
}

ComWaitResult LinuxComPortBackend::waitEvents(TComEvents* events, int* error)
{
  *error = 0;
  for (;;) {
    if (m_hungUp) {
      *error = EIO;
      return ComWaitResult::Failed;
    }
    bool room = false;
    {
      std::lock_guard lock(m_rxLock);
      room = m_queue.size() < m_capacity;
    }
    pollfd fds[3] = {{m_stopFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}, {m_fd, POLLIN, 0}};
    const int r = ::poll(fds, room ? 3 : 2, -1);
    if (r < 0 && errno == EINTR)
      continue;
    if (r < 0) {
      *error = errno;
      return ComWaitResult::Failed;
    }
    if (fds[0].revents != 0)
      return ComWaitResult::Stopped;
    TComEvents found;
    if (fds[1].revents != 0) {
      eventfd_t drained = 0;
      [[maybe_unused]] ssize_t n = ::read(m_wakeFd, &drained, sizeof drained);
      if (m_txEmpty.exchange(false))
        found.add(evTxEmpty);
    }
    if (room && fds[2].revents != 0)
      found = found | collectEvents(fds[2].revents);
    found = found & TComEvents::fromBits(m_mask);
    if (!found.empty()) {
      *events = found;
      return ComWaitResult::Events;
    }
  }
}
