#pragma once
// The circular chart: polar series (angle in degrees, radius) drawn as polygons
// closed from the last point back to the first, on a round grid with angle
// lines every 10 degrees and radius circles at the radius axis increment. The
// radius axis is the chart's left axis; the bottom axis holds limits but is not
// drawn. It does not zoom with the mouse.

#include "charts/chart_base.h"

class QCPPolarAxisAngular;

class PolarChart : public Chart {
  Q_OBJECT

 public:
  explicit PolarChart(QWidget* parent = nullptr);
  ~PolarChart() override;

  static constexpr double AngleGridStep = 10.0;

  QCPPolarAxisAngular* angularAxis() const { return m_angular; }

 protected:
  std::unique_ptr<SeriesPlot> createPlot(ChartSeries::Kind kind) override;
  void applyMargins(const QMargins& m) override;
  bool zoomToRect(const QRect& pixels) override;
  QRect plotArea() const override;
  void prepareReplot() override;

 private:
  class RadiusAxis;
  class FlatAxis;
  QCPPolarAxisAngular* m_angular = nullptr;
  std::unique_ptr<RadiusAxis> m_radiusAxis;
  std::unique_ptr<FlatAxis> m_bottomAxis;
};
