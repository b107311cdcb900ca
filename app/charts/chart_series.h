#pragma once
// One series of a chart. The series keeps its points exactly as they were added
// (with null flags and labels) because exports and the circular chart read them
// back by index; what is drawn is kept in step by the series' plot binding.

#include <QColor>
#include <QObject>
#include <QPointF>
#include <QString>
#include <QVector>

#include <memory>

class SeriesPlot;

class ChartSeries : public QObject {
  Q_OBJECT

 public:
  enum class Kind { Line, Point, Polar };

  ~ChartSeries() override;

  Kind kind() const { return m_kind; }

  // Data access in point order. An index out of range gives NaN, an empty label
  // and a null flag, never a crash.
  int count() const { return static_cast<int>(m_xs.size()); }
  double x(int i) const;
  double y(int i) const;  // a null point reads back the y it was stored with (0)
  QString label(int i) const;
  bool isNull(int i) const;

  void clear();
  void add(double x, double y, const QString& label = {});
  void addNull(double x);  // breaks a line there (drawn as NaN), not drawn
  void removeAt(int i);    // deletes point i; an index out of range is ignored
  // Replaces all points at once (nulls where nulls[i]; a short nulls list means
  // "not null" for the rest). Extra values of the longer of xs/ys are dropped.
  void setPoints(QVector<double> xs, QVector<double> ys, QVector<bool> nulls = {});

  void setActive(bool on);  // an inactive series is not drawn and shows no tips
  bool isActive() const { return m_active; }
  void setColor(const QColor& c);  // line / polygon colour
  QColor color() const { return m_color; }
  void setDotted(bool on);  // pen style of the line
  bool isDotted() const { return m_dotted; }
  void setPointer(int size, const QColor& fill, const QColor& outline);  // diamond
  int pointerSize() const { return m_pointerSize; }
  QColor pointerFill() const { return m_pointerFill; }
  QColor pointerOutline() const { return m_pointerOutline; }
  void setPointerVisible(bool on);
  bool pointerVisible() const { return m_pointerVisible; }
  void setHoverTips(bool on);  // the chart shows a tip when the mouse rests on a point
  bool hoverTips() const { return m_hoverTips; }

  // What the hover tip shows for point i: its label, or else its y value
  // (fmt::general with TipDigits significant digits).
  static constexpr int TipDigits = 6;
  QString tipText(int i) const;
  // The drawn (non-null) point nearest to a widget pixel within maxDistance
  // pixels, or -1.
  int nearestPoint(const QPointF& pixel, double maxDistance) const;

  // The drawing side, for the chart and for tests that check what is plotted.
  SeriesPlot* plot() const { return m_plot.get(); }

 private:
  friend class Chart;
  ChartSeries(Kind kind, std::unique_ptr<SeriesPlot> plot, QObject* parent);
  void redrawAll();
  void restyle();
  bool inRange(int i) const { return i >= 0 && i < count(); }

  Kind m_kind;
  std::unique_ptr<SeriesPlot> m_plot;
  QVector<double> m_xs;
  QVector<double> m_ys;
  QVector<bool> m_nulls;
  QVector<QString> m_labels;
  bool m_active = true;
  QColor m_color = QColorConstants::Svg::navy;
  bool m_dotted = false;
  int m_pointerSize = 2;
  QColor m_pointerFill = QColorConstants::Svg::navy;
  QColor m_pointerOutline = QColorConstants::Svg::navy;
  bool m_pointerVisible = false;
  bool m_hoverTips = false;
};
