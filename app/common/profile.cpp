#include "common/profile.h"

#include <QFile>
#include <QSaveFile>

#include <limits>

namespace {

const QByteArray Utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray CrLf = QByteArrayLiteral("\r\n");

bool sameName(const QString& a, const QString& b)
{
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

std::optional<int> ReadProfileInteger(const QString& text)
{
  const QString t = text.trimmed();
  int i = 0;
  if (t.startsWith(u'+') || t.startsWith(u'-'))
    i = 1;
  if (i >= t.size() || t.size() > 40)
    return std::nullopt;
  for (int k = i; k < t.size(); ++k)
    if (t[k] < u'0' || t[k] > u'9')
      return std::nullopt;
  bool ok = false;
  const long long v = t.toLongLong(&ok, 10);
  if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(v);
}

Profile Profile::read(const QString& path, QString* reason)
{
  QFile file(path);
  if (reason)
    reason->clear();
  if (!file.exists())
    return {};
  if (!file.open(QIODevice::ReadOnly)) {
    if (reason)
      *reason = file.errorString();
    return {};
  }
  return parse(file.readAll());
}

Profile Profile::parse(const QByteArray& bytes)
{
  Profile p;
  QByteArray body = bytes.startsWith(Utf8Bom) ? bytes.mid(Utf8Bom.size()) : bytes;
  const QString text = QString::fromUtf8(body);
  const QStringList lines = text.split(u'\n');
  for (int n = 0; n < lines.size(); ++n) {
    QString line = lines[n];
    if (line.endsWith(u'\r'))
      line.chop(1);
    // The split leaves an empty piece after the last line end.
    if (n == lines.size() - 1 && line.isEmpty())
      break;
    const QString t = line.trimmed();
    if (t.startsWith(u'[') && t.endsWith(u']')) {
      p.m_sections.append({t.mid(1, t.size() - 2).trimmed(), {}});
      continue;
    }
    QVector<Line>& target = p.m_sections.isEmpty() ? p.m_preamble : p.m_sections.last().lines;
    const int eq = t.indexOf(u'=');
    const QString key = eq > 0 ? t.left(eq).trimmed() : QString();
    if (key.isEmpty() || key.startsWith(u';'))
      target.append({QString(), line});
    else
      target.append({key, t.mid(eq + 1).trimmed()});
  }
  return p;
}

std::optional<QString> Profile::value(const QString& section, const QString& key) const
{
  for (const Section& s : m_sections) {
    if (!sameName(s.name, section))
      continue;
    for (const Line& l : s.lines)
      if (!l.key.isEmpty() && sameName(l.key, key))
        return l.value;
  }
  return std::nullopt;
}

int Profile::readInteger(const QString& section, const QString& key, int fallback) const
{
  const auto text = value(section, key);
  if (!text)
    return fallback;
  return ReadProfileInteger(*text).value_or(fallback);
}

Profile::Section* Profile::findSection(const QString& name)
{
  for (Section& s : m_sections)
    if (sameName(s.name, name))
      return &s;
  return nullptr;
}

void Profile::setValue(const QString& section, const QString& key, const QString& value)
{
  for (Section& s : m_sections) {
    if (!sameName(s.name, section))
      continue;
    for (Line& l : s.lines) {
      if (!l.key.isEmpty() && sameName(l.key, key)) {
        l.value = value;
        return;
      }
    }
  }
  Section* s = findSection(section);
  if (!s) {
    m_sections.append({section, {}});
    s = &m_sections.last();
  }
  // A new key goes after the section's last key, before blank lines that part
  // it from the next section.
  qsizetype at = s->lines.size();
  while (at > 0 && s->lines[at - 1].key.isEmpty() && s->lines[at - 1].value.trimmed().isEmpty())
    --at;
  s->lines.insert(at, {key, value});
}

QStringList Profile::sections() const
{
  QStringList names;
  for (const Section& s : m_sections)
    names << s.name;
  return names;
}

QStringList Profile::keys(const QString& section) const
{
  QStringList names;
  for (const Section& s : m_sections)
    if (sameName(s.name, section))
      for (const Line& l : s.lines)
        if (!l.key.isEmpty())
          names << l.key;
  return names;
}

QByteArray Profile::text() const
{
  QString out;
  auto put = [&out](const QVector<Line>& lines) {
    for (const Line& l : lines)
      out += (l.key.isEmpty() ? l.value : l.key + u'=' + l.value) + QStringLiteral("\r\n");
  };
  put(m_preamble);
  for (const Section& s : m_sections) {
    out += u'[' + s.name + QStringLiteral("]\r\n");
    put(s.lines);
  }
  return out.toUtf8();
}

bool Profile::save(const QString& path, QString* reason) const
{
  const QByteArray bytes = text();
  QSaveFile file(path);
  bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  qint64 done = 0;
  // A short write is reported as a smaller success: write the rest again until
  // it goes through or fails with the system's reason.
  while (ok && done < bytes.size()) {
    const qint64 w = file.write(bytes.constData() + done, bytes.size() - done);
    ok = w > 0;
    done += ok ? w : 0;
  }
  ok = ok && file.size() == bytes.size();
  if (!ok) {
    if (reason)
      *reason = file.error() != QFileDevice::NoError ? file.errorString()
                                                      : QStringLiteral("the data could not be written");
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    if (reason)
      *reason = file.errorString();
    return false;
  }
  return true;
}
