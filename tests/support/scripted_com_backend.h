#pragma once
// A serial backend for tests that need what only a real line does: the real
// backend underneath (so a pseudo-terminal still carries the bytes), with
// faults scripted on top - ports refused with a system error, writes that
// fail once a number of bytes has gone - and every line setting recorded as
// the component handed it down.

#include "device/com_port_backend.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <climits>
#include <memory>

class ScriptedComBackend : public ComPortBackend {
 public:
  // Opening `path` fails with the system error `error` (EACCES, EBUSY, ...).
  void refuse(const QString& path, int error) { m_refused.insert(path, error); }
  // Writes pass until `bytes` more bytes have gone, then fail with `error`;
  // the bytes before the limit are written.
  void failWritesAfter(long long bytes, int error)
  {
    m_writeBudget = bytes;
    m_writeError = error;
  }

  // Every setLine call, in order.
  QList<ComLineSettings> lines;
  // Bytes the real backend took.
  long long written = 0;

  QString devicePath(const QString& name) const override { return m_real->devicePath(name); }
  int open(const QString& path) override
  {
    const auto refused = m_refused.constFind(path);
    return refused != m_refused.cend() ? refused.value() : m_real->open(path);
  }
  void close() override { m_real->close(); }
  bool isOpen() const override { return m_real->isOpen(); }
  int setBuffers(int in, int out) override { return m_real->setBuffers(in, out); }
  int setLine(const ComLineSettings& line) override
  {
    lines << line;
    return m_real->setLine(line);
  }
  int setTimeouts(const TComTimeouts& t) override { return m_real->setTimeouts(t); }
  int write(const char* data, long long size, long long* done) override
  {
    *done = 0;
    const long long allowed = std::min(size, m_writeBudget);
    if (allowed > 0) {
      const int error = m_real->write(data, allowed, done);
      written += *done;
      m_writeBudget -= *done;
      if (error != 0)
        return error;
    }
    return *done < size && m_writeBudget <= 0 ? m_writeError : 0;
  }
  int read(char* d, int max, int* got) override { return m_real->read(d, max, got); }
  int queuedInput(int* count) override { return m_real->queuedInput(count); }
  int takeLineErrors(TComErrors* e) override { return m_real->takeLineErrors(e); }
  int modemLines(ComModemLines* modem) override { return m_real->modemLines(modem); }
  int purge(unsigned what) override { return m_real->purge(what); }
  int drainOutput(int ms) override { return m_real->drainOutput(ms); }
  int setEventMask(TComEvents e) override { return m_real->setEventMask(e); }
  ComWaitResult waitEvents(TComEvents* e, int* error) override
  {
    return m_real->waitEvents(e, error);
  }
  void stopWait() override { m_real->stopWait(); }

 private:
  std::unique_ptr<ComPortBackend> m_real = createComPortBackend();
  QHash<QString, int> m_refused;
  long long m_writeBudget = LLONG_MAX;
  int m_writeError = 0;
};
