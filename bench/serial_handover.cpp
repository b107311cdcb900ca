// What the serial port's hand-over costs, and how fast the simulator answers.
//
//   1. latency: one byte written to a pseudo-terminal until the receive handler
//      has read it on the owner's thread, one byte at a time;
//   2. throughput: a stream written as fast as the terminal takes it, read by
//      the receive handler; events, bytes per event, against the line rate;
//   3. the simulator (rz37m-sim beside this program): one download without and
//      with --pace, against the time the answer takes at 115 200 baud.

#include "device/com_port.h"
#include "serial_pty.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

constexpr double LineBytesPerSecond = 115200.0 / 10.0;

void openOn(TComPort& port, const QString& path)
{
  port.setPort(path);
  port.setBaudRate(br115200);
  port.Open();
}

void latency(int rounds)
{
  PseudoTerminal pty;
  QString error;
  if (!pty.open(&error))
    qFatal("%s", qPrintable(error));
  TComPort port;
  std::mutex lock;
  std::condition_variable seen;
  long long received = 0;
  QEventLoop loop;
  port.OnRxChar = [&](TCustomComPort& sender, int count) {
    QByteArray text;
    sender.ReadString(text, count);
    {
      std::lock_guard guard(lock);
      received += text.size();
    }
    seen.notify_one();
    if (received >= rounds)
      loop.quit();
  };
  openOn(port, pty.terminalPath());
  QElapsedTimer clock;
  clock.start();
  std::thread writer([&] {
    for (int i = 0; i < rounds; ++i) {
      pty.writeAll("x", 1000);
      std::unique_lock guard(lock);
      seen.wait(guard, [&] { return received > i; });
    }
  });
  loop.exec();
  writer.join();
  const double us = static_cast<double>(clock.nsecsElapsed()) / 1000.0 / rounds;
  std::printf(
      "latency: %d single bytes, %.1f us from write to handler each "
      "(a byte takes %.1f us on the wire)\n",
      rounds, us, 1e6 / LineBytesPerSecond);
}

void throughput(long long total)
{
  PseudoTerminal pty;
  QString error;
  if (!pty.open(&error))
    qFatal("%s", qPrintable(error));
  TComPort port;
  long long received = 0;
  long long events = 0;
  QEventLoop loop;
  port.OnRxChar = [&](TCustomComPort& sender, int count) {
    QByteArray text;
    received += sender.ReadString(text, count);
    ++events;
    if (received >= total)
      loop.quit();
  };
  openOn(port, pty.terminalPath());
  QElapsedTimer clock;
  clock.start();
  std::thread writer([&] {
    const QByteArray chunk(4096, 'y');
    for (long long sent = 0; sent < total; sent += chunk.size())
      pty.writeAll(
          chunk.left(static_cast<qsizetype>(std::min<long long>(chunk.size(), total - sent))),
          10000);
  });
  loop.exec();
  writer.join();
  const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  std::printf(
      "throughput: %lld bytes in %.3f s = %.2f MB/s, %lld receive events, %.0f bytes each; "
      "%.0f times the line rate\n",
      received, seconds, received / seconds / 1e6, events, static_cast<double>(received) / events,
      received / seconds / LineBytesPerSecond);
}

void download(const QString& sim, bool pace)
{
  QProcess process;
  process.start(sim, pace ? QStringList{QStringLiteral("--pace"), QStringLiteral("--quiet")}
                          : QStringList{QStringLiteral("--quiet")});
  if (!process.waitForStarted(5000) || !process.waitForReadyRead(5000)) {
    std::printf("simulator: could not start %s\n", qPrintable(sim));
    return;
  }
  const QString path = QString::fromLocal8Bit(process.readLine()).trimmed();
  TComPort port;
  QByteArray answer;
  long long events = 0;
  QEventLoop loop;
  port.OnRxChar = [&](TCustomComPort& sender, int count) {
    QByteArray text;
    sender.ReadString(text, count);
    answer += text;
    ++events;
    if (answer.endsWith("Command:"))
      loop.quit();
  };
  openOn(port, path);
  QTimer::singleShot(20000, &loop, &QEventLoop::quit);
  QElapsedTimer clock;
  clock.start();
  port.WriteString("5");
  port.WriteString("PIPE_6X12.DAT");
  port.WriteString("\r");
  loop.exec();
  const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  const double wire = answer.size() / LineBytesPerSecond * 1000.0;
  std::printf(
      "simulator %s: %lld bytes in %.1f ms, %lld receive events; at 115 200 baud %.1f ms "
      "(ratio %.2f)\n",
      pace ? "paced  " : "unpaced", static_cast<long long>(answer.size()), ms, events, wire,
      ms / wire);
  port.Close();
  process.terminate();
  process.waitForFinished(5000);
}

}  // namespace

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  latency(2000);
  throughput(8LL << 20);
  const QString sim = QCoreApplication::applicationDirPath() + QStringLiteral("/rz37m-sim");
  if (!QFileInfo::exists(sim)) {
    std::printf("simulator: %s not built, skipped\n", qPrintable(sim));
    return 0;
  }
  download(sim, false);
  download(sim, true);
  return 0;
}
