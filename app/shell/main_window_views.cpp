// The View menu and the circular chart: each View item's own steps (the axes,
// bars and depth its map implies) before the common layout, the fill of the
// circular chart from the whole file, and its zoom buttons.

#include "analysis/circular_points.h"
#include "analysis/map_layout.h"
#include "charts/chart.h"
#include "shell/main_window.h"
#include "shell/panel.h"

#include <QAction>
#include <QScrollBar>
#include <QStatusBar>

namespace {

enum CircularSeriesIndex { ValueSeries = 0, MeanSeries = 1 };

// The fixed map views: lines R and the 3D depth that gives square cells.
constexpr int ShortMapLines = 3;
constexpr int LongMapLines = 6;
constexpr int MapColumns = 12;
constexpr int ShortMapDepthPercent = 25;
constexpr int LongMapDepthPercent = 50;
constexpr int FixedDepthFactor = 3;

}  // namespace

bool TForm1::GridHoldsData() const
{
  return !Grid.isFileListHeader();
}

void TForm1::ViewItemClick(QAction* item)
{
  // The items form one radio group: clicking the view already shown changes
  // nothing, so one view is always selected.
  item->setChecked(true);
  if (item == ShownView)
    return;
  ShownView = item;
  const bool map = item != N21 && item != N22;
  ContourChart* contour = Chart3->contour();
  SurfaceChart* surface = Chart3->surface();
  if (map) {
    contour->undoZoom();
    const bool custom = item == N27 || item == N28;
    Panel17->setVisible(custom);
    Panel19->setVisible(custom);
  }
  if (item == N23 || item == N24 || item == N27) {
    const int lines = item == N23 ? ShortMapLines : item == N24 ? LongMapLines : CustomY();
    const int columns = item == N27 ? CustomX() : MapColumns;
    contour->leftAxis().setRange(0, lines);
    contour->bottomAxis().setRange(0, columns);
  } else if (item == N25 || item == N26) {
    surface->setDepthMaximum(item == N25 ? ShortMapLines : LongMapLines);
    surface->setBottomMaximum(MapColumns);
    surface->setDepthPercent(item == N25 ? ShortMapDepthPercent : LongMapDepthPercent);
    surface->setDepthFactor(FixedDepthFactor);
  } else if (item == N28) {
    surface->setDepthMaximum(CustomY());
    surface->setBottomMaximum(CustomX());
    if (const auto depth = SurfaceDepthPercent(CustomY(), CustomX()))
      surface->setDepthPercent(*depth);
    surface->setDepthFactor(SurfaceDepthFactor(CustomDX(), CustomDY()));
  }
  LayoutShownView();
  if (map && GridHoldsData())
    BuildMapSeries();
}

void TForm1::FillCircularChart()
{
  const ChartSeries* line = LinearSeries(0);
  const CircularChart c = ComputeCircularChart(
      Grid, {Converttostress1->isChecked(), Stress}, [line](int i) { return line->y(i); },
      State.CurrentMean);
  ChartSeries* values = CircularSeries(ValueSeries);
  ChartSeries* means = CircularSeries(MeanSeries);
  values->clear();
  means->clear();
  State.ShownRowCount = c.shownRowCount;
  Chart2->leftAxis().setRange(c.radiusAxis.min, c.radiusAxis.max);
  for (const PolarPoint& p : c.means)
    means->add(p.angle, p.radius);
  for (const PolarPoint& p : c.values)
    values->add(p.angle, p.radius, p.label);
}

namespace {

void zoomRadius(TForm1& f, CircularZoom button)
{
  ChartAxis& radius = f.Chart2->leftAxis();
  const RadiusScale scale =
      ZoomRadius({radius.programMaximum(), radius.increment()}, button);
  radius.setMaximum(scale.max);
  radius.setIncrement(scale.increment);
  f.StatusBar1->setFocus();
}

}  // namespace

void TForm1::Button5Click()
{
  zoomRadius(*this, CircularZoom::Out);
}

void TForm1::Button6Click()
{
  zoomRadius(*this, CircularZoom::Reset);
}

void TForm1::Button7Click()
{
  zoomRadius(*this, CircularZoom::In);
}
