#include "shell/view_rebuild.h"

#include "analysis/statistics.h"
#include "charts/chart.h"
#include "shell/grid_view.h"
#include "shell/main_window.h"
#include "shell/panel.h"

#include <QMenu>
#include <QScrollBar>
#include <QStatusBar>

void ViewRebuild::enterMeasurementMode(const QString& statusText, bool fromFile)
{
  TForm1& f = m_form;
  MeasurementGrid& grid = f.Grid;

  f.State.RecordsCount = f.ComputeRangeStatistics(2, grid.RowCount() - 1);

  f.Chart1->undoZoom();

  f.FillLinearChart();
  f.FillCircularChart();
  f.BuildMapSeries();

  f.Chart1->bottomAxis().setRange(0, grid.RowCount() <= 101 ? 100 : grid.RowCount() - 1);

  grid.setRangeSelect(true);

  f.StatusBar1->showMessage(statusText);

  f.ScrollBar7->setEnabled(true);
  f.Panel21->setCaption(QStringLiteral(" Record                    of ") +
                        QString::number(f.State.RecordsCount));
  f.ScrollBar7->setMaximum(f.State.RecordsCount);
  f.ScrollBar7->setValue(1);

  f.N13->setEnabled(true);
  f.State.DataLoaded = true;

  if (fromFile) {
    grid.setRowHidden(1, true);
    f.StringGrid1->setPopupMenu(f.PopupMenu1);
  }

  if (f.N35->isChecked()) {
    f.ScrollBar7->setValue(1);
    f.ScrollBar7Change();
  }
}

void ViewRebuild::recordOrCircular()
{
  if (m_form.N35->isChecked())
    m_form.ScrollBar7Change();
  else
    m_form.FillCircularChart();
}

void ViewRebuild::afterTrendOption()
{
  if (!m_form.State.DataLoaded)
    return;
  m_form.FillLinearChart();
  m_form.BuildMapSeries();
  recordOrCircular();
}

void ViewRebuild::afterStressOption()
{
  if (!m_form.State.DataLoaded)
    return;
  // The label is rewritten in the new unit at once from the figures last
  // shown; an MPa label must never stay over an mT chart.
  m_form.SetStatisticsLabel(
      StatisticsLabelText(m_form.State.RangeMax, m_form.State.RangeMean, m_form.State.RangeMin,
                          m_form.Converttostress1->isChecked(), m_form.Stress));
  m_form.RefreshStatisticsToolTip();
  m_form.FillLinearChart();
  m_form.FillCircularChart();
  m_form.BuildMapSeries();
  if (m_form.N35->isChecked())
    m_form.ScrollBar7Change();
}

void ViewRebuild::afterStressItem()
{
  TForm1& f = m_form;
  if (!f.State.DataLoaded)
    return;
  f.FillLinearChart();
  f.FillCircularChart();
  f.BuildMapSeries();
  if (f.Converttostress1->isChecked())
    f.SetStatisticsLabel(
        StatisticsLabelText(f.State.RangeMax, f.State.RangeMean, f.State.RangeMin, true, f.Stress));
  f.RefreshStatisticsToolTip();
  if (f.N35->isChecked())
    f.ScrollBar7Change();
}

void ViewRebuild::afterEdit()
{
  m_form.FillLinearChart();
  m_form.FillCircularChart();
  m_form.BuildMapSeries();
  if (m_form.N35->isChecked()) {
    m_form.ScrollBar7Change();
    return;
  }
  // The whole grid on the bottom axis; a minimum left above the new end (a
  // stretch far down, then a delete) starts the axis at 0 rather than showing
  // a single point.
  ChartAxis& bottom = m_form.Chart1->bottomAxis();
  const int rows = m_form.Grid.RowCount();
  const double max = rows < 103 ? 100 : rows - 2;
  const double min = bottom.programMinimum();
  bottom.setRange(min > max ? 0 : min, max);
}

void ViewRebuild::leaveMeasurementMode()
{
  TForm1& f = m_form;
  f.State.DataLoaded = false;
  f.StringGrid1->setPopupMenu(f.PopupMenu2);
  f.Grid.setRangeSelect(false);
  f.N13->setEnabled(false);
  // The map views must not go on showing the measurements that just left.
  f.Map = MapSeries();
  f.Chart3->contour()->clearContours();
  f.Chart3->surface()->clearMap();
}

void ViewRebuild::formClosing()
{
  m_form.StoreSettingsFile();
}
