#pragma once
// The 3D surface of a map, on Qt Data Visualization: the map grid as a coloured
// surface whose palette runs from the end colour at the lowest value through the
// middle colour to the start colour at the highest, in 64 bands or smoothly;
// optional outlines and transparency; rotation, elevation and zoom set by the
// program (the window's bars), never by dragging, so the bars always tell the
// view. Holes of the map (NaN) are left open.

#include "analysis/map_palette.h"

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPoint>
#include <QString>
#include <QVector>
#include <QWidget>

#include <QtDataVisualization/Q3DSurface>

class QTimer;

// How the surface is coloured: the map's palette bands (lowest first), or a
// continuous run through the three colours, and how transparent it is.
struct SurfaceLook {
  QVector<PaletteStep> steps;
  PaletteColors colors;
  bool smooth = false;
  int transparencyPercent = 0;
};

class SurfaceChart : public QWidget {
  Q_OBJECT

 public:
  explicit SurfaceChart(QWidget* parent = nullptr);
  ~SurfaceChart() override;

  static constexpr int DesignZoomPercent = 70;
  static constexpr int MinimumZoomPercent = 5;
  static constexpr int HoverTipDelayMs = 250;

  // The map: values[z * columns + x] for column x (bottom axis) and line z
  // (depth axis); NaN leaves a hole.
  void setMap(int columns, int lines, const QVector<double>& values);
  void clearMap();
  int columns() const { return m_columns; }
  int lines() const { return m_lines; }
  double valueAt(int x, int z) const;

  // The value axis (whole numbers), the bottom axis' and depth axis' maxima.
  void setValueRange(double min, double max);
  double valueMinimum() const { return m_valueMin; }
  double valueMaximum() const { return m_valueMax; }
  void setBottomMaximum(double v);
  double bottomMaximum() const { return m_bottomMax; }
  void setDepthMaximum(double v);
  double depthMaximum() const { return m_depthMax; }

  // The depth of the box in percent of its width, and how many depth units one
  // line spans (3 keeps the proportion the depth percentage gives).
  void setDepthPercent(int percent);
  int depthPercent() const { return m_depthPercent; }
  void setDepthFactor(int factor);
  int depthFactor() const { return m_depthFactor; }
  // Width : depth of the box as drawn.
  double horizontalAspect() const;

  void setRotation(int degrees);   // about the vertical axis, -90..90
  int rotation() const { return m_rotation; }
  void setElevation(int degrees);  // 270..360; 360 looks from the side, 270 from above
  int elevation() const { return m_elevation; }
  void setZoomPercent(int percent);  // never below MinimumZoomPercent
  int zoomPercent() const { return m_zoomPercent; }

  void setLook(const SurfaceLook& look);
  const SurfaceLook& look() const { return m_look; }
  // The gradient over the map's value range, from 0 (lowest) to 1 (highest).
  static QLinearGradient lookGradient(const SurfaceLook& look);
  // The tip for a value: the legend text of its palette band.
  QString tipText(double value) const;

  void setOutlines(bool on);
  bool outlines() const { return m_outlines; }

  void setLabelPointSize(int size);
  int labelPointSize() const { return m_labelPointSize; }

  void setSurfaceVisible(bool on);  // the series' active flag
  bool surfaceVisible() const;

  // The tip for the mouse resting at a point of this widget; empty when the
  // mouse is not over the surface. Computed from the last rendered frame.
  void queryTipAt(const QPoint& pos);
  QString lastTip() const { return m_lastTip; }

  QImage picture();  // at the on-screen size
  // The graph needs an OpenGL context, so it is made when the chart is first
  // shown (or asked for): a window that never shows a surface needs no GL.
  Q3DSurface* graph();
  bool hasGraph() const { return m_graph != nullptr; }
  QSurface3DSeries* series() const { return m_series; }

 Q_SIGNALS:
  void tipShown(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void createGraph();
  void applyData();
  void applyAxes();
  void applyLook();
  void applyOutlines();
  void applyFont();
  void applyCamera();
  void applyAspect();
  void selectedPointChanged(const QPoint& p);

  Q3DSurface* m_graph = nullptr;
  QSurface3DSeries* m_series = nullptr;
  QWidget* m_container = nullptr;
  QTimer* m_hoverTimer = nullptr;
  QPoint m_hoverPos;
  QString m_lastTip;
  QVector<double> m_values;
  int m_columns = 0;
  int m_lines = 0;
  double m_valueMin = 0.0;
  double m_valueMax = 20.0;
  double m_bottomMax = 12.0;
  double m_depthMax = 6.0;
  int m_depthPercent = 50;
  int m_depthFactor = 3;
  int m_rotation = 0;
  int m_elevation = 315;
  int m_zoomPercent = DesignZoomPercent;
  int m_labelPointSize = 14;
  bool m_outlines = false;
  bool m_visible = true;
  SurfaceLook m_look;
};
