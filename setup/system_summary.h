#pragma once
// "About computer:" on the welcome page, from what Linux tells about itself.
// A value that cannot be read is left out; it never stops Setup.

#include "setup_paths.h"

#include <QString>

#include <optional>

struct ScreenMode {
  int width = 0;
  int height = 0;
  int depth = 0;
};

QString processorLines(const QByteArray& cpuinfo);
QString memoryLine(const QByteArray& meminfo);
QString operatingSystemText(const QByteArray& osRelease, const QString& kernel);
// Whether the user may open serial ports through the dialout group, and what to
// do when not. Empty when it is not known.
QString serialAccessLine(std::optional<bool> inDialout);
// Whether this process belongs to the group (primary or supplementary).
std::optional<bool> inGroup(const char* name);
// Lines joined by CR LF, as the welcome page shows them.
QString systemSummary(const SetupPaths& paths, const ScreenMode& screen,
                      std::optional<bool> inDialout = std::nullopt);
