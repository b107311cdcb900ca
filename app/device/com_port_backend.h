#pragma once
// The platform half of the serial port: what the component needs of the line
// driver, in the driver's terms. The component is written against this so a
// backend for another platform, or a scripted one for tests, can stand in.
//
// Every call that can fail returns 0 or the system's error number (errno); the
// component turns that into its EComPort codes.

#include "device/com_port_types.h"

#include <QString>

#include <memory>

struct ComLineSettings {
  int BaudRate = 9600;
  TDataBits DataBits = dbEight;
  TStopBits StopBits = sbOneStopBit;
  TComParity Parity;
  TComFlowControl Flow;
  bool DiscardNull = false;
  char EventChar = 0;
  bool operator==(const ComLineSettings&) const = default;
};

enum ComPurge : unsigned {
  PurgeTxAbort = 1,  // transfers still running
  PurgeRxAbort = 2,
  PurgeTxClear = 4,  // bytes still queued
  PurgeRxClear = 8,
};

enum class ComWaitResult {
  Events,   // *events holds what happened (never empty)
  Stopped,  // stopWait() was called
  Failed,   // the wait itself failed (the device went away); *error says why
};

class ComPortBackend {
 public:
  virtual ~ComPortBackend() = default;

  // The device the port name stands for.
  virtual QString devicePath(const QString& portName) const = 0;

  // Opens the device for this process alone, empties its queues.
  virtual int open(const QString& devicePath) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;

  virtual int setBuffers(int inputSize, int outputSize) = 0;
  virtual int setLine(const ComLineSettings& line) = 0;
  virtual int setTimeouts(const TComTimeouts& timeouts) = 0;

  // Hands all bytes to the driver; after the time-outs' write limit it stops
  // and reports what went (*written < size, no error).
  virtual int write(const char* data, long long size, long long* written) = 0;
  // Takes at most max bytes that have already arrived; never waits.
  virtual int read(char* data, int max, int* got) = 0;
  // Bytes received and not read yet.
  virtual int queuedInput(int* count) = 0;
  // Line errors since the last call (the set is emptied).
  virtual int takeLineErrors(TComErrors* errors) = 0;
  // A port without modem lines (a pseudo-terminal) reports them all off.
  virtual int modemLines(ComModemLines* lines) = 0;
  virtual int purge(unsigned what) = 0;
  // Waits at most maxMs for the bytes already written to leave the computer.
  virtual int drainOutput(int maxMs) = 0;

  // The event thread's side. setEventMask may be called from any thread and
  // makes a wait in progress look at the new set.
  virtual int setEventMask(TComEvents events) = 0;
  // Blocks until an event of the mask, a failure or stopWait().
  virtual ComWaitResult waitEvents(TComEvents* events, int* error) = 0;
  // Ends the wait in progress and every later one until the next open().
  virtual void stopWait() = 0;
};

// The backend of the platform the program runs on.
std::unique_ptr<ComPortBackend> createComPortBackend();
