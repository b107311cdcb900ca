// The serial port over pseudo-terminals: opening, closing, line settings,
// reads and writes, and the error texts the user sees.

#include "device/com_port.h"
#include "serial_pty.h"

#include <QTemporaryDir>
#include <QTest>
#include "support/test_pty.h"

#include <cerrno>
#include <memory>

namespace {

// Counts the open/close notifications, which show whether an operation really
// reopened the port or left it alone.
struct Lifecycle {
  int beforeOpen = 0;
  int afterOpen = 0;
  int beforeClose = 0;
  int afterClose = 0;

  void watch(TCustomComPort& port)
  {
    port.OnBeforeOpen = [this](TCustomComPort&) { ++beforeOpen; };
    port.OnAfterOpen = [this](TCustomComPort&) { ++afterOpen; };
    port.OnBeforeClose = [this](TCustomComPort&) { ++beforeClose; };
    port.OnAfterClose = [this](TCustomComPort&) { ++afterClose; };
  }
  QString text() const
  {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(beforeOpen)
        .arg(afterOpen)
        .arg(beforeClose)
        .arg(afterClose);
  }
};

// Whether another port object can take the device now.
bool canTake(const QString& path)
{
  TComPort other;
  other.setPort(path);
  try {
    other.Open();
  } catch (const EComPort&) {
    return false;
  }
  return true;
}

}  // namespace

class TestSerialPort : public QObject {
  Q_OBJECT

 private slots:
  void openByName_data();
  void openByName();
  void openCloseAndPortChanges_data();
  void openCloseAndPortChanges();
  void lineSettingsAppliedAtOnce_data();
  void lineSettingsAppliedAtOnce();
  void readString_data();
  void readString();
  void writeString_data();
  void writeString();
  void errorMessages_data();
  void errorMessages();
  void flowControlKinds_data();
  void flowControlKinds();
  void defaults();
};

void TestSerialPort::openByName_data()
{
  QTest::addColumn<QString>("kind");
  QTest::addColumn<int>("systemError");  // 0: opens

  QTest::newRow("device path") << "path" << 0;
  QTest::newRow("name under /dev") << "bare" << 0;
  QTest::newRow("missing device path") << "missing path" << ENOENT;
  QTest::newRow("missing name under /dev") << "missing bare" << ENOENT;
  QTest::newRow("not a terminal") << "regular file" << ENOTTY;
  QTest::newRow("open in another port") << "taken" << EBUSY;
}

void TestSerialPort::openByName()
{
  QFETCH(QString, kind);
  QFETCH(int, systemError);

  auto pty = newTerminal();
  QTemporaryDir dir;
  QString name = pty->terminalPath();
  if (kind == "bare")
    name = name.mid(QStringLiteral("/dev/").size());
  else if (kind == "missing path")
    name = QStringLiteral("/dev/ttyRZ37m-none");
  else if (kind == "missing bare")
    name = QStringLiteral("ttyRZ37m-none");
  else if (kind == "regular file") {
    name = dir.filePath(QStringLiteral("not-a-port"));
    QFile f(name);
    QVERIFY(f.open(QIODevice::WriteOnly));
  }
  TComPort holder;
  if (kind == "taken") {
    holder.setPort(name);
    holder.Open();
  }

  TComPort port;
  Lifecycle seen;
  seen.watch(port);
  port.setPort(name);
  try {
    port.Open();
    QCOMPARE(systemError, 0);
    QVERIFY(port.Connected());
    QVERIFY(!canTake(pty->terminalPath()));
  } catch (const EComPort& e) {
    QCOMPARE(e.SystemErrorCode(), systemError);
    QCOMPARE(e.ErrorCode(), 1);
    QCOMPARE(e.message(), "COM Port Error: Unable to open com port on " + name);
    QVERIFY(!port.Connected());
    QCOMPARE(seen.afterOpen, 0);
  }
  if (kind == "taken") {
    QVERIFY(holder.Connected());
    holder.Close();
    QVERIFY(canTake(name));
  }
}

void TestSerialPort::openCloseAndPortChanges_data()
{
  QTest::addColumn<QStringList>("steps");
  QTest::addColumn<QString>("notifications");  // before/after open, before/after close
  QTest::addColumn<bool>("connected");
  QTest::addColumn<bool>("onSecond");  // the second terminal is the one held

  QTest::newRow("open twice opens once")
      << QStringList{"open", "open"} << "1 1 0 0" << true << false;
  QTest::newRow("close when closed does nothing")
      << QStringList{"close"} << "0 0 0 0" << false << false;
  QTest::newRow("close twice closes once")
      << QStringList{"open", "close", "close"} << "1 1 1 1" << false << false;
  QTest::newRow("own name while open does nothing")
      << QStringList{"open", "same name"} << "1 1 0 0" << true << false;
  QTest::newRow("other name while open reopens there")
      << QStringList{"open", "other name"} << "2 2 1 1" << true << true;
  QTest::newRow("other name while closed only stores it")
      << QStringList{"other name"} << "0 0 0 0" << false << true;
}

