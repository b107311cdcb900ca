#pragma once
// The map of the contour and surface views: the sequence of counts laid onto a
// rectangular grid of C columns and R lines, closed on both sides so that a
// circumference joins up, with trend removal and the stress conversion applied,
// the ten contour levels, their label texts and the surface's value axis.
// Everything here is plain data for the chart components to draw.

#include "analysis/linear_fill.h"
#include "analysis/stress_law.h"
#include "data/measurement_grid.h"

#include <QString>
#include <QVector>

#include <array>

// Columns C (bottom axis, x) and lines R (depth or vertical axis, z) of a map.
struct MapSize {
  int columns = 1;
  int lines = 1;
};

// The map size of a View item by its place 1..8 in the View menu ("Page"), the
// custom views taking X columns and Y lines; 1 x 1 for the linear and circular
// views.
MapSize MapSizeOfView(int page, int customX, int customY);

// What BuildMapSeries reads from the window, as plain values.
struct MapOptions {
  MapSize size;
  bool transpose = false;    // "Transpose grid": runs of C counts along a line
  bool removeTrend = false;  // "Remove the trend": one fit per map line
  bool stressMode = false;   // "Convert to stress (MPa)"
  StressLaw stress;
};

// One point of the contour and surface series: column x, line z, value y (mT,
// or MPa in stress mode).
struct MapNode {
  int x = 0;
  int z = 0;
  double y = 0.0;
};

inline constexpr int ContourLevelCount = 10;

// Colours as the settings store them, 0x00BBGGRR.
inline constexpr unsigned MapBlue = 0xFF0000u;
inline constexpr unsigned MapRed = 0x0000FFu;
inline constexpr unsigned MapBlack = 0x000000u;
inline constexpr unsigned MapYellow = 0x00FFFFu;

struct ContourLevel {
  double upper = 0.0;  // the level's line is drawn at its upper bound
  unsigned color = MapBlack;
  QString label;  // the text written at each of its pieces
};

struct MapSeries {
  MapSize size;
  // The points in the order they are added to both series (the surface series'
  // point order, which the data export writes), closing points included.
  QVector<MapNode> nodes;
  // The closed grid: (C + 1) x (R + 1) values, line by line (index z * (C + 1) + x);
  // NaN where no count lies (a hole).
  QVector<double> closed;
  std::array<ContourLevel, ContourLevelCount> levels;
  ValueRange values;       // minimum and maximum of the map's values
  ValueRange surfaceAxis;  // the surface views' value axis, whole numbers
  bool empty = true;       // no count lies on the map

  int closedColumns() const { return size.columns + 1; }
  int closedLines() const { return size.lines + 1; }
  // The value at column x, line z of the closed grid; NaN for a hole or outside.
  double at(int x, int z) const;
  bool hasValue(int x, int z) const;
};

// BuildMapSeries' numbers from the grid's rows 2.. (counts and separators alike
// take their place in the pattern; separators and rows past the data leave
// holes). The minimum and maximum come from the map's values; a map without a
// value takes the range 0..20 mT (0..1000 MPa).
MapSeries ComputeMapSeries(const MeasurementGrid& grid, const MapOptions& options);

// The text DrawContourLevelLabels writes for a level bound: whole MPa in stress
// mode, else hundredths of mT, in the shortest general form with a decimal
// comma. A bound that is not a finite number gives `previous`.
QString ContourLevelLabel(double upper, bool stressMode, const QString& previous = QString());
