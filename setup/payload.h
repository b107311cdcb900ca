#pragma once
// Everything Setup installs travels inside its own program file: an archive
// appended to the executable, found through a trailer at the very end.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

struct PayloadEntry {
  QString path;  // relative to the application folder, '/' separated
  quint32 mode = 0644;
  QByteArray data;  // uncompressed
};

class Payload {
 public:
  QList<PayloadEntry> entries;

  // Entries whose path starts with '#' describe the payload and are not installed.
  QList<PayloadEntry> files() const;
  const PayloadEntry* find(const QString& path) const;
  qint64 installedBytes() const;

  QByteArray serialize() const;  // archive followed by its trailer
  static std::optional<Payload> parse(const QByteArray& fileBytes, QString* error);
  static std::optional<Payload> readAppended(const QString& executable, QString* error);
};

// The libraries the program needs, one "soname<TAB>package" a line.
inline const QString LibraryListEntry = QStringLiteral("#libraries");
