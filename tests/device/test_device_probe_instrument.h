#pragma once
// Instruments on pseudo-terminals that answer during the program's pauses, so
// probes over the real serial port get their answers without real waiting.

#include "device/com_port.h"
#include "device/serial_pty.h"
#include "shell/clock.h"

#include <QElapsedTimer>
#include <QList>
#include <QTest>

#include <memory>

struct PtyInstrument {
  PseudoTerminal pty;
  QByteArray identity;  // the answer to "7"; empty: silent
  QByteArray clock;     // the answer to "1"; empty: silent
  QByteArray received;  // every byte the program sent

  static std::unique_ptr<PtyInstrument> create(QByteArray identity, QByteArray clock)
  {
    auto device = std::make_unique<PtyInstrument>();
    device->identity = std::move(identity);
    device->clock = std::move(clock);
    QString error;
    if (!device->pty.open(&error) || !device->pty.holdTerminalSide(&error))
      qFatal("%s", qPrintable(error));
    return device;
  }
  const QString& path() const { return pty.terminalPath(); }

  // Takes what the program has sent and answers the queries among it.
  QByteArray serve()
  {
    const QByteArray in = pty.readFor(1, 500);
    received += in;
    QByteArray out;
    for (char c : in) {
      if (c == '7')
        out += identity;
      else if (c == '1')
        out += clock;
    }
    if (!out.isEmpty())
      pty.writeAll(out, 500);
    return out;
  }
};

// A fixed clock whose pauses let the instrument behind the port's current name
// answer, and which returns once that answer is waiting at the port.
class InstrumentClock : public FixedClock {
 public:
  InstrumentClock(TCustomComPort& port, QDateTime t) : FixedClock(std::move(t)), m_port(port) {}

  QList<PtyInstrument*> instruments;
  QList<int> pauses;  // every pause asked for, in ms

  void sleep(int ms) override
  {
    FixedClock::sleep(ms);
    pauses << ms;
    for (PtyInstrument* device : instruments) {
      if (device->path() != m_port.Port() || !m_port.Connected())
        continue;
      const QByteArray answer = device->serve();
      QElapsedTimer waited;
      waited.start();
      while (m_port.QueuedInputCount() < answer.size() && waited.elapsed() < 1000)
        QTest::qWait(1);
    }
  }

 private:
  TCustomComPort& m_port;
};
