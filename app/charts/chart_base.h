#pragma once
// The common base of every chart of the main window: margins, title, background,
// series by index, the user's rectangle zoom with its undo, hover tips and the
// picture output. The drawing is QCustomPlot's; subclasses bind the axes and the
// series kinds they can draw.

#include "charts/chart_axis.h"
#include "charts/chart_series.h"

#include <QImage>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QCustomPlot;
class QCPItemText;
class QMouseEvent;
class QTimer;

class Chart : public QWidget {
  Q_OBJECT

 public:
  ~Chart() override;

  // Pixels between the widget's edges and the plot with its axis labels: the
  // labels of the left and bottom axes take their room inside these margins.
  void setChartMargins(int left, int top, int right, int bottom);
  QMargins chartMargins() const { return m_margins; }

  void setTitleText(const QString& t);
  QString titleText() const;
  void setTitleVisible(bool on);
  bool titleVisible() const;
  // Where the title's top left corner goes; until this is called the title sits
  // just above the plot area's top left corner and follows the margins.
  void setTitlePosition(const QPoint& topLeft);

  void setGradient(bool on);  // background gradient on/off (off: plain white)
  bool gradient() const { return m_gradient; }

  ChartAxis& bottomAxis() { return *m_bottom; }
  ChartAxis& leftAxis() { return *m_left; }
  const ChartAxis& bottomAxis() const { return *m_bottom; }
  const ChartAxis& leftAxis() const { return *m_left; }

  // A new series drawn above the earlier ones; nullptr when this chart cannot
  // draw that kind (a linear chart draws Line and Point, a polar chart Polar).
  ChartSeries* addSeries(ChartSeries::Kind kind);
  ChartSeries* series(int index) const;  // nullptr for an index out of range
  int seriesCount() const { return static_cast<int>(m_series.size()); }

  void undoZoom();  // back to the axis limits last set by the program; emits undoZoomed()
  void setZoomEnabled(bool on);  // mouse-drawn rectangle zoom (left button drag)
  bool zoomEnabled() const { return m_zoomEnabled; }
  bool isZoomed() const { return m_zoomed; }

  void replot();  // redraw now (changes otherwise redraw once, on the next event loop pass)

  // The plot area in widget coordinates (overlays are placed by it).
  QRect plotRect() const;

  // Picture output at the on-screen width and height; false + reason on failure.
  // An existing file is replaced only when the new one has been written whole.
  QImage picture() const;
  bool saveBmp(const QString& path, QString* error = nullptr);
  bool saveJpeg(const QString& path, int quality, QString* error = nullptr);
  bool savePdf(const QString& path, QString* error = nullptr);  // vector, one page
  bool savePng(const QString& path, QString* error = nullptr);

  // How long the mouse must rest on a point before its tip shows.
  static constexpr int HoverTipDelayMs = 250;
  // The tip for a mouse resting at pos (widget coordinates): the label or the
  // value of the nearest point of an active series with tips on; empty if none.
  QString hoverTipAt(const QPoint& pos) const;

  // The drawing surface, for extra drawing by later chart kinds and for tests.
  QCustomPlot* plot() const { return m_plot; }

 Q_SIGNALS:
  void zoomed();      // after the user zoomed with the rectangle
  void undoZoomed();  // after an undo zoom (programmatic or by the user: a drag
                      // to the upper left undoes the zoom, or a right-button drag)

 protected:
  explicit Chart(QWidget* parent);

  // Called by subclass constructors once their axes exist.
  void setAxes(ChartAxis* bottom, ChartAxis* left);
  // The drawing side of a new series of that kind, or nullptr when not drawable.
  virtual std::unique_ptr<SeriesPlot> createPlot(ChartSeries::Kind kind) = 0;
  // Moves the plot area of the drawing to the margins.
  virtual void applyMargins(const QMargins& m) = 0;
  // Shows the part of the plot under a user's rectangle (widget pixels);
  // false when this chart does not zoom.
  virtual bool zoomToRect(const QRect& pixels) = 0;
  // The plot area in widget coordinates with the drawing's layout brought up to date.
  virtual QRect plotArea() const = 0;
  // Fits tick spacing to the plot's size; called before every redraw.
  virtual void prepareReplot() {}

  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  void scheduleReplot();
  // Brings the drawing's viewport and layout up to the widget's size now: a
  // hidden widget gets its resize event only when shown, and conversions and
  // overlay placement are needed before that.
  void syncLayout() const;

 private:
  void placeTitle();
  void finishDrag(const QPoint& from, const QPoint& to, Qt::MouseButton button);
  void userUndoZoom();
  void showHoverTip();
  bool writePicture(const QString& path, const char* format, int quality, QString* error);

  QCustomPlot* m_plot = nullptr;
  QCPItemText* m_title = nullptr;
  QTimer* m_hoverTimer = nullptr;
  QPoint m_hoverPos;
  QPoint m_pressPos;
  Qt::MouseButton m_pressButton = Qt::NoButton;
  ChartAxis* m_bottom = nullptr;
  ChartAxis* m_left = nullptr;
  std::vector<ChartSeries*> m_series;
  QMargins m_margins;
  bool m_titleFollowsMargins = true;
  bool m_gradient = true;
  bool m_zoomEnabled = false;
  bool m_zoomed = false;
};
