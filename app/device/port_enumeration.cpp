#include "device/port_enumeration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Sysfs nests a tty under its interface under its USB device; a few levels
// are enough to reach the device that carries idVendor.
constexpr int MaxParentLevels = 8;

QString readTrimmed(const QString& path)
{
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return {};
  return QString::fromLatin1(file.readAll()).trimmed();
}

// The USB vendor of the device a tty hangs off, empty when it is not on USB.
QString usbVendorOf(const QString& deviceLink)
{
  QString dir = QFileInfo(deviceLink).canonicalFilePath();
  for (int level = 0; level < MaxParentLevels && !dir.isEmpty() && dir != QLatin1String("/");
       ++level) {
    const QString vendorFile = dir + QStringLiteral("/idVendor");
    if (QFileInfo::exists(vendorFile))
      return readTrimmed(vendorFile);
    dir = QFileInfo(dir).path();
  }
  return {};
}

// Splits "ttyUSB10" into "ttyUSB" and 10; no digits at the end gives -1.
std::pair<QString, long long> splitTrailingNumber(const QString& name)
{
  int digits = 0;
  while (digits < name.size() && digits < 18 && name.at(name.size() - 1 - digits).isDigit())
    ++digits;
  if (digits == 0)
    return {name, -1};
  const QString prefix = name.left(name.size() - digits);
  return {prefix, name.right(digits).toLongLong()};
}

}  // namespace

bool portNameLess(const QString& a, const QString& b)
{
  const auto [prefixA, numberA] = splitTrailingNumber(a);
  const auto [prefixB, numberB] = splitTrailingNumber(b);
  if (prefixA != prefixB)
    return prefixA < prefixB;
  if (numberA != numberB)
    return numberA < numberB;
  return a < b;
}

SystemPortEnumeration::SystemPortEnumeration(QString ttyClassDir, std::optional<QString> extraPorts)
    : m_ttyClassDir(std::move(ttyClassDir)), m_extraPorts(std::move(extraPorts))
{
}

SerialPortScan SystemPortEnumeration::scan() const
{
  SerialPortScan result;
  QStringList adapters;
  const QDir classDir(m_ttyClassDir);
  const QStringList entries =
      classDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
  for (const QString& name : entries) {
    // Virtual terminals have no device behind them; serial ports do.
    const QString deviceLink = classDir.filePath(name) + QStringLiteral("/device");
    if (!QFileInfo(deviceLink).exists())
      continue;
    ++result.serialPortCount;
    if (usbVendorOf(deviceLink).compare(QLatin1String(InstrumentVendor), Qt::CaseInsensitive) == 0)
      adapters << name;
  }
  std::sort(adapters.begin(), adapters.end(), portNameLess);
  result.candidates = adapters;

  const QString extra =
      m_extraPorts ? *m_extraPorts : QString::fromLocal8Bit(qgetenv(ExtraPortsVariable));
  for (const QString& path : extra.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
    // A simulator that has ended leaves its path behind; it is gone, not a port.
    const bool listed = result.candidates.contains(path) ||
                        (path.startsWith(QLatin1String("/dev/")) && adapters.contains(path.mid(5)));
    if (!QFileInfo::exists(path) || listed)
      continue;
    ++result.serialPortCount;
    result.candidates << path;
  }
  return result;
}
