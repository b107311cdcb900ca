#pragma once
// A pseudo-terminal seen from its controlling side: the simulated instrument
// sits here, and a serial port opens the terminal side (/dev/pts/N) as it
// would open a USB-to-serial adapter.

#include <QByteArray>
#include <QString>

#include <functional>

// The line settings the terminal side has been given, as the other end of a
// real cable would experience them.
struct SerialLineState {
  int BaudRate = 0;
  int DataBits = 8;
  char Parity = 'N';  // N, O, E, M (mark), S (space)
  int StopBits = 1;
  bool Raw = false;  // no line editing, echo, signals or translation
  bool HardwareFlow = false;
  bool XonXoffOut = false;
  bool XonXoffIn = false;

  bool is8N1() const { return DataBits == 8 && Parity == 'N' && StopBits == 1; }
  QString describe() const;  // "115200 8N1"
};

class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Creates the pair. The controlling side is non-blocking.
  bool open(QString* error);
  void close();
  bool isOpen() const { return m_master >= 0; }

  // The path a serial port opens.
  const QString& terminalPath() const { return m_path; }
  int controlFd() const { return m_master; }

  // Keeps the terminal side open here too, in raw mode: the pair then lives on
  // while clients come and go, and what they leave unread is not echoed back.
  bool holdTerminalSide(QString* error);

  // Bytes the client has written, without waiting.
  QByteArray readAvailable();
  // Waits up to timeoutMs for at least `count` bytes (or until `until` is seen).
  QByteArray readFor(int count, int timeoutMs);
  QByteArray readUntil(const QByteArray& until, int timeoutMs);
  // Writes without waiting; how many bytes the terminal took.
  long long writeSome(const QByteArray& data);
  // Writes all bytes, waiting up to timeoutMs for room.
  bool writeAll(const QByteArray& data, int timeoutMs);

  SerialLineState line() const;

 private:
  // Reads what arrives until `done` holds for it or timeoutMs have passed.
  QByteArray readWhileNot(const std::function<bool(const QByteArray&)>& done, int timeoutMs);

  int m_master = -1;
  int m_held = -1;
  QString m_path;
};
