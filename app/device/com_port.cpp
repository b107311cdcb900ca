#include "device/com_port.h"

#include "device/com_port_thread.h"

#include <QMetaObject>
#include <QtGlobal>

#include <cerrno>
#include <exception>
#include <utility>

TCustomComPort::TCustomComPort(QObject* parent) : TCustomComPort(createComPortBackend(), parent) {}

TCustomComPort::TCustomComPort(std::unique_ptr<ComPortBackend> backend, QObject* parent)
    : QObject(parent), m_backend(std::move(backend))
{
}

TCustomComPort::~TCustomComPort()
{
  // The owner's members that the handlers use may already be gone.
  OnRxChar = {};
  OnRxBuf = {};
  OnTxEmpty = OnBreak = OnRing = OnRxFlag = OnRx80Full = {};
  OnCTSChange = OnDSRChange = OnRLSDChange = {};
  OnError = {};
  OnBeforeOpen = OnAfterOpen = OnBeforeClose = OnAfterClose = {};
  OnDispatchError = {};
  try {
    Close();
  } catch (const EComPort&) {
    // The handle is released whatever Close reports; nothing is left to do.
  }
}

void TCustomComPort::fail(int code, int systemError) const
{
  throw EComPort(code, systemError, m_port);
}

void TCustomComPort::Open()
{
  if (m_connected)
    return;
  if (OnBeforeOpen)
    OnBeforeOpen(*this);
  if (const int error = m_backend->open(m_backend->devicePath(m_port)))
    fail(CError_OpenFailed, error);
  m_connected = true;
  ++m_generation;
  try {
    applyBuffer();
    applyLine();
    applyTimeouts();
  } catch (const EComPort&) {
    m_backend->close();
    m_connected = false;
    throw;
  }
  if (!m_events.empty())
    startThread();
  if (OnAfterOpen)
    OnAfterOpen(*this);
  notifyModemLines(false);
}

void TCustomComPort::Close()
{
  if (!m_connected)
    return;
  notifyModemLines(true);
  if (OnBeforeClose)
    OnBeforeClose(*this);
  // Bytes already written still go out: the queues are emptied when the event
  // thread ends, and the last digits of a command must not be lost to that.
  m_backend->drainOutput(m_timeouts.WriteTotalConstant);
  const int purgeError = m_backend->purge(PurgeTxAbort | PurgeRxAbort);
  stopThread();
  m_backend->close();
  m_connected = false;
  if (OnAfterClose)
    OnAfterClose(*this);
  // Reported only now: a port that cannot be purged is still closed.
  if (purgeError != 0)
    fail(CError_PurgeFailed, purgeError);
}

void TCustomComPort::startThread()
{
  const std::uint64_t generation = m_generation;
  TComThread::Delivery delivery;
  delivery.method = m_syncMethod;
  delivery.requestServe = [this, generation](std::uint64_t seq) {
    QMetaObject::invokeMethod(
        this, [this, generation, seq] { serveHandOver(generation, seq); }, Qt::QueuedConnection);
  };
  delivery.post = [this, generation](TComEvents events) {
    QMetaObject::invokeMethod(
        this, [this, generation, events] { dispatchPosted(generation, events); },
        Qt::QueuedConnection);
  };
  delivery.dispatchHere = [this](TComEvents events) { dispatchCaught(events); };
  m_thread = std::make_unique<TComThread>(*m_backend, m_events, std::move(delivery));
  m_handOver = m_thread->handOver();
}

void TCustomComPort::stopThread()
{
  if (!m_thread)
    return;
  m_thread->stop();
  m_thread.reset();
  m_handOver.reset();
}

bool TCustomComPort::handOverWaiting() const
{
  return m_handOver && m_handOver->waiting();
}

bool TCustomComPort::stillOpen(std::uint64_t generation) const
{
  return m_connected && m_generation == generation;
}

