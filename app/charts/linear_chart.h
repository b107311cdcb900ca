#pragma once
// The linear chart: line and point series over a bottom (x) and a left (y)
// axis, zoomed with a mouse-drawn rectangle. It starts with the look of the
// measurement chart: bottom 0..100 by 5, left 0..20 by 1, dotted silver grid,
// four minor ticks, a box of top and right axes without labels.

#include "charts/chart_base.h"

class LinearChart : public Chart {
  Q_OBJECT

 public:
  explicit LinearChart(QWidget* parent = nullptr);
  ~LinearChart() override;

 protected:
  std::unique_ptr<SeriesPlot> createPlot(ChartSeries::Kind kind) override;
  void applyMargins(const QMargins& m) override;
  bool zoomToRect(const QRect& pixels) override;
  QRect plotArea() const override;
  void prepareReplot() override;

 private:
  class Axis;
  std::unique_ptr<Axis> m_bottomAxis;
  std::unique_ptr<Axis> m_leftAxis;
};
