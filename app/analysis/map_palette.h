#pragma once
// The surface palette: 64 steps from the minimum level colour at the lowest
// value through the middle colour to the maximum level colour at the highest.
// Each step is a band of equal width between the map's minimum and maximum.

#include "analysis/linear_fill.h"
#include "analysis/map_grid.h"

#include <QString>
#include <QVector>

inline constexpr int SurfacePaletteSteps = 64;

// The three palette colours as the settings store them (0x00BBGGRR); the start
// colour is the maximum's, the end colour the minimum's.
struct PaletteColors {
  unsigned low = MapBlue;     // Panel5, "Low"
  unsigned mid = MapRed;      // Panel15, "Mid"
  unsigned high = MapYellow;  // Panel6, "High"
};

struct PaletteStep {
  double lower = 0.0;  // the band's bounds, in the map's unit
  double upper = 0.0;
  unsigned color = 0;  // 0x00BBGGRR
};

// Steps 0..63 from the lowest band up. A range of zero width gives 64 steps of
// zero width at that value.
QVector<PaletteStep> SurfacePalette(const ValueRange& values, const PaletteColors& colors);

// The step whose band holds v (the lowest or highest for values outside).
int PaletteStepOf(const QVector<PaletteStep>& palette, double v);

// The colour at fraction t (0 lowest .. 1 highest) of a continuous palette, as
// "Smooth levels" shows it.
unsigned PaletteColorAt(const PaletteColors& colors, double t);

// The legend text of a palette step, as the surface's hover tip shows it: the
// band's upper bound in the value axis' label format ("##0.#").
QString PaletteStepText(const PaletteStep& step);
