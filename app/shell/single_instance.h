#pragma once
// The single-instance guard. On Windows this is the named mutex "MyOwnMutex";
// here it is an advisory lock on a file in the user's runtime folder, which the
// kernel drops when the process ends, so a crashed copy never blocks a new one.

#include <QString>

#include <memory>

class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // True when this process now holds the lock; false when another copy does.
  virtual bool acquire() = 0;
};

// The lock for this platform. `name` is the mutex name; `folder` overrides the
// runtime folder (tests).
std::unique_ptr<InstanceLock> makeInstanceLock(const QString& name, const QString& folder = {});

inline const QString InstanceMutexName = QStringLiteral("MyOwnMutex");
