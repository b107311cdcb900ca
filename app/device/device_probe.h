#pragma once
// Asking one instrument what it is and what its clock reads, and setting its
// clock, over the main window's serial port.
//
// The instrument answers "7" with its model and serial number and "1" with its
// date and time; neither answer has an end marker, so each is taken as
// whatever arrived within a fixed pause. The pauses and the computer's time
// come from the Clock, so tests neither wait nor depend on the time of day.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

class Clock;
class EComPort;
class TCustomComPort;

inline const QString UnknownDeviceText = QStringLiteral(" Unknown");
inline const QString NoAnswerText = QStringLiteral("No answer");
inline const QString NoDeviceFoundText = QStringLiteral("No device found");
inline const QString NoPermissionText = QStringLiteral(" No permission");
inline const QString PortInUseText = QStringLiteral(" Port in use");
inline const QString CloseOtherProgramText = QStringLiteral("Close the other program");

// Pauses after the identification and clock queries, in ms.
inline constexpr int IdentifyPauseMs = 40;
inline constexpr int ClockQueryPauseMs = 80;
// After the last clock write, before the port closes: closing discards what
// the line has not passed on yet, and the instrument would be left waiting
// for the seconds, taking the next query's bytes for them.
inline constexpr int ClockSettlePauseMs = 40;

// Column 0 of the device list from the answer to "7": " RZ-37m  SN12345",
// " RZ-48  SN12345" or " Unknown".
QString deviceNameFromAnswer(const QByteArray& answer);
// Column 2 from the answer to "1": "03.03.2024  09:05:07", nothing when the
// answer has no date.
std::optional<QString> clockFromAnswer(const QByteArray& answer);

// One write of the clock setting and the pause after it.
struct ClockWrite {
  QByteArray text;
  int pauseMs = 0;
  bool operator==(const ClockWrite&) const = default;
};
// The nine writes that set an instrument to the local time `now`: "2", day,
// month, year, weekday (Sunday 0), "3", hour, minute, second.
QVector<ClockWrite> clockSettingWrites(const QDateTime& now);

// What probing one port learnt. A cell left unset was not reached and keeps
// what the list showed before.
struct PortProbeResult {
  std::optional<QString> device;  // column 0
  std::optional<QString> port;    // column 1
  std::optional<QString> clock;   // column 2: the clock or "No answer"
  bool clockAnswered = false;
  bool accessDenied = false;  // the user may not open the port
  bool inUse = false;         // another program holds the port open
  QString failure;            // the message of the error that ended the probe
};

class DeviceProbe {
 public:
  DeviceProbe(TCustomComPort& port, Clock& clock);

  // Names the port, opens it at 115200 baud, asks "7" and "1", closes it.
  // Errors after the naming are swallowed into the result; the port is closed
  // afterwards in every case. Expects the port closed, so that naming it opens
  // nothing.
  PortProbeResult probe(const QString& portName);

  // Sets the instrument's clock on this port to the clock's current time.
  // Returns the error's message, empty on success; the port is closed after.
  QString setClock(const QString& portName);

 private:
  QByteArray ask(const QByteArray& command, int pauseMs);
  void closeQuietly();

  TCustomComPort& m_port;
  Clock& m_clock;
};

// Whether the system refused this user the port.
bool isAccessDenied(const EComPort& error);
// The group that owns a port's device ("dialout" when it cannot be told).
QString portGroup(const QString& portName);
// What the user is told when a port is refused: the membership that fixes it.
QString accessAdvice(const QString& portName);
// Whether another program holds the port.
bool isPortInUse(const EComPort& error);
// What the user is told when another program holds the port.
QString inUseAdvice(const QString& portName);
// The serial error's message, with the advice when the port was refused or busy.
QString portErrorMessage(const EComPort& error);
