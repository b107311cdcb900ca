// Identification and clock probe of one port, and the clock setting: the
// answers cut as the instrument lays them out, the writes the instrument
// expects, and what a silent, refused or missing port gives.

#include "device/com_port.h"
#include "device/device_probe.h"
#include "device/test_device_probe_instrument.h"

#include <QTest>

#include <cerrno>

namespace {

// As the instrument answers: the command echoed, a line ending, the answer.
const QByteArray Rz37Identity = QByteArrayLiteral("7\r\nRZ-37m #12345\r\n");
const QByteArray Rz48Identity = QByteArrayLiteral("7\r\nRZ-48 #00417\r\n");
const QByteArray ClockAnswer = QByteArrayLiteral("1\r\nDate:03.03.2024\r\nTime:09:05:07\r\n");

QDateTime at(int y, int mo, int d, int h, int mi, int s)
{
  return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

}  // namespace

class TestDeviceProbe : public QObject {
  Q_OBJECT
 private slots:
  void identificationAnswer_data();
  void identificationAnswer();
  void clockAnswer_data();
  void clockAnswer();
  void clockWrites_data();
  void clockWrites();
  void probeOverTerminal_data();
  void probeOverTerminal();
  void refusedAndMissingPorts();
  void setClockOverTerminal();
};

void TestDeviceProbe::identificationAnswer_data()
{
  QTest::addColumn<QByteArray>("answer");
  QTest::addColumn<QString>("device");

  QTest::newRow("RZ-37m") << Rz37Identity << " RZ-37m  SN12345";
  QTest::newRow("RZ-48 cut at its own places") << Rz48Identity << " RZ-48  SN00417";
  QTest::newRow("both words: the RZ-37 layout")
      << QByteArray("7\r\nRZ-37m #12345 RZ-48") << " RZ-37m  SN12345";
  QTest::newRow("cut short") << QByteArray("7\r\nRZ-37m") << " RZ-37m  SN";
  QTest::newRow("other text") << QByteArray("Command:") << " Unknown";
  QTest::newRow("nothing") << QByteArray() << " Unknown";
}

void TestDeviceProbe::identificationAnswer()
{
  QFETCH(QByteArray, answer);
  QFETCH(QString, device);
  QCOMPARE(deviceNameFromAnswer(answer), device);
}

void TestDeviceProbe::clockAnswer_data()
{
  QTest::addColumn<QByteArray>("answer");
  QTest::addColumn<QString>("clock");  // "-" for none

  QTest::newRow("date and time") << ClockAnswer << "03.03.2024  09:05:07";
  QTest::newRow("first date counts")
      << QByteArray("xDate:01.02.2025 Time:23:59:58 Date:09.09.2009") << "01.02.2025  23:59:58";
  QTest::newRow("no time") << QByteArray("Date:03.03.2024") << "03.03.2024  ";
  QTest::newRow("no date") << QByteArray("Time:09:05:07") << "-";
  QTest::newRow("silent") << QByteArray() << "-";
}

void TestDeviceProbe::clockAnswer()
{
  QFETCH(QByteArray, answer);
  QFETCH(QString, clock);
  QCOMPARE(clockFromAnswer(answer).value_or(QStringLiteral("-")), clock);
}

void TestDeviceProbe::clockWrites_data()
{
  QTest::addColumn<QDateTime>("now");
  QTest::addColumn<QStringList>("texts");

  QTest::newRow("Sunday morning") << at(2024, 3, 3, 9, 5, 7)
                                  << QStringList{"2", "03", "03", "24", "0", "3", "09", "05", "07"};
  QTest::newRow("Saturday night") << at(2033, 12, 31, 23, 59, 58)
                                  << QStringList{"2", "31", "12", "33", "6", "3", "23", "59", "58"};
  QTest::newRow("midnight Monday")
      << at(2024, 1, 1, 0, 0, 0) << QStringList{"2", "01", "01", "24", "1", "3", "00", "00", "00"};
}

void TestDeviceProbe::clockWrites()
{
  QFETCH(QDateTime, now);
  QFETCH(QStringList, texts);
  const QVector<ClockWrite> writes = clockSettingWrites(now);
  QStringList gotTexts;
  QList<int> gotPauses;
  for (const ClockWrite& w : writes) {
    gotTexts << QString::fromLatin1(w.text);
    gotPauses << w.pauseMs;
  }
  QCOMPARE(gotTexts, texts);
  QCOMPARE(gotPauses, (QList<int>{40, 0, 0, 40, 80, 40, 0, 0, 0}));
}

void TestDeviceProbe::probeOverTerminal_data()
{
  QTest::addColumn<QByteArray>("identity");
  QTest::addColumn<QByteArray>("clock");
  QTest::addColumn<QString>("device");
  QTest::addColumn<QString>("clockCell");
  QTest::addColumn<bool>("answered");

  QTest::newRow("RZ-37m") << Rz37Identity << ClockAnswer << " RZ-37m  SN12345"
                          << "03.03.2024  09:05:07" << true;
  QTest::newRow("RZ-48") << Rz48Identity << ClockAnswer << " RZ-48  SN00417"
                         << "03.03.2024  09:05:07" << true;
  QTest::newRow("no clock answer") << Rz37Identity << QByteArray() << " RZ-37m  SN12345"
                                   << "No answer" << false;
  QTest::newRow("silent") << QByteArray() << QByteArray() << " Unknown"
                          << "No answer" << false;
}

void TestDeviceProbe::probeOverTerminal()
{
  QFETCH(QByteArray, identity);
  QFETCH(QByteArray, clock);
  QFETCH(QString, device);
  QFETCH(QString, clockCell);
  QFETCH(bool, answered);

  auto instrument = PtyInstrument::create(identity, clock);
  TComPort port;
  int handled = 0;
  port.OnRxChar = [&](TCustomComPort&, int) { ++handled; };
  InstrumentClock pauses(at(2024, 3, 3, 9, 5, 7));
  pauses.attach(port);
  pauses.instruments << instrument.get();

  const PortProbeResult r = DeviceProbe(port, pauses).probe(instrument->path());
  QCOMPARE(r.device.value_or("-"), device);
  QCOMPARE(r.port.value_or("-"), instrument->path());
  QCOMPARE(r.clock.value_or("-"), clockCell);
  QCOMPARE(r.clockAnswered, answered);
  QVERIFY(r.failure.isEmpty());
  // Exactly "7" then "1", no line ending; the answers never reach the receive handler.
  QCOMPARE(instrument->received, QByteArray("71"));
  QCOMPARE(pauses.pauses, (QList<int>{40, 80}));
  QCOMPARE(port.BaudRate(), br115200);
  QVERIFY(!port.Connected());
  QCoreApplication::processEvents();
  QCOMPARE(handled, 0);
}

void TestDeviceProbe::refusedAndMissingPorts()
{
  auto instrument = PtyInstrument::create(Rz37Identity, ClockAnswer);
  TComPort port(std::make_unique<RefusingBackend>(instrument->path()));
  InstrumentClock pauses(at(2024, 3, 3, 9, 5, 7));
  pauses.attach(port);
  DeviceProbe probe(port, pauses);

  // Refused: the row says so and names the group to join.
  PortProbeResult r = probe.probe(instrument->path());
  QVERIFY(r.accessDenied);
  QCOMPARE(r.device.value_or("-"), NoPermissionText);
  QCOMPARE(r.port.value_or("-"), instrument->path());
  QCOMPARE(r.clock.value_or("-"), QStringLiteral("Join group ") + portGroup(instrument->path()));
  QVERIFY(!port.Connected());
  const EComPort refused(CError_OpenFailed, EACCES, instrument->path());
  const QString message = portErrorMessage(refused);
  QVERIFY(message.startsWith(refused.message()));
  QVERIFY(message.contains(QStringLiteral("usermod -aG ") + portGroup(instrument->path())));
  QVERIFY(message.contains(instrument->path()));
  QCOMPARE(portErrorMessage(EComPort(CError_OpenFailed, ENOENT, "x")),
           EComPort(CError_OpenFailed, ENOENT, "x").message());

  // Gone: nothing learnt, every cell keeps what it showed.
  r = probe.probe(QStringLiteral("/dev/rz37m-no-such-port"));
  QVERIFY(!r.device && !r.port && !r.clock && !r.accessDenied);
  QVERIFY(r.failure.contains(QStringLiteral("Unable to open com port")));
  QVERIFY(pauses.pauses.isEmpty());
}

void TestDeviceProbe::setClockOverTerminal()
{
  auto instrument = PtyInstrument::create(Rz37Identity, ClockAnswer);
  TComPort port;
  InstrumentClock pauses(at(2024, 3, 3, 9, 5, 7));
  pauses.attach(port);
  pauses.instruments << instrument.get();
  DeviceProbe probe(port, pauses);

  QCOMPARE(probe.setClock(instrument->path()), QString());
  QCOMPARE(instrument->received, QByteArray("203032403090507"));
  QCOMPARE(pauses.pauses, (QList<int>{40, 40, 80, 40, ClockSettlePauseMs}));
  QVERIFY(!port.Connected());

  QVERIFY(probe.setClock(QStringLiteral("/dev/rz37m-no-such-port"))
              .contains(QStringLiteral("Unable to open com port")));
  QVERIFY(!port.Connected());
}

QTEST_GUILESS_MAIN(TestDeviceProbe)
#include "test_device_probe.moc"
