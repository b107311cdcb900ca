#include "export/report_settings.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

// A small section reader and writer of its own: the program's profile-file
// code can take its place without a change to the callers.

namespace {

const QString TitleKey = QStringLiteral("Title");
const QString ObjectKey = QStringLiteral("Object");
const QString OperatorKey = QStringLiteral("Operator");

QStringList readLines(const QString& path)
{
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return {};
  QString text = QString::fromUtf8(f.readAll());
  if (text.startsWith(QChar(0xFEFF)))
    text.remove(0, 1);
  QStringList lines = text.split(u'\n');
  for (QString& l : lines) {
    if (l.endsWith(u'\r'))
      l.chop(1);
  }
  if (!lines.isEmpty() && lines.last().isEmpty())
    lines.removeLast();
  return lines;
}

bool isSection(const QString& line, QString* name)
{
  const QString t = line.trimmed();
  if (!t.startsWith(u'[') || !t.endsWith(u']'))
    return false;
  *name = t.mid(1, t.size() - 2).trimmed();
  return true;
}

// Values in line breaks would break the file's lines.
QString oneLine(const QString& v)
{
  QString out = v;
  out.replace(u'\r', u' ').replace(u'\n', u' ');
  return out.trimmed();
}

}  // namespace

ReportPeople LoadReportPeople(const QString& iniPath)
{
  ReportPeople p;
  bool inside = false;
  for (const QString& line : readLines(iniPath)) {
    QString name;
    if (isSection(line, &name)) {
      inside = name.compare(ReportSection, Qt::CaseInsensitive) == 0;
      continue;
    }
    const qsizetype eq = line.indexOf(u'=');
    if (!inside || eq < 0)
      continue;
    const QString key = line.left(eq).trimmed();
    const QString value = line.mid(eq + 1).trimmed();
    if (key.compare(TitleKey, Qt::CaseInsensitive) == 0)
      p.title = value;
    else if (key.compare(ObjectKey, Qt::CaseInsensitive) == 0)
      p.object = value;
    else if (key.compare(OperatorKey, Qt::CaseInsensitive) == 0)
      p.operatorName = value;
  }
  return p;
}

bool StoreReportPeople(const QString& iniPath, const ReportPeople& people, QString* reason)
{
  QStringList out;
  bool inside = false;
  for (const QString& line : readLines(iniPath)) {
    QString name;
    if (isSection(line, &name))
      inside = name.compare(ReportSection, Qt::CaseInsensitive) == 0;
    if (!inside)
      out << line;  // the old section is dropped and written anew below
  }
  out << u'[' + ReportSection + u']' << TitleKey + u'=' + oneLine(people.title)
      << ObjectKey + u'=' + oneLine(people.object)
      << OperatorKey + u'=' + oneLine(people.operatorName);
  QSaveFile f(iniPath);
  if (!f.open(QIODevice::WriteOnly) ||
      f.write((out.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8()) < 0 ||
      !f.commit()) {
    if (reason)
      *reason = f.errorString();
    return false;
  }
  return true;
}
