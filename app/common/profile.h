#pragma once
// A profile (INI) file: "[Section]" lines, each followed by "Key=Value" lines.
//
// Reading is forgiving as the Windows profile functions are: section and key
// names match whatever their case, blanks around names, "=" and values are
// ignored, the first of two equal keys wins, lines end in CR LF or LF, and a
// UTF-8 byte order mark is skipped. Lines that are not "Key=Value" are kept
// and written back as they were. Writing gives CR LF lines and replaces the
// file only once the new one is complete.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

class Profile {
 public:
  // An empty profile when the file is missing or unreadable; *reason (if
  // given) then holds the system's reason, empty for a missing file.
  static Profile read(const QString& path, QString* reason = nullptr);
  static Profile parse(const QByteArray& bytes);

  std::optional<QString> value(const QString& section, const QString& key) const;
  // A decimal integer with an optional sign that fits 32 bits; anything else
  // (missing, "12abc", "1 000", "0x10", 2147483648) gives the fallback.
  int readInteger(const QString& section, const QString& key, int fallback) const;

  // Replaces the first such key where it stands; a new key goes to the end of
  // its section, a new section to the end of the file.
  void setValue(const QString& section, const QString& key, const QString& value);

  // Section names in file order (a name given twice is listed twice), and the
  // keys of every section of that name, in order.
  QStringList sections() const;
  QStringList keys(const QString& section) const;

  QByteArray text() const;
  // Writes the whole text to a temporary file beside path and renames it over
  // path. On failure the old file stays and *reason says why.
  bool save(const QString& path, QString* reason) const;

 private:
  struct Line {
    QString key;    // empty: a line kept as it was (comment, blank, stray text)
    QString value;  // or the kept line's text
  };
  struct Section {
    QString name;
    QVector<Line> lines;
  };
  Section* findSection(const QString& name);
  QVector<Line> m_preamble;  // lines before the first section
  QVector<Section> m_sections;
};

// A whole decimal integer with an optional sign that fits 32 bits.
std::optional<int> ReadProfileInteger(const QString& text);
