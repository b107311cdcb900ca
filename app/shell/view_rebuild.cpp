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
  // The label keeps its unit until the next statistics call, which the record
  // display makes when it is on.
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
  if (f.N35->isChecked())
    f.ScrollBar7Change();
}

void ViewRebuild::afterEdit()
{
  m_form.FillLinearChart();
  m_form.FillCircularChart();
  m_form.BuildMapSeries();
  if (m_form.N35->isChecked())
    m_form.ScrollBar7Change();
}

void ViewRebuild::leaveMeasurementMode()
{
  TForm1& f = m_form;
  f.State.DataLoaded = false;
  f.StringGrid1->setPopupMenu(f.PopupMenu2);
  f.Grid.setRangeSelect(false);
  f.N13->setEnabled(false);
}

void ViewRebuild::formClosing()
{
  // The settings file is written here once it exists.
}
