#include "serial_pty.h"

#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

using SteadyClock = std::chrono::steady_clock;

QString systemError(const char* what)
{
  return QString::fromLatin1(what) + QStringLiteral(": ") +
         QString::fromLocal8Bit(std::strerror(errno));
}

int msLeft(SteadyClock::time_point deadline)
{
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

int standardSpeed(tcflag_t code)
{
  struct Pair {
    tcflag_t code;
    int speed;
  };
  static constexpr Pair speeds[] = {
      {B50, 50},         {B75, 75},         {B110, 110},       {B134, 134},       {B150, 150},
      {B200, 200},       {B300, 300},       {B600, 600},       {B1200, 1200},     {B1800, 1800},
      {B2400, 2400},     {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
      {B57600, 57600},   {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B500000, 500000},
      {B921600, 921600},
  };
  for (const Pair& p : speeds)
    if (p.code == code)
      return p.speed;
  return 0;
}

}  // namespace

QString SerialLineState::describe() const
{
  return QString::number(BaudRate) + u' ' + QString::number(DataBits) + QChar::fromLatin1(Parity) +
         QString::number(StopBits);
}

PseudoTerminal::~PseudoTerminal()
{
  close();
}

bool PseudoTerminal::open(QString* error)
{
  close();
  m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  char name[128] = {};
  if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
      ::ptsname_r(m_master, name, sizeof name) != 0) {
    if (error)
      *error = systemError("Cannot create a pseudo-terminal");
    close();
    return false;
  }
  ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
  m_path = QString::fromLocal8Bit(name);
  return true;
}

void PseudoTerminal::close()
{
  if (m_held >= 0)
    ::close(m_held);
  if (m_master >= 0)
    ::close(m_master);
  m_held = m_master = -1;
  m_path.clear();
}

bool PseudoTerminal::holdTerminalSide(QString* error)
{
  if (m_held >= 0)
    return true;
  m_held = ::open(m_path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  termios2 t{};
  if (m_held < 0 || ::ioctl(m_held, TCGETS2, &t) != 0) {
    if (error)
      *error = systemError("Cannot open the terminal side");
    return false;
  }
  t.c_iflag = 0;
  t.c_oflag = 0;
  t.c_lflag = 0;
  t.c_cflag = (t.c_cflag & ~tcflag_t(CSIZE | PARENB | CSTOPB | CRTSCTS)) | CS8 | CREAD | CLOCAL;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  if (::ioctl(m_held, TCSETS2, &t) != 0) {
    if (error)
      *error = systemError("Cannot set the terminal side to raw mode");
    return false;
  }
  return true;
}

QByteArray PseudoTerminal::readAvailable()
{
  QByteArray out;
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(m_master, chunk, sizeof chunk);
    if (n <= 0)
      return out;
    out.append(chunk, static_cast<int>(n));
  }
}

QByteArray PseudoTerminal::readWhileNot(const std::function<bool(const QByteArray&)>& done,
                                        int timeoutMs)
{
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
  QByteArray out = readAvailable();
  while (!done(out)) {
    pollfd p{m_master, POLLIN, 0};
    const int left = msLeft(deadline);
    if (left == 0 || ::poll(&p, 1, left) <= 0 || (p.revents & POLLIN) == 0)
      break;
    out += readAvailable();
  }
  return out;
}

QByteArray PseudoTerminal::readFor(int count, int timeoutMs)
{
  return readWhileNot([count](const QByteArray& out) { return out.size() >= count; }, timeoutMs);
}

QByteArray PseudoTerminal::readUntil(const QByteArray& until, int timeoutMs)
{
  return readWhileNot([&until](const QByteArray& out) { return out.contains(until); }, timeoutMs);
}

long long PseudoTerminal::writeSome(const QByteArray& data)
{
  const ssize_t n = ::write(m_master, data.constData(), static_cast<size_t>(data.size()));
  return n > 0 ? n : 0;
}

bool PseudoTerminal::writeAll(const QByteArray& data, int timeoutMs)
{
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
  long long done = 0;
  while (done < data.size()) {
    const ssize_t n =
        ::write(m_master, data.constData() + done, static_cast<size_t>(data.size() - done));
    if (n > 0) {
      done += n;
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR)
      return false;
    pollfd p{m_master, POLLOUT, 0};
    const int left = msLeft(deadline);
    if (left == 0 || ::poll(&p, 1, left) < 0)
      return false;
  }
  return true;
}

SerialLineState PseudoTerminal::line() const
{
  // Mode requests on the controlling side act on the terminal side's settings.
  SerialLineState s;
  termios2 t{};
  if (m_master < 0 || ::ioctl(m_master, TCGETS2, &t) != 0)
    return s;
  const tcflag_t code = t.c_cflag & CBAUD;
  s.BaudRate = code == BOTHER ? static_cast<int>(t.c_ospeed) : standardSpeed(code);
  switch (t.c_cflag & CSIZE) {
    case CS5:
      s.DataBits = 5;
      break;
    case CS6:
      s.DataBits = 6;
      break;
    case CS7:
      s.DataBits = 7;
      break;
    default:
      s.DataBits = 8;
      break;
  }
  if ((t.c_cflag & PARENB) != 0) {
    const bool odd = (t.c_cflag & PARODD) != 0;
    s.Parity = (t.c_cflag & CMSPAR) != 0 ? (odd ? 'M' : 'S') : (odd ? 'O' : 'E');
  }
  s.StopBits = (t.c_cflag & CSTOPB) != 0 ? 2 : 1;
  s.Raw = (t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0 && (t.c_oflag & OPOST) == 0 &&
          (t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXANY)) == 0;
  s.HardwareFlow = (t.c_cflag & CRTSCTS) != 0;
  s.XonXoffOut = (t.c_iflag & IXON) != 0;
  s.XonXoffIn = (t.c_iflag & IXOFF) != 0;
  return s;
}