void TCustomComPort::serveHandOver(std::uint64_t generation, std::uint64_t seq)
{
  if (!stillOpen(generation) || !m_handOver)
    return;
  if (m_holds > 0) {
    m_heldGeneration = generation;
    m_heldSeq = seq;
    return;
  }
  // Kept here: a handler may close the port, which drops the port's own copy.
  const std::shared_ptr<ComHandOver> handOver = m_handOver;
  const std::optional<TComEvents> events = handOver->pending(seq);
  if (!events)
    return;
  struct Release {
    ComHandOver& h;
    std::uint64_t s;
    ~Release() { h.served(s); }
  } release{*handOver, seq};
  dispatchCaught(*events);
}

void TCustomComPort::dispatchPosted(std::uint64_t generation, TComEvents events)
{
  if (stillOpen(generation))
    dispatchCaught(events);
}

void TCustomComPort::dispatchCaught(TComEvents events)
{
  QString message;
  try {
    DispatchEvents(events);
    return;
  } catch (const EComPort& e) {
    message = e.message();
  } catch (const std::exception& e) {
    message = QString::fromLocal8Bit(e.what());
  } catch (...) {
    message = QStringLiteral("Unknown error in a serial port handler");
  }
  if (OnDispatchError)
    OnDispatchError(*this, message);
  else
    qWarning("%s", qPrintable(message));
}

void TCustomComPort::DispatchEvents(TComEvents events)
{
  const std::uint64_t generation = m_generation;
  // Each handler may close the port; what follows it then stays silent.
  auto open = [&] { return stillOpen(generation); };
  auto notify = [&](TComEvent e, const TNotifyEvent& handler) {
    if (events.has(e) && handler && open())
      handler(*this);
  };
  auto signal = [&](TComEvent e, const TComSignalEvent& handler, bool ComModemLines::*line) {
    if (!events.has(e) || !handler || !open())
      return;
    ComModemLines lines;
    if (const int error = m_backend->modemLines(&lines))
      fail(CError_ModemStatFailed, error);
    handler(*this, lines.*line);
  };

  if (events.has(evError) && OnError && open()) {
    TComErrors errors;
    if (const int error = m_backend->takeLineErrors(&errors))
      fail(CError_ClearComFailed, error);
    if (!m_parity.Check)
      errors.remove(ceRxParity);
    if (!errors.empty())
      OnError(*this, errors);
  }
  if (events.has(evRxChar) && (OnRxChar || OnRxBuf) && open()) {
    const int count = QueuedInputCount();
    if (count > 0 && OnRxChar)
      OnRxChar(*this, count);
    if (count > 0 && OnRxBuf && open()) {
      QByteArray data;
      if (ReadString(data, count) > 0)
        OnRxBuf(*this, data);
    }
  }
  notify(evTxEmpty, OnTxEmpty);
  notify(evBreak, OnBreak);
  notify(evRing, OnRing);
  signal(evCTS, OnCTSChange, &ComModemLines::CTS);
  signal(evDSR, OnDSRChange, &ComModemLines::DSR);
  notify(evRxFlag, OnRxFlag);
  signal(evRLSD, OnRLSDChange, &ComModemLines::RLSD);
  notify(evRx80Full, OnRx80Full);
}

void TCustomComPort::notifyModemLines(bool closing)
{
  if (!OnCTSChange && !OnDSRChange && !OnRLSDChange)
    return;
  ComModemLines lines;
  if (!closing) {
    if (const int error = m_backend->modemLines(&lines))
      fail(CError_ModemStatFailed, error);
  }
  if (OnCTSChange)
    OnCTSChange(*this, lines.CTS);
  if (OnDSRChange)
    OnDSRChange(*this, lines.DSR);
  if (OnRLSDChange)
    OnRLSDChange(*this, lines.RLSD);
}

long long TCustomComPort::WriteString(const QByteArray& text)
{
  if (text.isEmpty())
    return 0;
  if (!m_connected)
    fail(CError_WriteFailed, EBADF);
  long long written = 0;
  if (const int error = m_backend->write(text.constData(), text.size(), &written))
    fail(CError_WriteFailed, error);
  return written;
}

int TCustomComPort::ReadString(QByteArray& text, int count)
{
  text.clear();
  if (count <= 0)
    return 0;
  text.resize(count);
  int got = 0;
  if (const int error = m_connected ? m_backend->read(text.data(), count, &got) : EBADF) {
    ++m_failedReads;
    m_lastReadError = error;
    got = 0;
  }
  text.resize(got);
  return got;
}

