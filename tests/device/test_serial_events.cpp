// The serial port's event thread: handlers on the owner's thread, the order of
// a dispatch, and closing at every moment of a hand-over without a hang or a
// late handler.

#include "device/com_port.h"
#include "serial_pty.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTest>
#include <QThread>
#include <QTimer>
#include "support/scripted_com_backend.h"
#include "support/test_pty.h"

#include <atomic>
#include <memory>
#include <thread>

namespace {

void openOn(TCustomComPort& port, const PseudoTerminal& pty, TComEvents events = TComEvents::all())
{
  port.setPort(pty.terminalPath());
  port.setBaudRate(br115200);
  port.setEvents(events);
  port.Open();
}

// Waits, without serving any event, until the event thread has an event set
// waiting for the owner.
bool handOverWaits(const TCustomComPort& port)
{
  QDeadlineTimer deadline(5000);
  while (!port.handOverWaiting()) {
    if (deadline.hasExpired())
      return false;
    QThread::yieldCurrentThread();
  }
  return true;
}

void serveEvents()
{
  for (int i = 0; i < 3; ++i)
    QCoreApplication::processEvents();
}

}  // namespace

class TestSerialEvents : public QObject {
  Q_OBJECT

 private slots:
  void handlersRunOnOwnerThread();
  void dispatch_data();
  void dispatch();
  void closeWhileHandOverWaits_data();
  void closeWhileHandOverWaits();
  void closeFromHandler_data();
  void closeFromHandler();
  void closeWhileDataKeepsArriving();
  void holdKeepsEventsBack_data();
  void holdKeepsEventsBack();
  void linkLost();
  void discardNullAndEventChar_data();
  void discardNullAndEventChar();
};

void TestSerialEvents::handlersRunOnOwnerThread()
{
  auto pty = newTerminal();
  TComPort port;
  QByteArray received;
  int wrongThread = 0;
  int emptyCalls = 0;
  port.OnRxChar = [&](TCustomComPort& sender, int count) {
    wrongThread += QThread::currentThread() != qApp->thread();
    emptyCalls += count <= 0;
    QByteArray text;
    sender.ReadString(text, count);
    received += text;
  };
  openOn(port, *pty);
  const QByteArray parts[] = {"4", "\r\n", QByteArray(3000, 'a'), "Command:"};
  QByteArray sent;
  for (const QByteArray& part : parts) {
    QVERIFY(pty->writeAll(part, 1000));
    sent += part;
    QTRY_COMPARE(received.size(), sent.size());
  }
  QCOMPARE(received, sent);
  QCOMPARE(wrongThread, 0);
  QCOMPARE(emptyCalls, 0);
}

void TestSerialEvents::dispatch_data()
{
  QTest::addColumn<QByteArray>("waiting");
  QTest::addColumn<QString>("closeIn");  // the handler that closes the port
  QTest::addColumn<QString>("calls");

  const QString allButReceive = "txempty break ring cts:0 dsr:0 rxflag rlsd:0 80full";
  QTest::newRow("nothing waiting: no receive call") << QByteArray() << "" << allButReceive;
  QTest::newRow("bytes waiting: their count") << QByteArray("0123456789") << ""
                                              << "rx:10 " + allButReceive;
  // Closing tells the modem-line handlers that their lines are off; no handler
  // of the event set runs after that.
  QTest::newRow("closed by the receive handler: nothing after it") << QByteArray("abc") << "rx"
                                                                   << "rx:3 cts:0 dsr:0 rlsd:0";
  QTest::newRow("closed by a later handler") << QByteArray("abc") << "ring"
                                             << "rx:3 txempty break ring cts:0 dsr:0 rlsd:0";
}

