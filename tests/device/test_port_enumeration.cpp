// The candidate ports: the instrument's adapters found in a folder laid out as
// /sys/class/tty, then the extra ports, and the count that shows a change.

#include "device/port_enumeration.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A sysfs tree: class/<tty>/device -> devices/<usb device>/<interface>/<tty>,
// with idVendor on the USB device.
class FakeSysfs {
 public:
  FakeSysfs() { QDir(m_dir.path()).mkpath(QStringLiteral("class")); }
  QString classDir() const { return m_dir.filePath(QStringLiteral("class")); }

  void addUsbPort(const QString& tty, const QString& vendor)
  {
    const QString usbDevice = m_dir.filePath(QStringLiteral("devices/usb1/1-") + tty);
    const QString portDevice = usbDevice + QStringLiteral("/1-1:1.0/") + tty;
    QDir().mkpath(portDevice);
    QFile id(usbDevice + QStringLiteral("/idVendor"));
    QVERIFY(id.open(QIODevice::WriteOnly));
    id.write(vendor.toLatin1() + '\n');
    link(tty, portDevice);
  }
  void addPlatformPort(const QString& tty)
  {
    const QString portDevice = m_dir.filePath(QStringLiteral("devices/platform/serial8250/") + tty);
    QDir().mkpath(portDevice);
    link(tty, portDevice);
  }
  void addVirtualTerminal(const QString& tty)
  {
    QDir().mkpath(classDir() + QLatin1Char('/') + tty);
  }
  void remove(const QString& tty) { QDir(classDir() + QLatin1Char('/') + tty).removeRecursively(); }

 private:
  void link(const QString& tty, const QString& target)
  {
    const QString entry = classDir() + QLatin1Char('/') + tty;
    QDir().mkpath(entry);
    QVERIFY(QFile::link(target, entry + QStringLiteral("/device")));
  }
  QTemporaryDir m_dir;
};

}  // namespace

class TestPortEnumeration : public QObject {
  Q_OBJECT
 private slots:
  void adaptersInNaturalOrder_data();
  void adaptersInNaturalOrder();
  void extraPortsAfterAdapters();
  void countFollowsPortsComingAndGoing();
};

void TestPortEnumeration::adaptersInNaturalOrder_data()
{
  QTest::addColumn<QStringList>("instrumentPorts");  // vendor 0403, created in this order
  QTest::addColumn<QStringList>("otherUsbPorts");    // another vendor
  QTest::addColumn<QStringList>("expected");
  QTest::addColumn<int>("count");

  QTest::newRow("none") << QStringList{} << QStringList{} << QStringList{} << 2;
  QTest::newRow("ten after two") << QStringList{"ttyUSB10", "ttyUSB2", "ttyUSB0"} << QStringList{}
                                 << QStringList{"ttyUSB0", "ttyUSB2", "ttyUSB10"} << 5;
  QTest::newRow("other vendor neither listed nor opened")
      << QStringList{"ttyUSB1"} << QStringList{"ttyUSB0", "ttyACM0"} << QStringList{"ttyUSB1"} << 5;
}

void TestPortEnumeration::adaptersInNaturalOrder()
{
  QFETCH(QStringList, instrumentPorts);
  QFETCH(QStringList, otherUsbPorts);
  QFETCH(QStringList, expected);
  QFETCH(int, count);

  FakeSysfs sys;
  sys.addPlatformPort(QStringLiteral("ttyS0"));
  sys.addPlatformPort(QStringLiteral("ttyS1"));
  sys.addVirtualTerminal(QStringLiteral("tty1"));
  for (const QString& p : instrumentPorts)
    sys.addUsbPort(p, QStringLiteral("0403"));
  for (const QString& p : otherUsbPorts)
    sys.addUsbPort(p, QStringLiteral("067b"));

  const SerialPortScan scan = SystemPortEnumeration(sys.classDir(), QString()).scan();
  QCOMPARE(scan.candidates, expected);
  QCOMPARE(scan.serialPortCount, count);
}

void TestPortEnumeration::extraPortsAfterAdapters()
{
  FakeSysfs sys;
  sys.addUsbPort(QStringLiteral("ttyUSB0"), QStringLiteral("0403"));
  QTemporaryDir dev;
  const QString simA = dev.filePath(QStringLiteral("simA"));
  const QString simB = dev.filePath(QStringLiteral("simB"));
  const QString gone = dev.filePath(QStringLiteral("gone"));
  for (const QString& p : {simA, simB}) {
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly));
  }

  // Given order kept, empty items, repeats and paths that do not exist skipped.
  const QString extra = simB + QStringLiteral("::") + gone + QLatin1Char(':') + simA +
                        QLatin1Char(':') + simB + QStringLiteral(":/dev/ttyUSB0");
  SerialPortScan scan = SystemPortEnumeration(sys.classDir(), extra).scan();
  QCOMPARE(scan.candidates, (QStringList{"ttyUSB0", simB, simA}));
  QCOMPARE(scan.serialPortCount, 3);

  // Without an override the environment variable is read at each scan.
  qputenv(ExtraPortsVariable, simA.toLocal8Bit());
  scan = SystemPortEnumeration(sys.classDir()).scan();
  qunsetenv(ExtraPortsVariable);
  QCOMPARE(scan.candidates, (QStringList{"ttyUSB0", simA}));
}

void TestPortEnumeration::countFollowsPortsComingAndGoing()
{
  FakeSysfs sys;
  QTemporaryDir dev;
  const QString sim = dev.filePath(QStringLiteral("sim"));
  const SystemPortEnumeration ports(sys.classDir(), sim);

  QCOMPARE(ports.scan().serialPortCount, 0);
  sys.addUsbPort(QStringLiteral("ttyUSB0"), QStringLiteral("0403"));
  QCOMPARE(ports.scan().serialPortCount, 1);
  {
    QFile f(sim);
    QVERIFY(f.open(QIODevice::WriteOnly));
  }
  QCOMPARE(ports.scan().candidates, (QStringList{"ttyUSB0", sim}));
  QCOMPARE(ports.scan().serialPortCount, 2);
  sys.remove(QStringLiteral("ttyUSB0"));
  QFile::remove(sim);
  const SerialPortScan scan = ports.scan();
  QCOMPARE(scan.serialPortCount, 0);
  QVERIFY(scan.candidates.isEmpty());
}

QTEST_GUILESS_MAIN(TestPortEnumeration)
#include "test_port_enumeration.moc"
