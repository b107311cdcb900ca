#include "common/profile_settings.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString PolarSection = QStringLiteral("Polar");
const QString SurfaceSection = QStringLiteral("Surface");
const QString ViewSection = QStringLiteral("View");
constexpr int MaxColour = 0xFFFFFF;

// The keys of each section in the order of the installed file.
const QStringList PolarKeys = {QStringLiteral("General"), QStringLiteral("Mean")};
const QStringList SurfaceKeys = {QStringLiteral("High"), QStringLiteral("Low"),
                                 QStringLiteral("Mid")};
const QStringList ViewKeys = {
    QStringLiteral("Page"),          QStringLiteral("Mean"),        QStringLiteral("Points"),
    QStringLiteral("Pages"),         QStringLiteral("Full"),        QStringLiteral("Transpose"),
    QStringLiteral("Approximate"),   QStringLiteral("Grid3D"),      QStringLiteral("Smooth3D"),
    QStringLiteral("Transparent3D"), QStringLiteral("DB"),          QStringLiteral("X"),
    QStringLiteral("Y"),             QStringLiteral("dX"),          QStringLiteral("dY"),
    QStringLiteral("CvtToStress"),   QStringLiteral("StressDBItem")};

unsigned readColour(const Profile& p, const QString& section, const QString& key, unsigned def)
{
  const int v = p.readInteger(section, key, -1);
  return v >= 0 && v <= MaxColour ? static_cast<unsigned>(v) : def;
}

bool readTruth(const Profile& p, const QString& key, bool def)
{
  return p.readInteger(ViewSection, key, def ? 1 : 0) != 0;
}

QString truth(bool on)
{
  return on ? QStringLiteral("1") : QStringLiteral("0");
}

bool containsName(const QStringList& names, const QString& name)
{
  return names.contains(name, Qt::CaseInsensitive);
}

// Keys and sections of `old` that the settings do not own, so that a hand-made
// note in the file survives the program's writing.
void keepOthers(const Profile& old, Profile& out)
{
  const QList<QPair<QString, QStringList>> known = {
      {PolarSection, PolarKeys}, {SurfaceSection, SurfaceKeys}, {ViewSection, ViewKeys}};
  QStringList done;
  for (const QString& section : old.sections()) {
    if (containsName(done, section))
      continue;
    done << section;
    QStringList owned;
    for (const auto& k : known)
      if (k.first.compare(section, Qt::CaseInsensitive) == 0)
        owned = k.second;
    for (const QString& key : old.keys(section))
      if (!containsName(owned, key) && !out.value(section, key))
        out.setValue(section, key, *old.value(section, key));
  }
}

}  // namespace

QString SettingsFolder(const QString& folder)
{
  QString f = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  if (!f.endsWith(u'/'))
    f += u'/';
  return f;
}

ProfileSettings ReadProfileSettings(const Profile& p, const QString& defaultDb)
{
  ProfileSettings s;
  s.General = readColour(p, PolarSection, QStringLiteral("General"), s.General);
  s.PolarMean = readColour(p, PolarSection, QStringLiteral("Mean"), s.PolarMean);
  s.High = readColour(p, SurfaceSection, QStringLiteral("High"), s.High);
  s.Mid = readColour(p, SurfaceSection, QStringLiteral("Mid"), s.Mid);
  s.Low = readColour(p, SurfaceSection, QStringLiteral("Low"), s.Low);
  s.X = p.readInteger(ViewSection, QStringLiteral("X"), s.X);
  s.Y = p.readInteger(ViewSection, QStringLiteral("Y"), s.Y);
  s.dX = p.readInteger(ViewSection, QStringLiteral("dX"), s.dX);
  s.dY = p.readInteger(ViewSection, QStringLiteral("dY"), s.dY);
  s.Points = readTruth(p, QStringLiteral("Points"), s.Points);
  s.Mean = readTruth(p, QStringLiteral("Mean"), s.Mean);
  s.CvtToStress = readTruth(p, QStringLiteral("CvtToStress"), s.CvtToStress);
  s.StressDBItem = p.readInteger(ViewSection, QStringLiteral("StressDBItem"), s.StressDBItem);
  s.Approximate = readTruth(p, QStringLiteral("Approximate"), s.Approximate);
  s.Transpose = readTruth(p, QStringLiteral("Transpose"), s.Transpose);
  s.Pages = readTruth(p, QStringLiteral("Pages"), s.Pages);
  s.Grid3D = readTruth(p, QStringLiteral("Grid3D"), s.Grid3D);
  s.Smooth3D = readTruth(p, QStringLiteral("Smooth3D"), s.Smooth3D);
  s.Transparent3D = readTruth(p, QStringLiteral("Transparent3D"), s.Transparent3D);
  s.Full = readTruth(p, QStringLiteral("Full"), s.Full);
  s.Page = p.readInteger(ViewSection, QStringLiteral("Page"), s.Page);
  const QString db = p.value(ViewSection, QStringLiteral("DB")).value_or(QString());
  const QFileInfo dbInfo(db);
  s.DB = !db.isEmpty() && dbInfo.isAbsolute() && dbInfo.isDir() ? SettingsFolder(db)
                                                                  : SettingsFolder(defaultDb);
  return s;
}

Profile WriteProfileSettings(const ProfileSettings& s, const Profile& old)
{
  Profile p;
  auto put = [&p](const QString& section, const QString& key, const QString& value) {
    p.setValue(section, key, value);
  };
  auto number = [](long long v) { return QString::number(v); };
  put(PolarSection, PolarKeys[0], number(s.General));
  put(PolarSection, PolarKeys[1], number(s.PolarMean));
  put(SurfaceSection, QStringLiteral("High"), number(s.High));
  put(SurfaceSection, QStringLiteral("Low"), number(s.Low));
  put(SurfaceSection, QStringLiteral("Mid"), number(s.Mid));
  const QStringList view = {number(s.Page),        truth(s.Mean),
                            truth(s.Points),       truth(s.Pages),
                            truth(s.Full),         truth(s.Transpose),
                            truth(s.Approximate),  truth(s.Grid3D),
                            truth(s.Smooth3D),     truth(s.Transparent3D),
                            s.DB,                  number(s.X),
                            number(s.Y),           number(s.dX),
                            number(s.dY),          truth(s.CvtToStress),
                            number(s.StressDBItem)};
  for (int i = 0; i < ViewKeys.size(); ++i)
    put(ViewSection, ViewKeys[i], view[i]);
  keepOthers(old, p);
  return p;
}