void TestSerialEvents::dispatch()
{
  QFETCH(QByteArray, waiting);
  QFETCH(QString, closeIn);
  QFETCH(QString, calls);

  auto pty = newTerminal();
  TComPort port;
  QStringList seen;
  auto note = [&](TCustomComPort& sender, const QString& what) {
    seen << what;
    if (what.section(':', 0, 0) == closeIn)
      sender.Close();
  };
  port.OnError = [&](TCustomComPort& s, TComErrors) { note(s, "error"); };
  port.OnRxChar = [&](TCustomComPort& s, int count) { note(s, "rx:" + QString::number(count)); };
  port.OnTxEmpty = [&](TCustomComPort& s) { note(s, "txempty"); };
  port.OnBreak = [&](TCustomComPort& s) { note(s, "break"); };
  port.OnRing = [&](TCustomComPort& s) { note(s, "ring"); };
  port.OnRxFlag = [&](TCustomComPort& s) { note(s, "rxflag"); };
  port.OnRx80Full = [&](TCustomComPort& s) { note(s, "80full"); };
  openOn(port, *pty, {});  // no event thread: the dispatch below is the only one
  // A pseudo-terminal has no modem lines: they read as off, without an error.
  port.OnCTSChange = [&](TCustomComPort& s, bool on) { note(s, "cts:" + QString::number(on)); };
  port.OnDSRChange = [&](TCustomComPort& s, bool on) { note(s, "dsr:" + QString::number(on)); };
  port.OnRLSDChange = [&](TCustomComPort& s, bool on) { note(s, "rlsd:" + QString::number(on)); };
  QVERIFY(pty->writeAll(waiting, 1000));
  QTRY_COMPARE(port.QueuedInputCount(), int(waiting.size()));

  port.DispatchEvents(TComEvents::all());
  QCOMPARE(seen.join(' '), calls);
  QCOMPARE(port.Connected(), closeIn.isEmpty());
}

void TestSerialEvents::closeWhileHandOverWaits_data()
{
  QTest::addColumn<QString>("action");
  QTest::newRow("close") << "close";
  QTest::newRow("reopen under another name") << "other port";
  QTest::newRow("destroy the port") << "destroy";
}

void TestSerialEvents::closeWhileHandOverWaits()
{
  QFETCH(QString, action);

  auto pty = newTerminal();
  auto other = newTerminal();
  auto port = std::make_unique<TComPort>();
  QByteArray received;
  port->OnRxChar = [&](TCustomComPort& sender, int count) {
    QByteArray text;
    sender.ReadString(text, count);
    received += text;
  };
  openOn(*port, *pty);
  QVERIFY(pty->writeAll("late", 1000));
  QVERIFY(handOverWaits(*port));

  if (action == "close")
    port->Close();
  else if (action == "other port")
    port->setPort(other->terminalPath());
  else
    port.reset();
  serveEvents();
  QCOMPARE(received, QByteArray());  // the set that was on its way stays unserved

  if (action == "other port") {
    QVERIFY(other->writeAll("next", 1000));
    QTRY_COMPARE(received, QByteArray("next"));
  }
}

void TestSerialEvents::closeFromHandler_data()
{
  QTest::addColumn<QString>("action");
  QTest::newRow("close") << "close";
  QTest::newRow("reopen under another name") << "other port";
}

void TestSerialEvents::closeFromHandler()
{
  QFETCH(QString, action);

  auto pty = newTerminal();
  auto other = newTerminal();
  TComPort port;
  QByteArray received;
  port.OnRxChar = [&](TCustomComPort& sender, int count) {
    QByteArray text;
    sender.ReadString(text, count);
    received += text;
    if (text == "4")
      action == "close" ? sender.Close() : sender.setPort(other->terminalPath());
  };
  openOn(port, *pty);
  QVERIFY(pty->writeAll("4", 1000));
  QTRY_COMPARE(received, QByteArray("4"));
  QCOMPARE(port.Connected(), action != "close");
  if (action == "close")
    return;
  QVERIFY(pty->writeAll("old", 1000));
  QVERIFY(other->writeAll("new", 1000));
  QTRY_COMPARE(received, QByteArray("4new"));
}

void TestSerialEvents::closeWhileDataKeepsArriving()
{
  auto pty = newTerminal();
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    const QByteArray chunk(97, 'x');
    while (!stop) {
      if (pty->writeSome(chunk) == 0)
        std::this_thread::yield();
    }
  });

  TComPort port;
  bool closed = false;
  int lateCalls = 0;
  int calls = 0;
  QEventLoop loop;
  bool closeInHandler = false;
  port.OnRxChar = [&](TCustomComPort& sender, int count) {
    lateCalls += closed;
    ++calls;
    QByteArray text;
    sender.ReadString(text, count / 2);  // leave some behind for the next event
    if (closeInHandler)
      sender.Close();
    loop.quit();
  };
  port.setPort(pty->terminalPath());
  for (int round = 0; round < 200; ++round) {
    closed = false;
    closeInHandler = round % 3 == 1;
    port.Open();
    if (round % 3 != 2) {  // every third round closes before anything is served
      QTimer::singleShot(2000, &loop, &QEventLoop::quit);
      loop.exec();
    }
    port.Close();
    closed = true;
    serveEvents();
  }
  stop = true;
  writer.join();
  QCOMPARE(lateCalls, 0);
  QVERIFY(calls > 0);
}

