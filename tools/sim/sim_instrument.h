#pragma once
// The instrument's side of the serial protocol, without the line: bytes in,
// answers out. Its clock runs beside the computer's, moved by "2" and "3".
//
// Commands are single digits. "2" takes the next 7 digits (day, month, year,
// weekday), "3" the next 6 (hour, minute, second), "5" and "6" a file name
// up to a carriage return. A command left unfinished for 2 seconds, or broken
// by a byte that cannot belong to it, is dropped; other bytes are ignored.

#include "common/clock.h"
#include "sim_files.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

enum class SimFault {
  NoClock,   // "1" gets no answer
  Drop,      // the link goes down halfway through a "5" answer
  NoPrompt,  // "4", "5" and "6" answers never send the prompt
  Garbage,   // line noise instead of every answer
};

struct SimSettings {
  QString model = QStringLiteral("RZ-37m");  // or "RZ-48"
  QString serial = QStringLiteral("00417");  // 5 digits
  QList<SimFault> faults;
};

// What goes back on the line for the bytes received.
struct SimReply {
  QByteArray bytes;
  bool dropLink = false;  // the link goes down after these bytes
  QStringList log;        // one line per command, for the operator
};

class SimInstrument {
 public:
  SimInstrument(SimSettings settings, SimFileSet files, const Clock& clock);

  SimReply receive(const QByteArray& bytes);

  QDateTime instrumentTime() const;
  const SimFileSet& files() const { return m_files; }

 private:
  enum class Collecting { Nothing, Date, Time, ReadName, DeleteName };

  void take(char c, SimReply* reply);
  void startCommand(char c, SimReply* reply);
  void finish(SimReply* reply);
  void setDate(SimReply* reply);
  void setTime(SimReply* reply);
  void answerFile(bool remove, SimReply* reply);
  void send(const QByteArray& answer, bool hasPrompt, SimReply* reply);
  QByteArray garbage(int length);

  SimSettings m_settings;
  SimFileSet m_files;
  const Clock& m_clock;
  long long m_offsetMs = 0;  // instrument clock minus computer clock
  Collecting m_collecting = Collecting::Nothing;
  QByteArray m_argument;
  QDateTime m_lastByte;
  unsigned m_noise = 0x9E3779B9u;
};
