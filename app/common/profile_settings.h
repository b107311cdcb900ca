#pragma once
// The view settings kept in Config.ini beside the program: their keys, defaults
// and checks, and the order in which the file lists them.

#include "common/profile.h"

#include <QString>

inline const QString SettingsFileName = QStringLiteral("Config.ini");

// Colours are 0x00BBGGRR: red in the low byte.
struct ProfileSettings {
  // [Polar]
  unsigned General = 16711680;  // graph colour, blue
  unsigned PolarMean = 255;     // average line colour, red
  // [Surface]
  unsigned High = 65535;     // maximum level, yellow
  unsigned Mid = 255;        // middle level, red
  unsigned Low = 16711680;   // minimum level, blue
  // [View]
  int Page = 1;  // the checked View item, 1..8; another number leaves "Linear chart"
  bool Mean = false;
  bool Points = true;
  bool Pages = false;
  bool Full = false;
  bool Transpose = false;
  bool Approximate = false;
  bool Grid3D = false;
  bool Smooth3D = false;
  bool Transparent3D = false;
  QString DB;  // an existing folder, ending in "/"
  int X = 10;
  int Y = 5;
  int dX = 1;
  int dY = 1;
  bool CvtToStress = false;
  int StressDBItem = 1;
};

// The settings a profile holds; every key missing or unusable takes its
// default. A DB that is not an existing folder (a path from another system, a
// folder since removed) gives defaultDb.
ProfileSettings ReadProfileSettings(const Profile& profile, const QString& defaultDb);

// The profile to write: the three sections with all their keys in the order of
// the installed file, then whatever else `old` held (unknown keys after the
// known ones of their section, unknown sections after [View]).
Profile WriteProfileSettings(const ProfileSettings& settings, const Profile& old = {});

// A folder as the settings store it: absolute, ending in "/".
QString SettingsFolder(const QString& folder);
