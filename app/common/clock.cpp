#include "common/clock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>

QDateTime SystemClock::now() const
{
  return QDateTime::currentDateTime();
}

void SystemClock::sleep(int ms)
{
  QDeadlineTimer deadline(ms);
  while (!deadline.hasExpired()) {
    if (QCoreApplication::instance())
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    const qint64 left = deadline.remainingTime();
    if (left > 0)
      QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, 5)));
  }
}
