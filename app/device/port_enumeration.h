#pragma once
// Which serial ports may have an instrument behind them.
//
// The instrument's cable is a USB-to-serial adapter with the chip of USB vendor
// 0403; its ports are found under /sys/class/tty. Ports named in the
// environment variable RZ37M_EXTRA_PORTS (colon-separated paths) are added
// after them, so a simulated instrument on a pseudo-terminal is found like a
// real one. The list is asked for again every second while the device dialog
// is open; the number of serial ports seen tells whether anything came or went.

#include <QString>
#include <QStringList>

#include <optional>

inline constexpr char ExtraPortsVariable[] = "RZ37M_EXTRA_PORTS";

struct SerialPortScan {
  // Port names to probe, in a stable order: the adapters' ports by name
  // (ttyUSB2 before ttyUSB10), then the extra ports in the order given.
  QStringList candidates;
  // Every serial port seen, adapters of other makers included; a change of
  // this number starts a new probe.
  int serialPortCount = 0;
};

class PortEnumeration {
 public:
  virtual ~PortEnumeration() = default;
  virtual SerialPortScan scan() const = 0;
};

// The ports of this computer.
class SystemPortEnumeration : public PortEnumeration {
 public:
  // ttyClassDir is /sys/class/tty; tests give a folder laid out like it.
  // extraPorts stands in for the environment variable when given.
  explicit SystemPortEnumeration(QString ttyClassDir = QStringLiteral("/sys/class/tty"),
                                 std::optional<QString> extraPorts = std::nullopt);
  SerialPortScan scan() const override;

  // The USB vendor of the instrument's adapter chip, as sysfs writes it.
  static constexpr char InstrumentVendor[] = "0403";

 private:
  QString m_ttyClassDir;
  std::optional<QString> m_extraPorts;
};

// A scan given by the test.
class FakePortEnumeration : public PortEnumeration {
 public:
  SerialPortScan next;
  mutable int scans = 0;
  SerialPortScan scan() const override
  {
    ++scans;
    return next;
  }
};

// "ttyUSB2" before "ttyUSB10": names compared with their trailing numbers as numbers.
bool portNameLess(const QString& a, const QString& b);
