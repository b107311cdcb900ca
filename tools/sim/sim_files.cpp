#include "sim_files.h"

#include "common/formats.h"
#include "data/measurement_file.h"

#include <QDir>
#include <QFileInfo>
#include <QTime>

#include <cmath>
#include <numbers>

namespace {

QString squeezed(const QString& name)
{
  QString s = name;
  s.remove(u' ');
  return s;
}

// A small fixed-seed generator: the demo set is the same on every run.
class Noise {
 public:
  double next()  // in [-1, 1)
  {
    m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(m_state >> 11) / 4503599627370496.0 - 1.0;
  }

 private:
  unsigned long long m_state = 0x2545F4914F6CDD1DULL;
};

// Br as the grid holds it: two characters, the comma, two decimals ("05,43").
QString brCell(double br)
{
  br = std::clamp(br, -9.99, 99.99);
  QString text = fmt::decimals(br, 2);
  return br < 0 ? text : text.rightJustified(5, u'0');
}

class RowBuilder {
 public:
  explicit RowBuilder(QTime start) : m_time(start)
  {
    m_rows.append(GridRow{{TimeHeader, BrHeader}});
    m_rows.append(GridRow{});
  }
  void count(double br, int secondsAfter)
  {
    m_time = m_time.addSecs(secondsAfter);
    const int row = static_cast<int>(m_rows.size());
    m_rows.append(
        GridRow{{MeasurementGrid::countNumberCell(row, fmt::formatTimeLong(m_time)), brCell(br)}});
  }
  void separator() { m_rows.append(GridRow{}); }
  QVector<GridRow> rows() const { return m_rows; }

 private:
  QTime m_time;
  QVector<GridRow> m_rows;
};

// Cross-sections of a pipe, each measured at `points` points around it.
QVector<GridRow> circumference(int sections, int points, QTime start, Noise& noise)
{
  RowBuilder b(start);
  for (int s = 0; s < sections; ++s) {
    if (s > 0)
      b.separator();
    const double level = 7.5 + 0.6 * s;
    for (int p = 0; p < points; ++p) {
      const double angle = 2 * std::numbers::pi * p / points;
      const double br =
          level + 2.8 * std::cos(angle - 0.9) + 0.7 * std::cos(2 * angle) + 0.25 * noise.next();
      b.count(br, p == 0 ? (s == 0 ? 0 : 95) : 4);
    }
  }
  return b.rows();
}

// A weld seam followed along its length: the level drifts and rises at the weld.
QVector<GridRow> weldSeam(QTime start, Noise& noise)
{
  RowBuilder b(start);
  const int points = 48;
  for (int p = 0; p < points; ++p) {
    const double x = static_cast<double>(p) / (points - 1);
    const double weld = 6.5 * std::exp(-std::pow((x - 0.55) / 0.07, 2));
    const double br = 3.2 + 5.1 * x - 2.4 * x * x + weld + 0.3 * noise.next();
    b.count(br, p == 0 ? 0 : 3);
  }
  return b.rows();
}

// Spot checks: a few short records, one of them on a demagnetised part.
QVector<GridRow> spotChecks(QTime start, Noise& noise)
{
  RowBuilder b(start);
  const int lengths[] = {3, 5, 2, 4};
  const double levels[] = {11.4, 6.2, -0.8, 14.9};
  for (int r = 0; r < 4; ++r) {
    if (r > 0)
      b.separator();
    for (int i = 0; i < lengths[r]; ++i)
      b.count(levels[r] + 0.4 * noise.next(), i == 0 ? (r == 0 ? 0 : 240) : 5);
  }
  return b.rows();
}

}  // namespace

QString instrumentFileName(const QString& base, const QString& extension)
{
  return base.left(9).leftJustified(9, u' ') + u'.' + extension.left(3).leftJustified(3, u' ');
}

int SimFileSet::indexOf(const QString& name) const
{
  for (int i = 0; i < m_files.size(); ++i)
    if (m_files[i].name == name)
      return i;
  const QString wanted = squeezed(name);
  for (int i = 0; i < m_files.size(); ++i)
    if (!wanted.isEmpty() && squeezed(m_files[i].name) == wanted)
      return i;
  return -1;
}

const SimFile* SimFileSet::find(const QString& name) const
{
  const int i = indexOf(name);
  return i < 0 ? nullptr : &m_files[i];
}

bool SimFileSet::remove(const QString& name)
{
  const int i = indexOf(name);
  if (i < 0)
    return false;
  m_files.remove(i);
  return true;
}

SimFileSet demoFiles()
{
  Noise noise;
  QVector<SimFile> files;
  files.append({instrumentFileName(QStringLiteral("PIPE_3X12"), QStringLiteral("DAT")),
                circumference(3, 12, QTime(9, 12, 5), noise)});
  files.append({instrumentFileName(QStringLiteral("PIPE_6X12"), QStringLiteral("DAT")),
                circumference(6, 12, QTime(10, 3, 40), noise)});
  files.append({instrumentFileName(QStringLiteral("WELD_SEAM"), QStringLiteral("DAT")),
                weldSeam(QTime(11, 27, 18), noise)});
  files.append({instrumentFileName(QStringLiteral("SPOTS"), QStringLiteral("DAT")),
                spotChecks(QTime(13, 45, 2), noise)});
  return SimFileSet(files);
}

SimFileSet folderFiles(const QString& folder, QStringList* problems)
{
  const QDir dir(folder);
  if (!dir.exists()) {
    problems->append(QStringLiteral("%1: no such folder").arg(folder));
    return {};
  }
  QVector<SimFile> files;
  const QFileInfoList entries = dir.entryInfoList(
      {QStringLiteral("*.csv")}, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& entry : entries) {
    MeasurementFileError error;
    std::optional<QVector<GridRow>> rows = readMeasurementFile(entry.filePath(), &error);
    if (!rows) {
      problems->append(error.message());
      continue;
    }
    const QString name = instrumentFileName(entry.completeBaseName(), entry.suffix());
    bool taken = false;
    for (const SimFile& f : files)
      taken = taken || f.name == name;
    if (taken) {
      problems->append(
          QStringLiteral("%1: left out, its name on the instrument would be \"%2\" as for "
                         "another file")
              .arg(entry.fileName(), name));
      continue;
    }
    files.append({name, *rows});
  }
  return SimFileSet(files);
}
