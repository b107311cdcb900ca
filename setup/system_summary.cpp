#include "system_summary.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <grp.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <vector>

namespace {

QByteArray readAll(const QString& path)
{
  QFile f(path);
  // /proc files report size 0: read until the end.
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString valueOf(const QByteArray& line)
{
  return QString::fromUtf8(line.mid(line.indexOf(':') + 1)).trimmed();
}

}  // namespace

QString processorLines(const QByteArray& cpuinfo)
{
  QStringList out;
  QString model;
  QString mhz;
  auto flush = [&] {
    if (!model.isEmpty()) {
      QString line =
          QStringLiteral("CPU") + QString::number(out.size() + 1) + QStringLiteral(": ") + model;
      if (!mhz.isEmpty())
        line += u' ' + mhz + QStringLiteral("MHz");
      out << line;
    }
    model.clear();
    mhz.clear();
  };
  for (const QByteArray& line : cpuinfo.split('\n')) {
    if (line.trimmed().isEmpty())
      flush();
    else if (line.startsWith("model name"))
      model = valueOf(line);
    else if (line.startsWith("cpu MHz"))
      mhz = QString::number(qRound(valueOf(line).toDouble()));
  }
  flush();
  return out.join(QStringLiteral("\r\n"));
}

QString memoryLine(const QByteArray& meminfo)
{
  static const QRegularExpression total(QStringLiteral("^MemTotal:\\s*(\\d+)\\s*kB"),
                                        QRegularExpression::MultilineOption);
  const QRegularExpressionMatch m = total.match(QString::fromLatin1(meminfo));
  if (!m.hasMatch())
    return {};
  return QStringLiteral("RAM: ") + QString::number(m.captured(1).toLongLong() >> 10) +
         QStringLiteral(" MB");
}

QString operatingSystemText(const QByteArray& osRelease, const QString& kernel)
{
  QString name;
  for (const QByteArray& line : osRelease.split('\n'))
    if (line.startsWith("PRETTY_NAME="))
      name = QString::fromUtf8(line.mid(12)).trimmed().remove(u'"');
  if (!kernel.isEmpty())
    name = name.isEmpty() ? kernel : name + u' ' + kernel;
  return name;
}

QString serialAccessLine(std::optional<bool> inDialout)
{
  if (!inDialout)
    return {};
  if (*inDialout)
    return QStringLiteral("Serial ports: you are in the dialout group.");
  return QStringLiteral(
      "Serial ports: you are not in the dialout group. To reach the instrument, run\r\n"
      "  sudo usermod -aG dialout $USER\r\n"
      "and log in again, or install the udev rule from the Drivers folder.");
}

std::optional<bool> inGroup(const char* name)
{
  const group* g = ::getgrnam(name);
  if (!g)
    return std::nullopt;
  if (::getegid() == g->gr_gid)
    return true;
  const int count = ::getgroups(0, nullptr);
  std::vector<gid_t> groups(size_t(std::max(count, 0)));
  if (count > 0 && ::getgroups(count, groups.data()) == count)
    for (const gid_t gid : groups)
      if (gid == g->gr_gid)
        return true;
  return false;
}

QString systemSummary(const SetupPaths& paths, const ScreenMode& screen,
                      std::optional<bool> inDialout)
{
  QStringList lines;
  const QString cpus = processorLines(readAll(paths.proc + QStringLiteral("/cpuinfo")));
  if (!cpus.isEmpty())
    lines << cpus;
  const QString ram = memoryLine(readAll(paths.proc + QStringLiteral("/meminfo")));
  if (!ram.isEmpty())
    lines << ram;
  if (screen.width > 0 && screen.height > 0)
    lines << QStringLiteral("Video adapter: %1x%2 [%3 bit]")
                 .arg(screen.height)
                 .arg(screen.width)
                 .arg(screen.depth);
  QString kernel;
  utsname u{};
  if (paths.root.isEmpty() && ::uname(&u) == 0)
    kernel = QString::fromLocal8Bit(u.sysname) + u' ' + QString::fromLocal8Bit(u.release);
  const QString os = operatingSystemText(readAll(paths.osRelease), kernel);
  if (!os.isEmpty())
    lines << QStringLiteral("Operational system: ") + os;
  if (const QString serial = serialAccessLine(inDialout); !serial.isEmpty())
    lines << serial;
  return lines.join(QStringLiteral("\r\n"));
}
