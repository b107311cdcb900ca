#pragma once
// The serial port over a Linux terminal device (a USB-to-serial adapter's
// /dev/ttyUSB0, or a pseudo-terminal).
//
// - Exclusive: TIOCEXCL keeps out other users, and an advisory lock on the open
//   device also keeps out root, whom TIOCEXCL does not stop; a second opener
//   gets EBUSY.
// - Any speed through termios2 with BOTHER, pseudo-terminals included.
// - A pseudo-terminal has no modem lines (ENOTTY): it is treated as a port
//   whose lines are all off, not as a failure.
// - Received bytes are moved into an input queue of the buffer's input size by
//   the event thread, so "a byte has arrived" is reported once per arrival, as
//   a line driver does, and not again while old bytes wait to be read. Reads
//   take from that queue first and then from the terminal, in arrival order.
// - The wait is one poll() on the device, a stop descriptor and a wake
//   descriptor (space freed in the queue, a finished write, a new event mask).
// - Modem-line changes (CTS, DSR, RLSD, ring) are not signalled: the terminal
//   offers no descriptor to wait on for them. Their states are still read.

#include "device/com_port_backend.h"

#include <QByteArray>

#include <atomic>
#include <mutex>

class LinuxComPortBackend : public ComPortBackend {
 public:
  LinuxComPortBackend() = default;
  ~LinuxComPortBackend() override;
  LinuxComPortBackend(const LinuxComPortBackend&) = delete;
  LinuxComPortBackend& operator=(const LinuxComPortBackend&) = delete;

  // A name without a leading "/" is a name under /dev ("ttyUSB0").
  QString devicePath(const QString& portName) const override;

  int open(const QString& devicePath) override;
  void close() override;
  bool isOpen() const override { return m_fd >= 0; }

  int setBuffers(int inputSize, int outputSize) override;
  int setLine(const ComLineSettings& line) override;
  int setTimeouts(const TComTimeouts& timeouts) override;

  int write(const char* data, long long size, long long* written) override;
  int read(char* data, int max, int* got) override;
  int queuedInput(int* count) override;
  int takeLineErrors(TComErrors* errors) override;
  int modemLines(ComModemLines* lines) override;
  int purge(unsigned what) override;
  int drainOutput(int maxMs) override;

  int setEventMask(TComEvents events) override;
  ComWaitResult waitEvents(TComEvents* events, int* error) override;
  void stopWait() override;

 private:
  struct Fill {
    int added = 0;
    bool eventChar = false;
    bool hungUp = false;
  };
  Fill fillQueueLocked();
  void noteLineErrorsLocked();
  TComEvents collectEvents(short portEvents);
  void wake();
  int applyModemLines(const TComFlowControl& flow);

  int m_fd = -1;
  int m_stopFd = -1;
  int m_wakeFd = -1;

  std::mutex m_rxLock;  // the queue, the reads of the terminal, the line errors
  QByteArray m_queue;
  int m_capacity = 1024;
  bool m_discardNull = false;
  char m_eventChar = 0;
  TComErrors m_lineErrors;
  bool m_countersKnown = false;
  int m_counters[5] = {};  // frame, parity, overrun, break, buffer overrun

  TComTimeouts m_timeouts;
  std::atomic<std::uint32_t> m_mask{0};
  std::atomic<bool> m_txEmpty{false};
  bool m_hungUp = false;  // event thread only
};
