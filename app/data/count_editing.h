#pragma once
// Editing the counts of the measurement grid: inserting a separator, deleting
// rows, and renumbering the counts below an edit, so that every count's number
// stays its row index - 1. The main window's popup commands and rz37m-tool's
// `edit` command both go through these.

#include "data/measurement_grid.h"

// Adds one empty row at `index` (0..RowCount). Returns false, changing nothing,
// for an index outside that range (the window beeps then).
bool InsertGridRow(MeasurementGrid& grid, int index);

// Removes row `index` (1..RowCount-1; the header row stays). Returns false,
// changing nothing, for any other index.
bool DeleteGridRow(MeasurementGrid& grid, int index);

// Rewrites column 0 of every non-empty row from fromRow on as
// "(row - 1)) " + the last 8 characters of its text, in one model change.
void RenumberCounts(MeasurementGrid& grid, int fromRow);

// What an edit did to the grid.
struct CountEdit {
  bool changed = false;
  int row = 2;           // the first row the edit touched (the top of the selection, at least 2)
  int recordsDelta = 0;  // the change of RecordsCount
};

// "Insert separator" on a selection that begins at row `top`: an empty row goes
// in at max(top, 2), which starts a new record with the count that was there,
// and the counts below are renumbered. Beyond the row after the last, nothing.
CountEdit InsertSeparator(MeasurementGrid& grid, int top);

// "Delete count(s)" on the rows max(top, 2)..bottom, bottom brought down to the
// last row: the rows go in one model change, every separator among them takes
// a record with it, and the counts below are renumbered.
CountEdit DeleteCounts(MeasurementGrid& grid, int top, int bottom);
