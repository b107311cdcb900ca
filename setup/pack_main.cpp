// rz37m-pack: joins the bare Setup program and the payload into one file.
//   rz37m-pack --bare FILE --list FILE --program FILE --out FILE
// The list has one "mode<TAB>installed path<TAB>source file" a line.

#include "install_checks.h"
#include "payload.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

namespace {

QByteArray readFile(const QString& path, bool* ok)
{
  QFile f(path);
  *ok = f.open(QIODevice::ReadOnly);
  return *ok ? f.readAll() : QByteArray();
}

QString run(const QString& program, const QStringList& args)
{
  QProcess p;
  p.start(program, args);
  p.waitForFinished(30000);
  return p.exitCode() == 0 ? QString::fromLocal8Bit(p.readAllStandardOutput()) : QString();
}

// The Debian package that holds the library file, when dpkg knows it.
QString packageOf(const QString& file)
{
  const QString real = QFileInfo(file).canonicalFilePath();
  for (const QString& candidate :
       {file, real, QStringLiteral("/usr") + file, QStringLiteral("/usr") + real}) {
    const QString owner = run(QStringLiteral("dpkg"), {QStringLiteral("-S"), candidate});
    if (!owner.isEmpty())
      return owner.section(u':', 0, 0).section(u',', 0, 0).trimmed();
  }
  return {};
}

QByteArray libraryList(const QString& program)
{
  static const QRegularExpression needed(
      QStringLiteral("\\(NEEDED\\)\\s+Shared library: \\[(.+)\\]"));
  const QString dynamic = run(QStringLiteral("readelf"), {QStringLiteral("-d"), program});
  const QStringList folders = libraryFolders(QStringLiteral("/etc/ld.so.conf.d"));
  QByteArray list;
  auto it = needed.globalMatch(dynamic);
  while (it.hasNext()) {
    const QString soname = it.next().captured(1);
    QString package;
    for (const QString& folder : folders)
      if (QFileInfo::exists(folder + u'/' + soname)) {
        package = packageOf(folder + u'/' + soname);
        break;
      }
    list += soname.toUtf8() + '\t' + package.toUtf8() + '\n';
  }
  return list;
}

int fail(const QString& text)
{
  std::fprintf(stderr, "rz37m-pack: %s\n", qPrintable(text));
  return 1;
}

}  // namespace

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  const QStringList a = app.arguments();
  auto value = [&](const char* name) {
    const qsizetype i = a.indexOf(QString::fromLatin1(name));
    return i > 0 && i + 1 < a.size() ? a[i + 1] : QString();
  };
  const QString bare = value("--bare"), list = value("--list"), out = value("--out");
  if (bare.isEmpty() || list.isEmpty() || out.isEmpty())
    return fail(QStringLiteral("usage: --bare FILE --list FILE --program FILE --out FILE"));
  bool ok = false;
  Payload payload;
  for (const QByteArray& line : readFile(list, &ok).split('\n')) {
    const QList<QByteArray> cols = line.split('\t');
    if (cols.size() != 3)
      continue;
    PayloadEntry e{QString::fromUtf8(cols[1]), cols[0].toUInt(nullptr, 8),
                   readFile(QString::fromUtf8(cols[2]), &ok)};
    if (!ok)
      return fail(QStringLiteral("cannot read ") + QString::fromUtf8(cols[2]));
    payload.entries << e;
  }
  if (!value("--program").isEmpty())
    payload.entries << PayloadEntry{LibraryListEntry, 0644, libraryList(value("--program"))};
  const QByteArray head = readFile(bare, &ok);
  if (!ok)
    return fail(QStringLiteral("cannot read ") + bare);
  QSaveFile f(out);
  const QByteArray bytes = head + payload.serialize();
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
    return fail(out + QStringLiteral(": ") + f.errorString());
  f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                   QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                   QFileDevice::ExeOther);
  return f.commit() ? 0 : fail(out + QStringLiteral(": ") + f.errorString());
}
