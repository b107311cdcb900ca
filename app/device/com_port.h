#pragma once
// The serial port component: the program's only way to the instrument.
//
// One object, owned by a thread with an event loop (the user-interface
// thread), opens one port at a time by name. While it is open an event thread
// waits for line events and hands each set to the owner's thread; the handlers
// run there, and the event thread waits until they have run before it looks
// for the next event.
//
// Handlers are std::function members, assigned directly and all optional:
//   port.OnRxChar = [&](TCustomComPort& sender, int count) { ... };
// A receive event calls OnRxChar with the number of bytes waiting, and not at
// all when none are waiting any more. No handler runs after Close() has
// returned, not even for an event set that was already on its way.
//
// Every failure of the system raises EComPort (com_port_error.h). An exception
// that escapes a handler during a hand-over is caught there, so the event
// thread never waits for a handler that will not finish; its message goes to
// OnDispatchError (or the warning log when that is not assigned).
//
// When the device goes away (adapter unplugged, the other end of a
// pseudo-terminal closed) the event set carries evError with ceIO once and the
// event thread stops waiting; the port stays Connected, writes fail with code 2,
// and the owner is expected to Close it.

#include "device/com_port_backend.h"
#include "device/com_port_error.h"
#include "device/com_port_types.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class TComThread;
class ComHandOver;
class TCustomComPort;

using TNotifyEvent = std::function<void(TCustomComPort& sender)>;
using TRxCharEvent = std::function<void(TCustomComPort& sender, int count)>;
using TRxBufEvent = std::function<void(TCustomComPort& sender, const QByteArray& data)>;
using TComSignalEvent = std::function<void(TCustomComPort& sender, bool onOff)>;
using TComErrorEvent = std::function<void(TCustomComPort& sender, TComErrors errors)>;
using TComDispatchErrorEvent = std::function<void(TCustomComPort& sender, const QString& message)>;

class TCustomComPort : public QObject {
  Q_OBJECT
 public:
  explicit TCustomComPort(QObject* parent = nullptr);
  // A port over another backend (a scripted one in tests).
  explicit TCustomComPort(std::unique_ptr<ComPortBackend> backend, QObject* parent = nullptr);
  // Closes the port without calling any handler.
  ~TCustomComPort() override;

  // --- operations (owner's thread) ---------------------------------------
  // Opens and configures the port and starts the event thread; nothing when
  // already open. A failure leaves the port closed.
  void Open();
  // Stops the event thread and closes the port; nothing when closed.
  void Close();
  bool Connected() const { return m_connected; }

  // Writes all bytes in one transfer and returns how many were handed to the
  // driver: all of them, or fewer when the time-outs' write limit (by default
  // 1000 ms + 100 ms per byte) ran out. "" returns 0 without touching the port;
  // a closed port raises code 2.
  long long WriteString(const QByteArray& text);
  // At most count bytes that have already arrived; never waits. text becomes
  // exactly those bytes. A read that cannot be made returns 0 and is counted.
  int ReadString(QByteArray& text, int count);
  // Bytes received and not read yet (code 10 when it cannot be read).
  int QueuedInputCount();
  int FailedReads() const { return m_failedReads; }
  int LastReadError() const { return m_lastReadError; }

  // Runs the handlers for an event set, in the fixed order error, receive,
  // transmit-empty, break, ring, CTS, DSR, event character, RLSD, 80 % full.
  void DispatchEvents(TComEvents events);
  // Whether the event thread is waiting for its current event set to be served
  // (for diagnostics and tests).
  bool handOverWaiting() const;