void TestSerialPort::openCloseAndPortChanges()
{
  QFETCH(QStringList, steps);
  QFETCH(QString, notifications);
  QFETCH(bool, connected);
  QFETCH(bool, onSecond);

  auto first = newTerminal();
  auto second = newTerminal();
  TComPort port;
  Lifecycle seen;
  seen.watch(port);
  port.setPort(first->terminalPath());
  for (const QString& step : steps) {
    if (step == "open")
      port.Open();
    else if (step == "close")
      port.Close();
    else if (step == "same name")
      port.setPort(QString(first->terminalPath()));
    else if (step == "other name")
      port.setPort(second->terminalPath());
  }
  QCOMPARE(seen.text(), notifications);
  QCOMPARE(port.Connected(), connected);
  QCOMPARE(port.Port(), onSecond ? second->terminalPath() : first->terminalPath());
  QCOMPARE(canTake(first->terminalPath()), !(connected && !onSecond));
  QCOMPARE(canTake(second->terminalPath()), !(connected && onSecond));
}

void TestSerialPort::lineSettingsAppliedAtOnce_data()
{
  QTest::addColumn<int>("rate");
  QTest::addColumn<int>("custom");
  QTest::addColumn<int>("dataBits");
  QTest::addColumn<int>("parity");
  QTest::addColumn<int>("stopBits");
  QTest::addColumn<int>("flow");
  QTest::addColumn<bool>("beforeOpen");  // set while closed, applied by Open
  QTest::addColumn<QString>("line");     // as the other end sees it
  QTest::addColumn<QString>("handshake");

  // Every speed of the enumeration, including those POSIX has no constant for.
  const int speeds[] = {9600,  110,   300,   600,   1200,  2400,   4800,   9600,
                        14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
  for (int r = 0; r < BaudRateCount; ++r)
    QTest::addRow("speed %d", speeds[r])
        << r << 9600 << int(dbEight) << int(prNone) << int(sbOneStopBit) << int(fcNone) << false
        << QString::number(speeds[r]) + " 8N1"
        << "none";
  QTest::newRow("custom speed") << int(brCustom) << 250000 << int(dbEight) << int(prNone)
                                << int(sbOneStopBit) << int(fcNone) << false << "250000 8N1"
                                << "none";
  // A pseudo-terminal always carries 8 bits without parity; the stop bits,
  // speed and handshake are what its other end can see.
  QTest::newRow("two stop bits") << int(br9600) << 0 << int(dbEight) << int(prNone)
                                 << int(sbTwoStopBits) << int(fcNone) << false << "9600 8N2"
                                 << "none";
  QTest::newRow("hardware handshake")
      << int(br115200) << 0 << int(dbEight) << int(prNone) << int(sbOneStopBit) << int(fcHardware)
      << false << "115200 8N1"
      << "rts/cts";
  QTest::newRow("software handshake")
      << int(br115200) << 0 << int(dbEight) << int(prNone) << int(sbOneStopBit) << int(fcSoftware)
      << false << "115200 8N1"
      << "xon/xoff";
  QTest::newRow("instrument line set before opening")
      << int(br115200) << 0 << int(dbEight) << int(prNone) << int(sbOneStopBit) << int(fcNone)
      << true << "115200 8N1"
      << "none";
}

void TestSerialPort::lineSettingsAppliedAtOnce()
{
  QFETCH(int, rate);
  QFETCH(int, custom);
  QFETCH(int, dataBits);
  QFETCH(int, parity);
  QFETCH(int, stopBits);
  QFETCH(int, flow);
  QFETCH(bool, beforeOpen);
  QFETCH(QString, line);
  QFETCH(QString, handshake);

  auto pty = newTerminal();
  TComPort port;
  Lifecycle seen;
  seen.watch(port);
  port.setPort(pty->terminalPath());
  if (!beforeOpen) {
    port.setBaudRate(br300);  // something else first, so the change shows
    port.Open();
  }
  if (custom != 0)
    port.setCustomBaudRate(custom);
  port.setBaudRate(TBaudRate(rate));
  port.setDataBits(TDataBits(dataBits));
  port.setStopBits(TStopBits(stopBits));
  port.setParity({TParityBits(parity), false, false, 0});
  TComFlowControl fc = port.FlowControl();
  fc.setFlowControl(TFlowControl(flow));
  port.setFlowControl(fc);
  if (beforeOpen)
    port.Open();

  const SerialLineState state = pty->line();
  QCOMPARE(state.describe(), line);
  QVERIFY(state.Raw);
  const QString seenHandshake = state.HardwareFlow                      ? "rts/cts"
                                : (state.XonXoffIn && state.XonXoffOut) ? "xon/xoff"
                                : (state.XonXoffIn || state.XonXoffOut) ? "partial"
                                                                        : "none";
  QCOMPARE(seenHandshake, handshake);
  QCOMPARE(seen.beforeClose, 0);  // changed in place, never reopened
}

void TestSerialPort::readString_data()
{
  QTest::addColumn<QByteArray>("arrived");
  QTest::addColumn<int>("count");
  QTest::addColumn<QByteArray>("expected");
  QTest::addColumn<int>("left");

  QTest::newRow("what has arrived, at once")
      << QByteArray("0123456789") << 1024 << QByteArray("0123456789") << 0;
  QTest::newRow("nothing arrived") << QByteArray() << 1024 << QByteArray() << 0;
  QTest::newRow("no more than asked") << QByteArray("0123456789") << 4 << QByteArray("0123") << 6;
  QTest::newRow("bytes of every value") << QByteArray("\x00\x0d\x0a\x11\x13\xff", 6) << 1024
                                        << QByteArray("\x00\x0d\x0a\x11\x13\xff", 6) << 0;
}

void TestSerialPort::readString()
{
  QFETCH(QByteArray, arrived);
  QFETCH(int, count);
  QFETCH(QByteArray, expected);
  QFETCH(int, left);

  auto pty = newTerminal();
  TComPort port;
  port.setPort(pty->terminalPath());
  port.setBaudRate(br115200);
  port.Open();
  QVERIFY(pty->writeAll(arrived, 1000));
  QTRY_COMPARE(port.QueuedInputCount(), int(arrived.size()));

  QByteArray text("stale");
  QCOMPARE(port.ReadString(text, count), int(expected.size()));
  QCOMPARE(text, expected);
  QCOMPARE(port.QueuedInputCount(), left);
  QCOMPARE(port.FailedReads(), 0);

  // Reads never wait, whatever is left: the rest comes at once, then nothing.
  QCOMPARE(port.ReadString(text, 1024), left);
  QCOMPARE(port.ReadString(text, 1024), 0);
  QVERIFY(text.isEmpty());

  port.Close();
  QCOMPARE(port.ReadString(text, 1024), 0);  // closed: counted, not raised
  QCOMPARE(port.FailedReads(), 1);
}

void TestSerialPort::writeString_data()
{
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<bool>("open");
  QTest::addColumn<bool>("peerReads");
  QTest::addColumn<int>("errorCode");  // 0: no error
  QTest::addColumn<QString>("outcome");

  QTest::newRow("empty text on an open port") << QByteArray() << true << true << 0 << "all";
  QTest::newRow("empty text on a closed port") << QByteArray() << false << true << 0 << "all";
  QTest::newRow("one command") << QByteArray("7") << true << true << 0 << "all";
  QTest::newRow("file name and carriage return")
      << QByteArray("PIPE_3X12.DAT\r") << true << true << 0 << "all";
  QTest::newRow("closed port") << QByteArray("4") << false << true << 2 << "none";
  QTest::newRow("peer stops reading: short count at the time limit")
      << QByteArray(1 << 20, 'x') << true << false << 0 << "short";
}

void TestSerialPort::writeString()
{
  QFETCH(QByteArray, text);
  QFETCH(bool, open);
  QFETCH(bool, peerReads);
  QFETCH(int, errorCode);
  QFETCH(QString, outcome);

  auto pty = newTerminal();
  TComPort port;
  port.setPort(pty->terminalPath());
  port.setTimeouts({-1, 0, 0, 0, 20});  // a short write limit for the stalled peer
  if (open)
    port.Open();
  long long written = -1;
  try {
    written = port.WriteString(text);
    QCOMPARE(errorCode, 0);
  } catch (const EComPort& e) {
    QCOMPARE(e.ErrorCode(), errorCode);
    QCOMPARE(e.message(), "COM Port Error: WriteFile function failed on " + pty->terminalPath());
  }
  if (outcome == "all") {
    QCOMPARE(written, text.size());
    if (peerReads && open)
      QCOMPARE(pty->readFor(int(text.size()), 1000), text);
  } else if (outcome == "short") {
    QVERIFY2(written > 0 && written < text.size(), qPrintable(QString::number(written)));
  }
  if (!text.isEmpty() || !open)
    return;
  QCOMPARE(pty->readFor(1, 5), QByteArray());  // "" sends nothing
}

void TestSerialPort::errorMessages_data()
{
  QTest::addColumn<int>("code");
  QTest::addColumn<int>("systemError");
  QTest::addColumn<QString>("message");

  QTest::newRow("open failed") << 1 << ENOENT << "COM Port Error: Unable to open com port on COM3";
  QTest::newRow("purge failed") << 5 << EIO << "COM Port Error: PurgeComm function failed on COM3";
  QTest::newRow("no system error: no port")
      << 14 << -1 << "COM Port Error: Cannot set property while connected";
  QTest::newRow("last code") << 23 << 0 << "COM Port Error: Registry error on COM3";
  QTest::newRow("unknown code") << 24 << -1 << "COM Port Error: Unknown Error #24";
  QTest::newRow("code zero") << 0 << -1 << "COM Port Error: Unknown Error #0";
}

void TestSerialPort::errorMessages()
{
  QFETCH(int, code);
  QFETCH(int, systemError);
  QFETCH(QString, message);

  const EComPort e(code, systemError, QStringLiteral("COM3"));
  QCOMPARE(e.message(), message);
  QCOMPARE(QString::fromUtf8(e.what()), message);
  QCOMPARE(e.ErrorCode(), code);
  QCOMPARE(e.SystemErrorCode(), systemError);
}

void TestSerialPort::flowControlKinds_data()
{
  QTest::addColumn<int>("rts");
  QTest::addColumn<bool>("cts");
  QTest::addColumn<bool>("xonIn");
  QTest::addColumn<bool>("xonOut");
  QTest::addColumn<int>("kind");

  QTest::newRow("none") << int(rtsDisable) << false << false << false << int(fcNone);
  QTest::newRow("hardware") << int(rtsHandshake) << true << false << false << int(fcHardware);
  QTest::newRow("software") << int(rtsDisable) << false << true << true << int(fcSoftware);
  QTest::newRow("one XON/XOFF direction")
      << int(rtsDisable) << false << true << false << int(fcCustom);
  QTest::newRow("RTS on without handshake")
      << int(rtsEnable) << false << false << false << int(fcCustom);
  QTest::newRow("RTS handshake and XON/XOFF")
      << int(rtsHandshake) << true << true << true << int(fcCustom);
}

void TestSerialPort::flowControlKinds()
{
  QFETCH(int, rts);
  QFETCH(bool, cts);
  QFETCH(bool, xonIn);
  QFETCH(bool, xonOut);
  QFETCH(int, kind);

  TComFlowControl fc;
  fc.ControlRTS = TRTSFlowControl(rts);
  fc.OutCTSFlow = cts;
  fc.XonXoffIn = xonIn;
  fc.XonXoffOut = xonOut;
  QCOMPARE(int(fc.FlowControl()), kind);

  // Setting a kind writes exactly the fields that make it read back as that kind.
  TComFlowControl set = fc;
  set.setFlowControl(TFlowControl(kind));
  QCOMPARE(set, fc);
  set.setFlowControl(fcNone);
  QCOMPARE(int(set.FlowControl()), int(fcNone));
  QCOMPARE(set.ControlDTR, fc.ControlDTR);
}

void TestSerialPort::defaults()
{
  TComPort port;
  QCOMPARE(port.Port(), "COM1");
  QCOMPARE(port.BaudRate(), br9600);
  QCOMPARE(port.CustomBaudRate(), 9600);
  QCOMPARE(port.Parity(), TComParity{});
  QCOMPARE(int(port.FlowControl().FlowControl()), int(fcNone));
  QCOMPARE(port.FlowControl().ControlDTR, dtrDisable);
  QCOMPARE(port.Timeouts(), (TComTimeouts{-1, 0, 0, 100, 1000}));
  QCOMPARE(port.Buffer().InputSize, 1024);
  QCOMPARE(EventsToMask(port.Events()), 0x5FFu);
  QCOMPARE(MaskToEvents(0x5FF), TComEvents::all());
  QCOMPARE(EventsToMask({evRxFlag, evRing}), 0x102u);
  QVERIFY(!port.Connected());

  port.setBuffer({1025, 7});
  QCOMPARE(port.Buffer(), (TComBuffer{1024, 6}));

  auto pty = newTerminal();
  port.setPort(pty->terminalPath());
  port.Open();
  try {
    port.setSyncMethod(smNone);
    QFAIL("the sync method changed while open");
  } catch (const EComPort& e) {
    QCOMPARE(e.ErrorCode(), 14);
  }
  QCOMPARE(port.SyncMethod(), smThreadSync);
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "test_serial_port.moc"