int TCustomComPort::QueuedInputCount()
{
  int count = 0;
  if (const int error = m_connected ? m_backend->queuedInput(&count) : EBADF)
    fail(CError_ClearComFailed, error);
  return count;
}

ComLineSettings TCustomComPort::lineSettings() const
{
  ComLineSettings line;
  line.BaudRate = BaudRateValue(m_baudRate, m_customBaudRate);
  line.DataBits = m_dataBits;
  line.StopBits = m_stopBits;
  line.Parity = m_parity;
  line.Flow = m_flow;
  line.DiscardNull = m_discardNull;
  line.EventChar = m_eventChar;
  return line;
}

void TCustomComPort::applyBuffer()
{
  if (!m_connected)
    return;
  if (const int error = m_backend->setBuffers(m_buffer.InputSize, m_buffer.OutputSize))
    fail(CError_SetupComFailed, error);
}

void TCustomComPort::applyLine()
{
  if (!m_connected)
    return;
  if (const int error = m_backend->setLine(lineSettings()))
    fail(CError_SetStateFailed, error);
}

void TCustomComPort::applyTimeouts()
{
  if (!m_connected)
    return;
  if (const int error = m_backend->setTimeouts(m_timeouts))
    fail(CError_TimeoutsFailed, error);
}

void TCustomComPort::setPort(const QString& name)
{
  if (name == m_port)
    return;
  if (!m_connected) {
    m_port = name;
    return;
  }
  Close();
  m_port = name;
  Open();
}

void TCustomComPort::setBaudRate(TBaudRate rate)
{
  m_baudRate = rate;
  applyLine();
}

void TCustomComPort::setCustomBaudRate(int rate)
{
  m_customBaudRate = rate;
  if (m_baudRate == brCustom)
    applyLine();
}

void TCustomComPort::setDataBits(TDataBits bits)
{
  m_dataBits = bits;
  applyLine();
}

void TCustomComPort::setStopBits(TStopBits bits)
{
  m_stopBits = bits;
  applyLine();
}

void TCustomComPort::setParity(const TComParity& parity)
{
  m_parity = parity;
  applyLine();
}

void TCustomComPort::setFlowControl(const TComFlowControl& flow)
{
  m_flow = flow;
  applyLine();
}

void TCustomComPort::setTimeouts(const TComTimeouts& timeouts)
{
  m_timeouts = timeouts;
  applyTimeouts();
}

void TCustomComPort::setBuffer(const TComBuffer& buffer)
{
  m_buffer = {EvenBufferSize(buffer.InputSize), EvenBufferSize(buffer.OutputSize)};
  applyBuffer();
}

void TCustomComPort::setEvents(TComEvents events)
{
  m_events = events;
  if (!m_connected)
    return;
  if (m_thread)
    m_backend->setEventMask(events);
  else if (!events.empty())
    startThread();
}

void TCustomComPort::setSyncMethod(TSyncMethod method)
{
  if (m_connected)
    fail(CError_ConnChangeProp, -1);
  m_syncMethod = method;
}

void TCustomComPort::setDiscardNull(bool discard)
{
  m_discardNull = discard;
  applyLine();
}

void TCustomComPort::setEventChar(char c)
{
  m_eventChar = c;
  applyLine();
}

void TCustomComPort::setBackend(std::unique_ptr<ComPortBackend> backend)
{
  if (m_connected)
    fail(CError_ConnChangeProp, -1);
  m_backend = std::move(backend);
}

void TCustomComPort::releaseHold()
{
  if (--m_holds > 0 || m_heldSeq == 0)
    return;
  const std::uint64_t generation = std::exchange(m_heldGeneration, 0);
  const std::uint64_t seq = std::exchange(m_heldSeq, 0);
  QMetaObject::invokeMethod(
      this, [this, generation, seq] { serveHandOver(generation, seq); }, Qt::QueuedConnection);
}

TComEventHold::TComEventHold(TCustomComPort& port) : m_port(port)
{
  ++m_port.m_holds;
}

TComEventHold::~TComEventHold()
{
  m_port.releaseHold();
}
