#pragma once
// The system clock and pauses behind one seam: tests fix the time and never wait.

#include <QDateTime>

class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime now() const = 0;
  // Waits ms milliseconds. The real clock keeps the window painting meanwhile.
  virtual void sleep(int ms) = 0;
};

class SystemClock : public Clock {
 public:
  QDateTime now() const override;
  void sleep(int ms) override;
};

// A clock for tests: time stands still unless a pause moves it on.
class FixedClock : public Clock {
 public:
  explicit FixedClock(QDateTime t) : m_now(std::move(t)) {}
  QDateTime now() const override { return m_now; }
  void sleep(int ms) override
  {
    m_slept += ms;
    m_now = m_now.addMSecs(ms);
  }
  void set(const QDateTime& t) { m_now = t; }
  long long slept() const { return m_slept; }

 private:
  QDateTime m_now;
  long long m_slept = 0;
};
