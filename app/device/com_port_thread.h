#pragma once
// The serial port's event thread and its hand-over to the thread that owns the
// port.
//
// The event thread only waits for line events. With smThreadSync it hands each
// event set over and blocks until the owner's thread has run the handlers for
// it, so received data is only ever handled on the owner's thread, one event
// set at a time. Stopping releases a hand-over that is waiting, whether or not
// the owner has begun to serve it, so the owner can stop the thread from
// anywhere, a handler included, without the two threads waiting for each other.

#include "device/com_port_backend.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// The meeting point of the event thread and the owner's thread. Shared, so a
// handler that closes the port (and so ends the thread) can still finish the
// hand-over it is running in.
class ComHandOver {
 public:
  // Event thread: offers an event set; 0 when stopping.
  std::uint64_t publish(TComEvents events);
  // Event thread: blocks until `seq` is served; false when stopped instead.
  bool awaitServed(std::uint64_t seq);
  // Owner: the events of hand-over `seq`, unless it is no longer waiting.
  std::optional<TComEvents> pending(std::uint64_t seq);
  // Owner: the handlers of `seq` have run; the event thread goes on.
  void served(std::uint64_t seq);
  // Any thread: no more hand-overs; a waiting one is released unserved.
  void stop();
  // Whether the event thread is waiting for a hand-over to be served.
  bool waiting();

 private:
  std::mutex m_lock;
  std::condition_variable m_changed;
  bool m_stopping = false;
  std::uint64_t m_last = 0;
  std::uint64_t m_waiting = 0;
  TComEvents m_events;
};

class TComThread {
 public:
  // How event sets leave the thread, by sync method.
  struct Delivery {
    TSyncMethod method = smThreadSync;
    // smThreadSync: ask the owner's thread to serve hand-over `seq` (non-blocking).
    std::function<void(std::uint64_t seq)> requestServe;
    // smWindowSync: queue the events for the owner's thread (non-blocking).
    std::function<void(TComEvents)> post;
    // smNone: run the handlers here, on the event thread.
    std::function<void(TComEvents)> dispatchHere;
  };

  // Sets the backend's event mask and starts waiting.
  TComThread(ComPortBackend& backend, TComEvents events, Delivery delivery);
  ~TComThread();
  TComThread(const TComThread&) = delete;
  TComThread& operator=(const TComThread&) = delete;

  const std::shared_ptr<ComHandOver>& handOver() const { return m_handOver; }

  // Ends the wait and any hand-over, then waits for the thread to end. The
  // thread clears the event mask and empties both queues before it ends.
  void stop();

 private:
  void run();
  bool deliver(TComEvents events);

  ComPortBackend& m_backend;
  Delivery m_delivery;
  std::shared_ptr<ComHandOver> m_handOver = std::make_shared<ComHandOver>();
  std::thread m_thread;
};
