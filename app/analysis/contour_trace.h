#pragma once
// The level lines of a contour plot, traced by marching squares over the closed
// map grid. A cell with a hole at any corner draws nothing, so holes stay open.
// All pieces of all levels are held in one point list (a 999 x 99 map can give
// many thousands of small pieces).

#include "analysis/map_grid.h"

#include <QString>
#include <QVector>

// A point in axis units: x along the bottom axis (columns), z along the vertical
// axis (lines).
struct ContourPoint {
  double x = 0.0;
  double z = 0.0;
};

struct ContourPiece {
  int level = 0;        // 0..9
  int first = 0;        // index of its first point in ContourLines::points
  int count = 0;        // its number of points
  bool closed = false;  // a ring: the last point repeats the first
};

struct ContourLines {
  QVector<ContourPoint> points;
  QVector<ContourPiece> pieces;  // level 0 first, then level 1, ...

  const ContourPoint& point(const ContourPiece& piece, int i) const
  {
    return points[piece.first + i];
  }
};

// Traces the lines at the ten level bounds of `map` over its closed grid.
ContourLines TraceContours(const MapSeries& map);

// Traces the lines at `levels` over a grid of `columns` x `lines` values stored
// line by line, NaN for a hole; each piece's level is its index in `levels`.
ContourLines TraceContours(const QVector<double>& values, int columns, int lines,
                           const QVector<double>& levels);

// A label of DrawContourLevelLabels: at the third point of a piece, with its
// level's text and colour. Pieces of fewer than three points get none.
struct ContourLabel {
  int level = 0;
  ContourPoint at;
  QString text;
  unsigned color = MapBlack;  // 0x00BBGGRR
};

QVector<ContourLabel> ContourLabels(const MapSeries& map, const ContourLines& lines);
