#pragma once
// Benchmarks drive the window as a user would and wait for what it shows,
// handling events meanwhile, up to a limit.

#include <QApplication>
#include <QElapsedTimer>

#include <functional>

inline bool waitFor(QApplication& app, const std::function<bool()>& done, int ms)
{
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms)
    app.processEvents(QEventLoop::AllEvents, 5);
  return done();
}
