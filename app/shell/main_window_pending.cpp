// Handlers whose subsystems are not built yet. Each one moves to its
// subsystem's handler file when that subsystem lands.

#include "shell/main_window.h"

void TForm1::Openstressdatabase1Click() {}

void TForm1::LayoutCircularView() {}
void TForm1::LayoutContourView() {}
void TForm1::LayoutSurfaceView() {}
void TForm1::FillCircularChart() {}
void TForm1::BuildMapSeries() {}

