#include "desktop_entry.h"

#include <QFileDevice>
#include <QSaveFile>

namespace {

// Characters that make the Desktop Entry rules require a quoted argument.
bool needsQuotes(const QString& arg)
{
  static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
  if (arg.isEmpty())
    return true;
  for (const QChar c : arg)
    if (reserved.contains(c))
      return true;
  return false;
}

QString quoteArg(const QString& arg)
{
  QString out;
  if (needsQuotes(arg)) {
    out = u'"';
    for (const QChar c : arg) {
      if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
        out += u'\\';
      out += c;
    }
    out += u'"';
  } else {
    out = arg;
  }
  return out.replace(u'%', QStringLiteral("%%"));
}

// Escapes of the "string" value type, applied after the Exec quoting.
QString escapeValue(QString value)
{
  value.replace(u'\\', QStringLiteral("\\\\"));
  value.replace(u'\n', QStringLiteral("\\n"));
  value.replace(u'\t', QStringLiteral("\\t"));
  value.replace(u'\r', QStringLiteral("\\r"));
  return value;
}

}  // namespace

QString execLine(const QStringList& argv)
{
  QStringList quoted;
  for (const QString& arg : argv)
    quoted << quoteArg(arg);
  return escapeValue(quoted.join(u' '));
}

QByteArray DesktopEntry::text() const
{
  QString t = QStringLiteral("[Desktop Entry]\nType=Application\nVersion=1.0\n");
  t += QStringLiteral("Name=") + escapeValue(name) + u'\n';
  if (!comment.isEmpty())
    t += QStringLiteral("Comment=") + escapeValue(comment) + u'\n';
  t += QStringLiteral("Exec=") + execLine(exec) + u'\n';
  if (!path.isEmpty())
    t += QStringLiteral("Path=") + escapeValue(path) + u'\n';
  if (!icon.isEmpty())
    t += QStringLiteral("Icon=") + escapeValue(icon) + u'\n';
  t += QStringLiteral("Terminal=false\nCategories=") + categories + u'\n';
  return t.toUtf8();
}

QByteArray menuGroupXml()
{
  // Menu readers take the file without a document type line.
  return "<Menu>\n"
         "  <Name>Applications</Name>\n"
         "  <Menu>\n"
         "    <Name>RZ-37m</Name>\n"
         "    <Directory>norvane-rz37m.directory</Directory>\n"
         "    <Include><Category>X-Norvane-RZ37m</Category></Include>\n"
         "    <Menu>\n"
         "      <Name>Uninstall</Name>\n"
         "      <Directory>norvane-rz37m-uninstall.directory</Directory>\n"
         "      <Include><Category>X-Norvane-RZ37m-Uninstall</Category></Include>\n"
         "    </Menu>\n"
         "  </Menu>\n"
         "</Menu>\n";
}

QByteArray directoryEntryText(const QString& name, const QString& icon)
{
  return (QStringLiteral("[Desktop Entry]\nType=Directory\nVersion=1.0\nName=") +
          escapeValue(name) + QStringLiteral("\nIcon=") + escapeValue(icon) + u'\n')
      .toUtf8();
}

bool writeDesktopEntry(const QString& file, const DesktopEntry& entry, QString* error)
{
  QSaveFile f(file);
  const QByteArray bytes = entry.text();
  if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) {
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                     QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                     QFileDevice::ExeOther);
    if (f.commit())
      return true;
  }
  if (error)
    *error = file + QStringLiteral(": ") + f.errorString();
  return false;
}
