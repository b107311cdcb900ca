#pragma once
// The files an instrument holds: a name as its directory shows it and the
// counts as grid rows (row 0 header, row 1 empty, counts and separators from
// row 2), the same rows the measurement file reader gives.

#include "data/measurement_grid.h"

#include <QString>
#include <QStringList>
#include <QVector>

struct SimFile {
  QString name;  // 13 characters: 9-character name field, ".", 3-character extension
  QVector<GridRow> rows;

  int countLines() const { return rows.size() > 2 ? static_cast<int>(rows.size()) - 2 : 0; }
};

// The 13-character directory name of a base name and an extension: each field
// cut to its width and padded with blanks.
QString instrumentFileName(const QString& base, const QString& extension);

class SimFileSet {
 public:
  SimFileSet() = default;
  explicit SimFileSet(QVector<SimFile> files) : m_files(std::move(files)) {}

  const QVector<SimFile>& files() const { return m_files; }
  // The file a request names: exactly as listed, or the same without blanks.
  const SimFile* find(const QString& name) const;
  bool remove(const QString& name);

 private:
  int indexOf(const QString& name) const;
  QVector<SimFile> m_files;
};

// A working day's files: a pipe circumference at 3 and at 6 cross-sections of
// 12 points, a weld seam with a drift along it, and a few short records.
SimFileSet demoFiles();

// Every *.csv measurement file of a folder, by name. Files that cannot be read
// are left out and described in *problems; a folder that cannot be listed or
// holds no readable file gives an empty set.
SimFileSet folderFiles(const QString& folder, QStringList* problems);
