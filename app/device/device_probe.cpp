#include "device/device_probe.h"

#include "common/clock.h"
#include "common/formats.h"
#include "device/com_port.h"
#include "device/instrument_protocol.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>

namespace {

const QByteArray IdentifyCommand = instrument::commandBytes(instrument::IdentifyCommand);
const QByteArray ReadClockCommand = instrument::commandBytes(instrument::ReadClockCommand);
const QByteArray SetDateCommand = instrument::commandBytes(instrument::SetDateCommand);
const QByteArray SetTimeCommand = instrument::commandBytes(instrument::SetTimeCommand);
const QString DefaultSerialGroup = QStringLiteral("dialout");

QString devicePathOf(const QString& portName)
{
  return portName.startsWith(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName;
}

}  // namespace

QString deviceNameFromAnswer(const QByteArray& answer)
{
  // The model and serial number stand at fixed places of the answer.
  const QString text = QString::fromLatin1(answer);
  if (text.contains(QLatin1String("RZ-37")))
    return QStringLiteral(" ") + text.mid(3, 6) + QStringLiteral("  SN") + text.mid(11, 5);
  if (text.contains(QLatin1String("RZ-48")))
    return QStringLiteral(" ") + text.mid(3, 5) + QStringLiteral("  SN") + text.mid(10, 5);
  return UnknownDeviceText;
}

std::optional<QString> clockFromAnswer(const QByteArray& answer)
{
  const QString text = QString::fromLatin1(answer);
  const int date = text.indexOf(QLatin1String("Date:"));
  if (date < 0)
    return std::nullopt;
  const int time = text.indexOf(QLatin1String("Time:"));
  // An answer cut short after the date shows the date alone.
  const QString timeText = time < 0 ? QString() : text.mid(time + 5, 8);
  return text.mid(date + 5, 10) + QStringLiteral("  ") + timeText;
}

QVector<ClockWrite> clockSettingWrites(const QDateTime& now)
{
  const QString date = fmt::formatDate(now.date());
  const QString time = fmt::formatTime(now.time());
  // The short time format drops the hour's leading zero; the instrument wants two digits.
  const QString hms = time.size() == 7 ? QStringLiteral("0") + time : time;
  const int weekday = now.date().dayOfWeek() % 7;  // Sunday 0 .. Saturday 6
  auto latin = [](const QString& s) { return s.toLatin1(); };
  return {
      {SetDateCommand, 40},        {latin(date.mid(0, 2)), 0},        {latin(date.mid(3, 2)), 0},
      {latin(date.mid(8, 2)), 40}, {QByteArray::number(weekday), 80}, {SetTimeCommand, 40},
      {latin(hms.mid(0, 2)), 0},   {latin(hms.mid(3, 2)), 0},         {latin(hms.mid(6, 2)), 0},
  };
}

DeviceProbe::DeviceProbe(TCustomComPort& port, Clock& clock) : m_port(port), m_clock(clock) {}

QByteArray DeviceProbe::ask(const QByteArray& command, int pauseMs)
{
  m_port.WriteString(command);
  m_clock.sleep(pauseMs);
  QByteArray answer;
  m_port.ReadString(answer, m_port.Buffer().InputSize);
  return answer;
}

void DeviceProbe::closeQuietly()
{
  try {
    m_port.Close();
  } catch (const EComPort&) {
    // The port is given up either way; the next probe opens it afresh.
  }
}

PortProbeResult DeviceProbe::probe(const QString& portName)
{
  m_port.setPort(portName);
  PortProbeResult result;
  {
    // The answers are read here, not by the receive handler.
    TComEventHold hold(m_port);
    try {
      m_port.setBaudRate(br115200);
      m_port.Open();
      result.device = deviceNameFromAnswer(ask(IdentifyCommand, IdentifyPauseMs));
      result.port = portName;
      const std::optional<QString> clock =
          clockFromAnswer(ask(ReadClockCommand, ClockQueryPauseMs));
      result.clockAnswered = clock.has_value();
      result.clock = clock.value_or(NoAnswerText);
      m_port.Close();
    } catch (const EComPort& error) {
      result.failure = error.message();
      if (isAccessDenied(error)) {
        result.accessDenied = true;
        result.device = NoPermissionText;
        result.port = portName;
        result.clock = QStringLiteral("Join group ") + portGroup(portName);
      } else if (isPortInUse(error)) {
        // Listed with its cells empty, the busy port looked like a silent
        // instrument one could connect to.
        result.inUse = true;
        result.device = PortInUseText;
        result.port = portName;
        result.clock = CloseOtherProgramText;
      }
      closeQuietly();
    }
  }
  return result;
}

QString DeviceProbe::setClock(const QString& portName)
{
  QString failure;
  TComEventHold hold(m_port);
  try {
    const QVector<ClockWrite> writes = clockSettingWrites(m_clock.now());
    m_port.setPort(portName);
    m_port.Open();
    for (const ClockWrite& write : writes) {
      m_port.WriteString(write.text);
      if (write.pauseMs > 0)
        m_clock.sleep(write.pauseMs);
    }
    m_clock.sleep(ClockSettlePauseMs);
    m_port.Close();
  } catch (const EComPort& error) {
    failure = portErrorMessage(error);
    closeQuietly();
  }
  return failure;
}

bool isAccessDenied(const EComPort& error)
{
  return error.SystemErrorCode() == EACCES || error.SystemErrorCode() == EPERM;
}

QString portGroup(const QString& portName)
{
  struct stat info {};
  if (::stat(devicePathOf(portName).toLocal8Bit().constData(), &info) != 0 || info.st_gid == 0)
    return DefaultSerialGroup;
  const group* owner = ::getgrgid(info.st_gid);
  return owner != nullptr ? QString::fromLocal8Bit(owner->gr_name) : DefaultSerialGroup;
}

QString accessAdvice(const QString& portName)
{
  const QString group = portGroup(portName);
  return QStringLiteral(
             "This user may not open %1. Ask the administrator to add you to the "
             "group \"%2\" that owns it (sudo usermod -aG %2 $USER), log out and in "
             "again, then press \"Refresh list\".")
      .arg(devicePathOf(portName), group);
}

bool isPortInUse(const EComPort& error)
{
  return error.SystemErrorCode() == EBUSY;
}

QString inUseAdvice(const QString& portName)
{
  return QStringLiteral(
             "Another program is using %1 (a terminal program, or another copy of this "
             "one). Close it, then press \"Refresh list\".")
      .arg(devicePathOf(portName));
}

QString portErrorMessage(const EComPort& error)
{
  if (isAccessDenied(error))
    return error.message() + QStringLiteral("\n\n") + accessAdvice(error.port());
  if (isPortInUse(error))
    return error.message() + QStringLiteral("\n\n") + inUseAdvice(error.port());
  return error.message();
}
