#pragma once
// The drawing side of a ChartSeries: each chart kind binds its series to its own
// drawing (a QCustomPlot graph, a polar layer). Internal to the chart components.

#include <QPointF>

class ChartSeries;
class QCPAbstractPlottable;

class SeriesPlot {
 public:
  virtual ~SeriesPlot() = default;

  // Called once by the series it draws, before anything else.
  virtual void attach(const ChartSeries* series) { m_series = series; }
  // The series' last point was just appended.
  virtual void appended(double x, double y, bool null) = 0;
  // The series' points changed wholesale (clear, removal, bulk fill).
  virtual void reload() = 0;
  // Colour, pen, pointer or active flag changed.
  virtual void restyle() = 0;
  // Widget pixel of a point as drawn at the last layout.
  virtual QPointF toPixel(double x, double y) const = 0;
  virtual void requestReplot() = 0;
  // The QCustomPlot plottable, when the series is drawn by one (tests read it).
  virtual QCPAbstractPlottable* plottable() const { return nullptr; }

 protected:
  const ChartSeries* series() const { return m_series; }

 private:
  const ChartSeries* m_series = nullptr;
};
