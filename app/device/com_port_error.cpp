#include "device/com_port_error.h"

#include <array>
#include <cstring>

namespace {

constexpr std::array<const char*, 23> ErrorTexts = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

}  // namespace

QString ErrorText(int code)
{
  if (code >= 1 && code <= static_cast<int>(ErrorTexts.size()))
    return QString::fromLatin1(ErrorTexts[static_cast<std::size_t>(code - 1)]);
  return QStringLiteral("Unknown Error #") + QString::number(code);
}

EComPort::EComPort(int code, int systemError, const QString& port)
    : m_code(code), m_systemError(systemError), m_port(port)
{
  m_message = QStringLiteral("COM Port Error: ") + ErrorText(code);
  if (systemError != -1)
    m_message += QStringLiteral(" on ") + port;
  m_what = m_message.toUtf8();
}

QString EComPort::systemErrorText() const
{
  if (m_systemError <= 0)
    return {};
  return QString::fromLocal8Bit(std::strerror(m_systemError));
}
