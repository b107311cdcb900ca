#pragma once
// Line and point series drawn by a QCustomPlot graph. Points are appended to
// the graph's data container as they come (the container appends without
// resorting when x does not decrease), null points as NaN, which breaks the line.

#include "charts/series_plot.h"

#include <QPointer>

class QCPAxis;
class QCPGraph;

class GraphSeriesPlot : public SeriesPlot {
 public:
  // A new graph on these axes, drawn above the plot's earlier ones.
  GraphSeriesPlot(QCPAxis* keyAxis, QCPAxis* valueAxis);
  ~GraphSeriesPlot() override;

  void appended(double x, double y, bool null) override;
  void reload() override;
  void restyle() override;
  QPointF toPixel(double x, double y) const override;
  void requestReplot() override;
  QCPAbstractPlottable* plottable() const override;

 private:
  QPointer<QCPGraph> m_graph;
};
