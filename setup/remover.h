#pragma once
// Removes an installation that the record names: only the files listed in the
// folder's own manifest, never following a symbolic link and never leaving the
// application folder. The user's measurements, exports and an edited stress
// table stay. The record is deleted last, and only when nothing meant to go
// remains, so an interrupted removal can be run again.

#include "setup_paths.h"
#include "setup_progress.h"

StepResult removeInstallation(const SetupPaths& paths, SetupProgress& progress);

// The application folder the record points at, or empty when it cannot be trusted
// (not absolute, "..", control characters, or no manifest of ours inside).
QString trustedApplicationFolder(const SetupPaths& paths);
