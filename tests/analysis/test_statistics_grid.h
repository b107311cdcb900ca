#pragma once
// Builds a measurement grid from the Br cells of its rows from row 2 on: a text
// is a count, an empty text a separator. Row 0 is the header, row 1 the return row.

#include "analysis/stress_law.h"
#include "data/measurement_grid.h"

#include <QStringList>

inline void fillGrid(MeasurementGrid& grid, const QStringList& brCells)
{
  QVector<GridRow> rows(brCells.size() + 2);
  rows[0].cell = {TimeHeader, BrHeader};
  for (int i = 0; i < brCells.size(); ++i) {
    const int row = i + 2;
    if (!brCells[i].isEmpty())
      rows[row].cell = {MeasurementGrid::countNumberCell(row, QStringLiteral("10:00:00")),
                        brCells[i]};
  }
  grid.replaceRows(std::move(rows));
}

// `count` counts with the same Br text.
inline QStringList repeatedCells(int count, const QString& br)
{
  QStringList cells;
  for (int i = 0; i < count; ++i)
    cells << br;
  return cells;
}

// A law whose stress in MPa is easy to check by hand: 0 at Br 1 mT, 100 MPa per mT.
inline StressLaw hundredPerMilliTesla()
{
  StressLaw law;
  law.StressZeroBr = 1.0;
  law.StressSlope = 100.0;
  return law;
}