  // --- settings: applied at once while open, else at the next Open -------
  const QString& Port() const { return m_port; }
  // A name is a device path, or a name under /dev ("ttyUSB0"). Another name
  // while open closes the port and opens it again under that name.
  void setPort(const QString& name);
  TBaudRate BaudRate() const { return m_baudRate; }
  void setBaudRate(TBaudRate rate);
  int CustomBaudRate() const { return m_customBaudRate; }
  void setCustomBaudRate(int rate);
  TDataBits DataBits() const { return m_dataBits; }
  void setDataBits(TDataBits bits);
  TStopBits StopBits() const { return m_stopBits; }
  void setStopBits(TStopBits bits);
  const TComParity& Parity() const { return m_parity; }
  void setParity(const TComParity& parity);
  const TComFlowControl& FlowControl() const { return m_flow; }
  void setFlowControl(const TComFlowControl& flow);
  const TComTimeouts& Timeouts() const { return m_timeouts; }
  void setTimeouts(const TComTimeouts& timeouts);
  // Odd positive sizes are lowered by one.
  const TComBuffer& Buffer() const { return m_buffer; }
  void setBuffer(const TComBuffer& buffer);
  TComEvents Events() const { return m_events; }
  void setEvents(TComEvents events);
  TSyncMethod SyncMethod() const { return m_syncMethod; }
  // Code 14 while open. smNone runs the handlers on the event thread (they must
  // then not Close the port); smWindowSync queues them without waiting.
  void setSyncMethod(TSyncMethod method);
  bool DiscardNull() const { return m_discardNull; }
  void setDiscardNull(bool discard);
  char EventChar() const { return m_eventChar; }
  void setEventChar(char c);

  // Replaces the backend; code 14 while open.
  void setBackend(std::unique_ptr<ComPortBackend> backend);

  // --- handlers -------------------------------------------------------
  TRxCharEvent OnRxChar;
  TRxBufEvent OnRxBuf;  // the bytes themselves, read after OnRxChar has run
  TNotifyEvent OnTxEmpty;
  TNotifyEvent OnBreak;
  TNotifyEvent OnRing;
  TComSignalEvent OnCTSChange;
  TComSignalEvent OnDSRChange;
  TComSignalEvent OnRLSDChange;
  TNotifyEvent OnRxFlag;
  TComErrorEvent OnError;
  TNotifyEvent OnRx80Full;
  TNotifyEvent OnBeforeOpen;
  TNotifyEvent OnAfterOpen;
  TNotifyEvent OnBeforeClose;
  TNotifyEvent OnAfterClose;
  TComDispatchErrorEvent OnDispatchError;

 private:
  friend class TComEventHold;

  ComLineSettings lineSettings() const;
  void applyBuffer();
  void applyLine();
  void applyTimeouts();
  void startThread();
  void stopThread();
  void notifyModemLines(bool closing);
  void serveHandOver(std::uint64_t generation, std::uint64_t seq);
  void dispatchPosted(std::uint64_t generation, TComEvents events);
  void dispatchCaught(TComEvents events);
  void releaseHold();
  bool stillOpen(std::uint64_t generation) const;
  [[noreturn]] void fail(int code, int systemError) const;

  std::unique_ptr<ComPortBackend> m_backend;
  std::unique_ptr<TComThread> m_thread;
  std::shared_ptr<ComHandOver> m_handOver;
  std::atomic<bool> m_connected{false};
  std::atomic<std::uint64_t> m_generation{0};  // one per Open

  // Hand-overs wait while a TComEventHold lives.
  int m_holds = 0;
  std::uint64_t m_heldGeneration = 0;
  std::uint64_t m_heldSeq = 0;

  QString m_port = QStringLiteral("COM1");
  TBaudRate m_baudRate = br9600;
  int m_customBaudRate = 9600;
  TDataBits m_dataBits = dbEight;
  TStopBits m_stopBits = sbOneStopBit;
  TComParity m_parity;
  TComFlowControl m_flow;
  TComTimeouts m_timeouts;
  TComBuffer m_buffer;
  TComEvents m_events = TComEvents::all();
  TSyncMethod m_syncMethod = smThreadSync;
  bool m_discardNull = false;
  char m_eventChar = 0;

  int m_failedReads = 0;
  int m_lastReadError = 0;
};

class TComPort : public TCustomComPort {
  Q_OBJECT
 public:
  using TCustomComPort::TCustomComPort;
};

// While one lives, the port hands no event set over: the event thread keeps
// waiting and the bytes stay queued, so code that writes, pauses (the pause may
// keep the window painting) and reads the answer itself gets the answer, not
// the receive handler. When the last hold ends, a hand-over that came meanwhile
// is served from the event loop, never inside the destructor.
class TComEventHold {
 public:
  explicit TComEventHold(TCustomComPort& port);
  ~TComEventHold();
  TComEventHold(const TComEventHold&) = delete;
  TComEventHold& operator=(const TComEventHold&) = delete;

 private:
  TCustomComPort& m_port;
};
