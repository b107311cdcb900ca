// Handlers whose subsystems are not built yet. Each one moves to its
// subsystem's handler file when that subsystem lands.

#include "shell/main_window.h"
