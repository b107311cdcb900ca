// The measurement grid's popup menu (PopupMenu1): stretching the charts over the
// selected counts, marking them on the linear chart, inserting a separator and
// deleting counts. The grid edits themselves are the core's (count_editing);
// the rebuild after an edit is ViewRebuild::afterEdit.

#include "analysis/record_display.h"
#include "analysis/statistics.h"
#include "charts/chart.h"
#include "common/formats.h"
#include "data/count_editing.h"
#include "device/file_exchange.h"
#include "shell/grid_view.h"
#include "shell/main_window.h"
#include "shell/panel.h"
#include "shell/view_rebuild.h"

#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace {

// Chart1's series as the linear chart creates them.
constexpr int LineSeriesIndex = 0;
constexpr int SelectionSeriesIndex = 2;
// Chart2's.
constexpr int ValueSeriesIndex = 0;
constexpr int MeanSeriesIndex = 1;
constexpr int FirstCountRow = 2;

const QString RecordCaption = QStringLiteral(" Record                    of ");

// "Stretch on graph" leaves the record display: the navigator goes and the
// check mark with it, without the whole-file rebuild that "Arrange by record"
// itself would run.
void leaveArrangeByRecord(TForm1& f)
{
  if (!f.N35->isChecked())
    return;
  f.Panel21->hide();
  f.N35->setChecked(false);
}

bool linearOrCircularView(const TForm1& f)
{
  return f.N21->isChecked() || f.N22->isChecked();
}

// The value the linear chart draws for grid row r: with the trend removed and
// in the unit in force. Should the line not hold the row, the cell's own value.
double drawnValue(TForm1& f, int row, double cellValue)
{
  const double y = f.LinearSeries(LineSeriesIndex)->y(row - 1);
  if (std::isfinite(y) && !f.LinearSeries(LineSeriesIndex)->isNull(row - 1))
    return y;
  return f.Converttostress1->isChecked() ? f.Stress.ToStress(cellValue) : cellValue;
}

// The circular chart of the rows top..bottom: each count at its share of the
// full circle, the mean circle at `mean`. Separators leave their angle empty.
void fillCircularWithRows(TForm1& f, int top, int bottom, double mean)
{
  ChartSeries* values = f.CircularSeries(ValueSeriesIndex);
  ChartSeries* means = f.CircularSeries(MeanSeriesIndex);
  values->clear();
  means->clear();
  const int n = bottom - top + 1;
  for (int r = top; r <= bottom; ++r) {
    const QString& br = f.Grid.cell(r, 1);
    double v = 0.0;
    if (!fmt::readReal(br, &v))
      continue;
    const double angle = static_cast<double>(fmt::nearest((r - top) * 360.0 / n));
    means->add(angle, mean);
    values->add(angle, drawnValue(f, r, v), br);
  }
}

// The navigator follows RecordsCount. Its position may have to come down with
// a lower maximum; that must not run the record display on a half-rebuilt
// chart, so the display runs once, at the end of the rebuild.
void setNavigatorMaximum(TForm1& f, int records)
{
  f.Panel21->setCaption(RecordCaption + QString::number(records));
  {
    const QSignalBlocker quiet(f.ScrollBar7);
    f.ScrollBar7->setMaximum(std::max(records, 1));
  }
  f.Panel22->setCaption(QString::number(f.ScrollBar7->value()));
}

}  // namespace

bool TForm1::CountEditingAllowed() const
{
  // In file-list mode, or while the instrument is still sending a file, the
  // grid holds the instrument's directory: nothing there is a count.
  return State.DataLoaded && Grid.cell(0, 0) == TimeHeader && !Exchange->underWay();
}

void TForm1::MenuItem11Click()
{
  if (!CountEditingAllowed())
    return;
  leaveArrangeByRecord(*this);
  const int top = StringGrid1->selectionTop();
  const int bottom = std::min(StringGrid1->selectionBottom(), Grid.RowCount() - 1);
  if (top < FirstCountRow || bottom < top || !linearOrCircularView(*this))
    return;
  Chart1->bottomAxis().setRange(top - 1, bottom - 1);

  const bool stress = Converttostress1->isChecked();
  RangeStatistics s = ::ComputeRangeStatistics(Grid, top, bottom);
  if (s.counts == 0)
    s.min = s.max = s.mean = 0.0;  // the scale's starting values would read as figures
  FillLinearChart();
  // The stretched view keeps the value axis fitted to the selection and the
  // selection's mean, which the statistics label shows too.
  StoreRangeStatistics(s, State);
  SetStatisticsLabel(s.counts == 0 ? StatisticsLabelText(0.0, 0.0, 0.0, stress, StressLaw{})
                                   : StatisticsLabelText(s, stress, Stress));
  const ValueRange left = RecordValueAxis(s, {stress, Stress});
  Chart1->leftAxis().setRange(left.min, left.max);
  fillCircularWithRows(*this, top, bottom, stress ? Stress.ToStress(s.mean) : s.mean);
}

