#include "sim_instrument.h"

#include "sim_answers.h"

#include "device/instrument_protocol.h"

#include <QDate>
#include <QTime>

namespace {

constexpr int CommandTimeoutMs = 2000;
constexpr int LongestName = 64;

bool isDigit(char c)
{
  return c >= '0' && c <= '9';
}

int twoDigits(const QByteArray& digits, int at)
{
  return (digits[at] - '0') * 10 + (digits[at + 1] - '0');
}

QString shown(const QByteArray& bytes)
{
  QString s = QString::fromLatin1(bytes);
  s.replace(u'\r', QStringLiteral("\\r"));
  return s;
}

}  // namespace

SimInstrument::SimInstrument(SimSettings settings, SimFileSet files, const Clock& clock)
    : m_settings(std::move(settings)), m_files(std::move(files)), m_clock(clock)
{
}

QDateTime SimInstrument::instrumentTime() const
{
  return m_clock.now().addMSecs(m_offsetMs);
}

SimReply SimInstrument::receive(const QByteArray& bytes)
{
  SimReply reply;
  for (char c : bytes) {
    if (reply.dropLink)
      break;
    take(c, &reply);
  }
  return reply;
}

void SimInstrument::take(char c, SimReply* reply)
{
  const QDateTime now = m_clock.now();
  if (m_collecting != Collecting::Nothing && m_lastByte.msecsTo(now) > CommandTimeoutMs) {
    reply->log << QStringLiteral("command left unfinished, dropped");
    m_collecting = Collecting::Nothing;
  }
  m_lastByte = now;
  switch (m_collecting) {
    case Collecting::Nothing:
      startCommand(c, reply);
      return;
    case Collecting::Date:
    case Collecting::Time:
      if (!isDigit(c)) {
        reply->log << QStringLiteral("clock setting broken off by a byte that is not a digit");
        m_collecting = Collecting::Nothing;
        startCommand(c, reply);
        return;
      }
      m_argument += c;
      if (m_argument.size() == (m_collecting == Collecting::Date ? 7 : 6))
        finish(reply);
      return;
    case Collecting::ReadName:
    case Collecting::DeleteName:
      if (c == '\r') {
        finish(reply);
      } else if (m_argument.size() >= LongestName) {
        reply->log << QStringLiteral("file name too long, request dropped");
        m_collecting = Collecting::Nothing;
      } else {
        m_argument += c;
      }
      return;
  }
}

void SimInstrument::startCommand(char c, SimReply* reply)
{
  m_argument.clear();
  switch (c) {
    case instrument::IdentifyCommand:
      reply->log << QStringLiteral("7 identification");
      send(identificationAnswer(m_settings.model, m_settings.serial), false, reply);
      return;
    case instrument::ReadClockCommand:
      reply->log << QStringLiteral("1 clock");
      if (m_settings.faults.contains(SimFault::NoClock)) {
        reply->log << QStringLiteral("  (fault: no answer)");
        return;
      }
      send(clockAnswer(instrumentTime()), false, reply);
      return;
    case instrument::DirectoryCommand:
      reply->log << QStringLiteral("4 directory, %1 file(s)").arg(m_files.files().size());
      send(listingAnswer(m_files), true, reply);
      return;
    case instrument::SetDateCommand:
      m_collecting = Collecting::Date;
      return;
    case instrument::SetTimeCommand:
      m_collecting = Collecting::Time;
      return;
    case instrument::ContentCommand:
      m_collecting = Collecting::ReadName;
      return;
    case instrument::DeleteCommand:
      m_collecting = Collecting::DeleteName;
      return;
    default:
      if (c != '\r' && c != '\n')
        reply->log << QStringLiteral("byte %1 ignored").arg(static_cast<unsigned char>(c));
      return;
  }
}

void SimInstrument::finish(SimReply* reply)
{
  const Collecting what = m_collecting;
  m_collecting = Collecting::Nothing;
  switch (what) {
    case Collecting::Date:
      setDate(reply);
      return;
    case Collecting::Time:
      setTime(reply);
      return;
    case Collecting::ReadName:
      answerFile(false, reply);
      return;
    case Collecting::DeleteName:
      answerFile(true, reply);
      return;
    case Collecting::Nothing:
      return;
  }
}

void SimInstrument::setDate(SimReply* reply)
{
  const QDate date(2000 + twoDigits(m_argument, 4), twoDigits(m_argument, 2),
                   twoDigits(m_argument, 0));
  const int weekday = m_argument[6] - '0';
  reply->log
      << QStringLiteral("2 set date %1, weekday %2").arg(shown(m_argument.left(6))).arg(weekday);
  if (!date.isValid()) {
    reply->log << QStringLiteral("  not a date, clock left as it was");
    return;
  }
  if (date.dayOfWeek() % 7 != weekday)
    reply->log << QStringLiteral(
                      "  weekday %1 does not match the date (Sunday is 0), kept the date")
                      .arg(weekday);
  const QDateTime target(date, instrumentTime().time());
  m_offsetMs = m_clock.now().msecsTo(target);
}

void SimInstrument::setTime(SimReply* reply)
{
  const QTime time(twoDigits(m_argument, 0), twoDigits(m_argument, 2), twoDigits(m_argument, 4));
  reply->log << QStringLiteral("3 set time %1").arg(shown(m_argument));
  if (!time.isValid()) {
    reply->log << QStringLiteral("  not a time, clock left as it was");
    return;
  }
  const QDateTime target(instrumentTime().date(), time);
  m_offsetMs = m_clock.now().msecsTo(target);
}

void SimInstrument::answerFile(bool remove, SimReply* reply)
{
  const QString name = QString::fromLatin1(m_argument);
  const char command = remove ? instrument::DeleteCommand : instrument::ContentCommand;
  const SimFile* file = m_files.find(name);
  reply->log << QStringLiteral("%1 %2 \"%3\"%4")
                    .arg(QChar::fromLatin1(command),
                         remove ? QStringLiteral("delete") : QStringLiteral("read"), name,
                         file ? QString() : QStringLiteral(": no such file"));
  if (!file) {
    send(notFoundAnswer(command), true, reply);
  } else if (remove) {
    m_files.remove(name);
    send(deletedAnswer(), true, reply);
  } else {
    const QByteArray answer = contentAnswer(*file);
    if (m_settings.faults.contains(SimFault::Drop)) {
      reply->log << QStringLiteral("  (fault: link dropped halfway)");
      reply->bytes += answer.left(answer.size() / 2);
      reply->dropLink = true;
      return;
    }
    send(answer, true, reply);
  }
}

void SimInstrument::send(const QByteArray& answer, bool hasPrompt, SimReply* reply)
{
  if (m_settings.faults.contains(SimFault::Garbage)) {
    reply->log << QStringLiteral("  (fault: noise instead of the answer)");
    reply->bytes += garbage(static_cast<int>(std::min<qsizetype>(answer.size(), 300)));
    return;
  }
  if (hasPrompt && m_settings.faults.contains(SimFault::NoPrompt)) {
    reply->log << QStringLiteral("  (fault: no prompt)");
    reply->bytes += answer.left(answer.size() - Prompt.size());
    return;
  }
  reply->bytes += answer;
}

// Bytes of a line at the wrong speed: none of them is printable ASCII, so no
// keyword of any answer can appear among them.
QByteArray SimInstrument::garbage(int length)
{
  QByteArray out;
  out.reserve(length);
  for (int i = 0; i < length; ++i) {
    m_noise = m_noise * 1664525u + 1013904223u;
    out += static_cast<char>(0x80 | (m_noise >> 25));
  }
  return out;
}
