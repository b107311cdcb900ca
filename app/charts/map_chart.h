#pragma once
// The chart of the map views: the contour plot in 2D or the surface in 3D, one
// at a time, framed by the tool bars the window hands in (top, left, right,
// bottom), which take their room beside the drawing, never over it.

#include <QWidget>

class ContourChart;
class QGridLayout;
class QStackedLayout;
class SurfaceChart;

class MapChart : public QWidget {
  Q_OBJECT

 public:
  explicit MapChart(QWidget* parent = nullptr);
  ~MapChart() override;

  ContourChart* contour() const { return m_contour; }
  SurfaceChart* surface() const { return m_surface; }

  void setView3D(bool on);
  bool view3D() const { return m_3d; }

  void setBars(QWidget* top, QWidget* left, QWidget* right, QWidget* bottom);

 private:
  ContourChart* m_contour = nullptr;
  SurfaceChart* m_surface = nullptr;
  QGridLayout* m_grid = nullptr;
  QStackedLayout* m_stack = nullptr;
  bool m_3d = false;
};