void TForm1::MenuItem12Click()
{
  if (!CountEditingAllowed())
    return;
  leaveArrangeByRecord(*this);
  if (!linearOrCircularView(*this))
    return;
  const int rows = Grid.RowCount();
  Chart1->bottomAxis().setRange(0, rows > 101 ? rows - 1 : 100);
  ComputeRangeStatistics(FirstCountRow, rows - 1);
  Chart1->leftAxis().setRange(0, 20);
  Chart2->leftAxis().setRange(0, 20);
  FillLinearChart();
  FillCircularChart();
}

void TForm1::MenuItem13Click()
{
  if (!CountEditingAllowed())
    return;
  ChartSeries* marks = LinearSeries(SelectionSeriesIndex);
  marks->setActive(true);
  const int top = std::max(StringGrid1->selectionTop(), FirstCountRow);
  const int bottom = std::min(StringGrid1->selectionBottom(), Grid.RowCount() - 1);
  QVector<double> xs;
  QVector<double> ys;
  QSet<int> marked;
  for (int i = 0; i < marks->count(); ++i) {
    xs << marks->x(i);
    ys << marks->y(i);
    marked.insert(static_cast<int>(marks->x(i)));
  }
  for (int r = top; r <= bottom; ++r) {
    double v = 0.0;
    if (marked.contains(r - 1) || !fmt::readReal(Grid.cell(r, 1), &v))
      continue;
    // On the drawn dot, so the marker shows in MPa or with the trend removed too.
    xs << r - 1;
    ys << drawnValue(*this, r, v);
    marked.insert(r - 1);
  }
  marks->setPoints(std::move(xs), std::move(ys));
}

void TForm1::MenuItem14Click()
{
  if (!CountEditingAllowed())
    return;
  RemoveSelectionMarks(StringGrid1->selectionTop(), StringGrid1->selectionBottom());
}

void TForm1::MenuItem15Click()
{
  if (!CountEditingAllowed())
    return;
  RemoveSelectionMarks(FirstCountRow, Grid.RowCount() - 1);
}

void TForm1::RemoveSelectionMarks(int firstRow, int lastRow)
{
  ChartSeries* marks = LinearSeries(SelectionSeriesIndex);
  const double from = std::max(firstRow, FirstCountRow) - 1;
  const double to = lastRow - 1;
  QVector<double> xs;
  QVector<double> ys;
  for (int i = 0; i < marks->count(); ++i) {
    if (marks->x(i) >= from && marks->x(i) <= to)
      continue;
    xs << marks->x(i);
    ys << marks->y(i);
  }
  if (xs.size() != marks->count())
    marks->setPoints(std::move(xs), std::move(ys));
}

void TForm1::MenuItem16Click()
{
  if (!CountEditingAllowed())
    return;
  const CountEdit edit = InsertSeparator(Grid, StringGrid1->selectionTop());
  if (!edit.changed)
    QApplication::beep();
  AfterCountEdit(edit);
}

void TForm1::MenuItem17Click()
{
  if (!CountEditingAllowed())
    return;
  const CountEdit edit =
      DeleteCounts(Grid, StringGrid1->selectionTop(), StringGrid1->selectionBottom());
  AfterCountEdit(edit);
}

void TForm1::AfterCountEdit(const CountEdit& edit)
{
  if (!edit.changed)
    return;
  State.RecordsCount += edit.recordsDelta;
  setNavigatorMaximum(*this, State.RecordsCount);
  rebuild().afterEdit();
  // The edited place stays under the cursor: the separator put in, or the row
  // that moved up into the deleted range.
  const int row = std::min(edit.row, Grid.RowCount() - 1);
  if (row >= FirstCountRow) {
    StringGrid1->selectGridRows(row, row);
    StringGrid1->scrollTo(StringGrid1->model()->index(row - 1, 0));
  }
}
