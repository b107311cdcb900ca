#pragma once
// "About computer:" on the welcome page, from what Linux tells about itself.
// A value that cannot be read is left out; it never stops Setup.

#include "setup_paths.h"

#include <QString>

struct ScreenMode {
  int width = 0;
  int height = 0;
  int depth = 0;
};

QString processorLines(const QByteArray& cpuinfo);
QString memoryLine(const QByteArray& meminfo);
QString operatingSystemText(const QByteArray& osRelease, const QString& kernel);
// Lines joined by CR LF, as the welcome page shows them.
QString systemSummary(const SetupPaths& paths, const ScreenMode& screen);
