#pragma once
// The simulator's line: a pseudo-terminal whose terminal side a serial port
// opens like an adapter, an optional symlink to it, and the loop that passes
// bytes between it and the instrument until SIGINT or SIGTERM.

#include "serial_pty.h"
#include "sim_instrument.h"

#include <QString>
#include <QTextStream>

#include <chrono>

struct SimLineOptions {
  // Deliver answers at 115 200 baud, 8N1, in the 62-byte packets of a USB
  // adapter (a short last packet after the adapter's 16 ms latency timer).
  bool pace = false;
  // Answer whatever speed and framing the port is set to.
  bool anyLine = false;
  bool quiet = false;
};

inline constexpr int LineBaudRate = 115200;
inline constexpr int AdapterPacketBytes = 62;
inline constexpr int AdapterLatencyMs = 16;

// When the last byte of `bytes` bytes has arrived at the computer, counted from
// the first, at the line rate and in adapter packets.
std::chrono::microseconds pacedArrival(long long bytes);

class SimTerminal {
 public:
  SimTerminal() = default;
  ~SimTerminal();
  SimTerminal(const SimTerminal&) = delete;
  SimTerminal& operator=(const SimTerminal&) = delete;

  bool open(QString* error);
  QString path() const { return m_pty.terminalPath(); }

  // A symlink at `link` to the terminal side; an existing symlink there is
  // replaced, anything else is left alone and refused.
  bool makeLink(const QString& link, QString* error);
  // Removes the link if it still points at this terminal.
  void removeLink();

  // Serves the instrument until a stop signal (0) or a dropped link (3).
  int run(SimInstrument& instrument, const SimLineOptions& options, QTextStream& log);

 private:
  bool lineUnderstood(const SimLineOptions& options, QTextStream& log);
  // False when a stop was asked for; *lost counts the bytes nobody took in time.
  bool send(const QByteArray& bytes, bool pace, long long* lost);
  bool waitOrStop(int fd, short events, int timeoutMs);

  PseudoTerminal m_pty;
  QString m_link;
  QString m_lastLineComplaint;
};

// SIGINT and SIGTERM end run(); installed once per process.
bool installStopSignals(QString* error);
