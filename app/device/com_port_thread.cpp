#include "device/com_port_thread.h"

std::uint64_t ComHandOver::publish(TComEvents events)
{
  std::lock_guard lock(m_lock);
  if (m_stopping)
    return 0;
  m_events = events;
  m_waiting = ++m_last;
  return m_waiting;
}

bool ComHandOver::awaitServed(std::uint64_t seq)
{
  std::unique_lock lock(m_lock);
  m_changed.wait(lock, [&] { return m_stopping || m_waiting != seq; });
  return !m_stopping;
}

std::optional<TComEvents> ComHandOver::pending(std::uint64_t seq)
{
  std::lock_guard lock(m_lock);
  if (m_stopping || seq == 0 || m_waiting != seq)
    return std::nullopt;
  return m_events;
}

void ComHandOver::served(std::uint64_t seq)
{
  {
    std::lock_guard lock(m_lock);
    if (m_waiting != seq)
      return;
    m_waiting = 0;
  }
  m_changed.notify_all();
}

void ComHandOver::stop()
{
  {
    std::lock_guard lock(m_lock);
    m_stopping = true;
  }
  m_changed.notify_all();
}

bool ComHandOver::waiting()
{
  std::lock_guard lock(m_lock);
  return m_waiting != 0 && !m_stopping;
}

TComThread::TComThread(ComPortBackend& backend, TComEvents events, Delivery delivery)
    : m_backend(backend), m_delivery(std::move(delivery))
{
  m_backend.setEventMask(events);
  m_thread = std::thread([this] { run(); });
}

TComThread::~TComThread()
{
  stop();
}

void TComThread::stop()
{
  m_handOver->stop();
  m_backend.stopWait();
  if (m_thread.joinable())
    m_thread.join();
}

void TComThread::run()
{
  for (;;) {
    TComEvents events;
    int error = 0;
    const ComWaitResult result = m_backend.waitEvents(&events, &error);
    if (result == ComWaitResult::Stopped) {
      m_backend.setEventMask({});
      m_backend.purge(PurgeTxClear | PurgeRxClear);
      return;
    }
    // A failed wait (the device is gone) ends the thread; the port stays open
    // until its owner closes it.
    if (result == ComWaitResult::Failed || !deliver(events))
      return;
  }
}

bool TComThread::deliver(TComEvents events)
{
  switch (m_delivery.method) {
    case smThreadSync: {
      const std::uint64_t seq = m_handOver->publish(events);
      if (seq == 0)
        return true;  // stopping: the next wait reports it
      m_delivery.requestServe(seq);
      m_handOver->awaitServed(seq);
      return true;
    }
    case smWindowSync:
      m_delivery.post(events);
      return true;
    case smNone:
      m_delivery.dispatchHere(events);
      return true;
    case smDisableEvents:
      return true;
  }
  return true;
}