void TestSerialEvents::holdKeepsEventsBack_data()
{
  QTest::addColumn<bool>("readWhileHeld");
  QTest::addColumn<QString>("afterHold");

  // The probe's pattern: write, pause, read the answer directly.
  QTest::newRow("answer read during the hold: no call after it") << true << "";
  QTest::newRow("bytes left: handed over after the hold") << false << "5";
}

void TestSerialEvents::holdKeepsEventsBack()
{
  QFETCH(bool, readWhileHeld);
  QFETCH(QString, afterHold);

  auto pty = newTerminal();
  TComPort port;
  QStringList calls;
  port.OnRxChar = [&](TCustomComPort&, int count) { calls << QString::number(count); };
  openOn(port, *pty);
  {
    TComEventHold hold(port);
    QVERIFY(pty->writeAll("RZ-37", 1000));
    QVERIFY(handOverWaits(port));
    serveEvents();
    QCOMPARE(calls, QStringList());
    if (readWhileHeld) {
      QByteArray answer;
      port.ReadString(answer, port.Buffer().InputSize);
      QCOMPARE(answer, QByteArray("RZ-37"));
    }
  }
  QCOMPARE(calls, QStringList());  // not inside the hold's end
  serveEvents();
  QCOMPARE(calls.join(' '), afterHold);
}

void TestSerialEvents::linkLost()
{
  auto pty = newTerminal();
  TComPort port;
  QList<TComErrors> errors;
  port.OnError = [&](TCustomComPort&, TComErrors e) { errors << e; };
  port.OnRxChar = [&](TCustomComPort& sender, int count) {
    QByteArray text;
    sender.ReadString(text, count);
  };
  openOn(port, *pty);
  pty->close();  // the other end goes away, as an unplugged adapter does
  QTRY_COMPARE(errors.size(), 1);
  QVERIFY(errors.first().has(ceIO));
  serveEvents();
  QCOMPARE(errors.size(), 1);  // reported once; the event thread has stopped

  QVERIFY(port.Connected());
  try {
    port.WriteString("4");
    QFAIL("a write to a lost link succeeded");
  } catch (const EComPort& e) {
    QCOMPARE(e.ErrorCode(), 2);
  }
  port.Close();
  QVERIFY(!port.Connected());
}

QTEST_GUILESS_MAIN(TestSerialEvents)
// What only bytes on a line reach: a null byte dropped when asked, the event
// character reported once, and both settings, changed on the open port,
// handed to the driver at once.
void TestSerialEvents::discardNullAndEventChar_data()
{
  QTest::addColumn<bool>("discard");
  QTest::addColumn<QByteArray>("expected");
  QTest::newRow("nulls kept") << false << QByteArray("A\0B\rC", 5);
  QTest::newRow("nulls dropped") << true << QByteArray("AB\rC");
}

void TestSerialEvents::discardNullAndEventChar()
{
  QFETCH(bool, discard);
  QFETCH(QByteArray, expected);
  auto pty = newTerminal();
  TComPort port;
  auto* backend = new ScriptedComBackend;
  port.setBackend(std::unique_ptr<ComPortBackend>(backend));
  QByteArray received;
  int flags = 0;
  port.OnRxChar = [&](TCustomComPort& sender, int count) {
    QByteArray text;
    sender.ReadString(text, count);
    received += text;
  };
  port.OnRxFlag = [&](TCustomComPort&) { ++flags; };
  openOn(port, *pty);
  port.setDiscardNull(discard);
  port.setEventChar('\r');
  QCOMPARE(backend->lines.last().DiscardNull, discard);
  QCOMPARE(backend->lines.last().EventChar, '\r');

  QVERIFY(pty->writeAll(QByteArray("A\0B\rC", 5), 1000));
  QTRY_COMPARE(received, expected);
  QTRY_COMPARE(flags, 1);
  port.Close();
}

#include "test_serial_events.moc"
