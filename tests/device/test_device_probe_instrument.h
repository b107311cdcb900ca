#pragma once
// Instruments on pseudo-terminals that answer during the program's pauses, so
// probes over the real serial port get their answers without real waiting.

#include "device/com_port.h"
#include "device/com_port_backend.h"
#include "serial_pty.h"
#include "common/clock.h"
#include "support/scripted_com_backend.h"

#include <QElapsedTimer>
#include <QList>
#include <QTest>

#include <cerrno>
#include <memory>

struct PtyInstrument {
  PseudoTerminal pty;
  QByteArray identity;    // the answer to "7"; empty: silent
  QByteArray clock;       // the answer to "1"; empty: silent
  QByteArray received;    // every byte the program sent
  bool settable = false;  // "2" and "3" with their digits set the clock answer

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
  // Waits up to waitMs for the first byte.
  QByteArray serve(int waitMs = 500)
  {
    const QByteArray in = pty.readFor(1, waitMs);
    QByteArray out;
    for (char c : in)
      out += take(c);
    if (!out.isEmpty())
      pty.writeAll(out, 500);
    return out;
  }

 private:
  QByteArray take(char c)
  {
    received += c;
    if (!m_setting.isEmpty()) {
      m_setting += c;
      finishSetting();
      return {};
    }
    if (settable && (c == '2' || c == '3')) {
      m_setting = QByteArray(1, c);
      return {};
    }
    return c == '7' ? identity : c == '1' ? clock : QByteArray();
  }
  // "2" dd mm yy w, "3" hh mm ss.
  void finishSetting()
  {
    const QByteArray& s = m_setting;
    if (s.startsWith('2') && s.size() == 8) {
      m_date = s.mid(1, 2) + '.' + s.mid(3, 2) + ".20" + s.mid(5, 2);
      m_setting.clear();
    } else if (s.startsWith('3') && s.size() == 7) {
      clock = "1\r\nDate:" + m_date + "\r\nTime:" + s.mid(1, 2) + ':' + s.mid(3, 2) + ':' +
              s.mid(5, 2) + "\r\n";
      m_setting.clear();
    }
  }
  QByteArray m_setting;
  QByteArray m_date = "01.01.2000";
};

// A fixed clock whose pauses let the instrument behind the port's current name
// answer, and which returns once that answer is waiting at the port.
class InstrumentClock : public FixedClock {
 public:
  explicit InstrumentClock(QDateTime t) : FixedClock(std::move(t)) {}

  QList<PtyInstrument*> instruments;
  QList<int> pauses;  // every pause asked for, in ms

  // A pseudo-terminal drops what its reader has not taken when the port
  // closes; the instrument takes it just before.
  void attach(TCustomComPort& port)
  {
    m_port = &port;
    port.OnBeforeClose = [this](TCustomComPort&) {
      if (PtyInstrument* device = current())
        device->serve(5);
    };
  }

  void sleep(int ms) override
  {
    FixedClock::sleep(ms);
    pauses << ms;
    PtyInstrument* device = current();
    if (device == nullptr || !m_port->Connected())
      return;
    const QByteArray answer = device->serve();
    QElapsedTimer waited;
    waited.start();
    while (m_port->QueuedInputCount() < answer.size() && waited.elapsed() < 1000)
      QTest::qWait(1);
  }

 private:
  PtyInstrument* current() const
  {
    if (m_port == nullptr)
      return nullptr;
    for (PtyInstrument* device : instruments)
      if (device->path() == m_port->Port())
        return device;
    return nullptr;
  }
  TCustomComPort* m_port = nullptr;
};

// The platform backend, except that one device refuses this user.
class RefusingBackend : public ScriptedComBackend {
 public:
  explicit RefusingBackend(const QString& refused) { refuse(refused, EACCES); }
};
