#pragma once
// Polar series drawn by a layer of their own over QCustomPlot's polar axes: the
// points are joined in their order and closed from the last back to the first
// (QCustomPlot's polar graph would sort them by angle), null points are left out
// and the polygon joins their neighbours.

#include "charts/series_plot.h"

#include <QPointer>

class QCPPolarAxisAngular;
class PolarSeriesLayer;

class PolarSeriesPlot : public SeriesPlot {
 public:
  explicit PolarSeriesPlot(QCPPolarAxisAngular* axis);
  ~PolarSeriesPlot() override;

  void attach(const ChartSeries* series) override;
  void appended(double, double, bool) override {}
  void reload() override {}
  void restyle() override;
  QPointF toPixel(double angle, double radius) const override;
  void requestReplot() override;

 private:
  QPointer<QCPPolarAxisAngular> m_axis;
  QPointer<PolarSeriesLayer> m_layer;
};
