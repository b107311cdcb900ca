#include "data/count_editing.h"

#include <algorithm>

namespace {
// Row 0 is the header and row 1 the return row; counts begin at row 2.
constexpr int FirstCountRow = 2;
}  // namespace

bool InsertGridRow(MeasurementGrid& grid, int index)
{
  if (index < 0 || index > grid.RowCount())
    return false;
  grid.insertGridRow(index);
  return true;
}

bool DeleteGridRow(MeasurementGrid& grid, int index)
{
  if (index < 1 || index >= grid.RowCount())
    return false;
  grid.removeGridRows(index, index);
  return true;
}

void RenumberCounts(MeasurementGrid& grid, int fromRow)
{
  grid.rewriteColumn(0, std::max(fromRow, 0), [](int row, const QString& text) {
    return text.isEmpty() ? text : MeasurementGrid::countNumberCell(row, text.right(8));
  });
}

CountEdit InsertSeparator(MeasurementGrid& grid, int top)
{
  CountEdit edit;
  edit.row = std::max(top, FirstCountRow);
  if (!InsertGridRow(grid, edit.row))
    return edit;
  edit.changed = true;
  edit.recordsDelta = 1;
  RenumberCounts(grid, edit.row);
  return edit;
}

CountEdit DeleteCounts(MeasurementGrid& grid, int top, int bottom)
{
  CountEdit edit;
  edit.row = std::max(top, FirstCountRow);
  bottom = std::min(bottom, grid.RowCount() - 1);
  if (bottom < edit.row)
    return edit;
  int separators = 0;
  for (int r = edit.row; r <= bottom; ++r)
    if (grid.cell(r, 1).isEmpty())
      ++separators;
  grid.removeGridRows(edit.row, bottom);
  edit.changed = true;
  edit.recordsDelta = -separators;
  RenumberCounts(grid, edit.row);
  return edit;
}
