#include "payload.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>

namespace {

constexpr char Magic[] = "RZ37PAY1";
constexpr int HashSize = 32;
constexpr int TrailerSize = 8 + HashSize + 8;  // archive size, its SHA-256, magic

QByteArray hashOf(const QByteArray& archive)
{
  return QCryptographicHash::hash(archive, QCryptographicHash::Sha256);
}

void setError(QString* error, const QString& text)
{
  if (error)
    *error = text;
}

bool validPath(const QString& path)
{
  if (path.isEmpty() || path.startsWith(u'/'))
    return false;
  const QStringList parts = path.split(u'/');
  return !parts.contains(QStringLiteral("..")) && !parts.contains(QString()) &&
         !parts.contains(QStringLiteral("."));
}

// qUncompress gives an empty array both for empty data and for damage; the
// size header tells the two apart.
bool unpack(const QByteArray& packed, QByteArray* data)
{
  *data = qUncompress(packed);
  return !data->isEmpty() || (packed.size() >= 4 && packed.left(4) == QByteArray(4, '\0'));
}

}  // namespace

QList<PayloadEntry> Payload::files() const
{
  QList<PayloadEntry> out;
  for (const PayloadEntry& e : entries)
    if (!e.path.startsWith(u'#'))
      out << e;
  return out;
}

const PayloadEntry* Payload::find(const QString& path) const
{
  for (const PayloadEntry& e : entries)
    if (e.path == path)
      return &e;
  return nullptr;
}

qint64 Payload::installedBytes() const
{
  qint64 total = 0;
  for (const PayloadEntry& e : entries)
    total += e.data.size();
  return total;
}

QByteArray Payload::serialize() const
{
  QByteArray archive;
  QDataStream out(&archive, QIODevice::WriteOnly);
  out.setVersion(QDataStream::Qt_6_0);
  out << quint32(entries.size());
  for (const PayloadEntry& e : entries)
    out << e.path << e.mode << qCompress(e.data, 9);
  QByteArray trailer;
  QDataStream t(&trailer, QIODevice::WriteOnly);
  t << quint64(archive.size());
  trailer += hashOf(archive);
  trailer.append(Magic, 8);
  return archive + trailer;
}

std::optional<Payload> Payload::parse(const QByteArray& bytes, QString* error)
{
  if (bytes.size() < TrailerSize || !bytes.endsWith(QByteArray(Magic, 8))) {
    setError(error, QStringLiteral("no installation files are attached to this program"));
    return std::nullopt;
  }
  QDataStream t(bytes.right(TrailerSize));
  quint64 size = 0;
  t >> size;
  if (size > quint64(bytes.size() - TrailerSize)) {
    setError(error, QStringLiteral("the attached installation files are damaged"));
    return std::nullopt;
  }
  const QByteArray archive =
      bytes.mid(bytes.size() - TrailerSize - qsizetype(size), qsizetype(size));
  if (hashOf(archive) != bytes.mid(bytes.size() - TrailerSize + 8, HashSize)) {
    setError(error, QStringLiteral("the attached installation files are damaged"));
    return std::nullopt;
  }
  QDataStream in(archive);
  in.setVersion(QDataStream::Qt_6_0);
  quint32 count = 0;
  in >> count;
  Payload p;
  for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
    PayloadEntry e;
    QByteArray packed;
    in >> e.path >> e.mode >> packed;
    if (in.status() != QDataStream::Ok || !unpack(packed, &e.data) ||
        (!validPath(e.path) && !e.path.startsWith(u'#')))
      break;
    p.entries << e;
  }
  if (in.status() != QDataStream::Ok || p.entries.size() != qsizetype(count)) {
    setError(error, QStringLiteral("the attached installation files are damaged"));
    return std::nullopt;
  }
  return p;
}

std::optional<Payload> Payload::readAppended(const QString& executable, QString* error)
{
  QFile f(executable);
  if (!f.open(QIODevice::ReadOnly)) {
    setError(error, executable + QStringLiteral(": ") + f.errorString());
    return std::nullopt;
  }
  return parse(f.readAll(), error);
}
