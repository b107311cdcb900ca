#pragma once
// How the install and removal steps report: the wizard's status line, progress
// bar and paced pauses, or nothing at all for scripts and tests.

#include <QString>
#include <QStringList>

class SetupProgress {
 public:
  virtual ~SetupProgress() = default;
  virtual void status(const QString& text) = 0;
  virtual void step(int count = 1) = 0;
  virtual void pause(int milliseconds) = 0;
};

class SilentProgress : public SetupProgress {
 public:
  void status(const QString&) override {}
  void step(int) override {}
  void pause(int) override {}
};

struct StepResult {
  bool ok = true;
  QString error;          // what failed, with the path and the system's reason
  QStringList remaining;  // removal: what could not be deleted
};
