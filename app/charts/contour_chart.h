#pragma once
// The contour plot of a map: level lines traced on the map grid, each level in
// its colour, and the level's text at the third point of each piece. Lines and
// texts are drawn by the plot itself, so the picture output carries them, and
// they follow a rectangle zoom. The bottom axis holds the columns, the left axis
// the lines of the map.

#include "analysis/contour_trace.h"
#include "charts/linear_chart.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QVector>

class ContourLayer;

// A level text as drawn: where (widget pixels), in what colour and font.
struct ContourText {
  int level = 0;
  QString text;
  QPointF pixel;
  QColor color;
  QFont font;
};

class ContourChart : public LinearChart {
  Q_OBJECT

 public:
  explicit ContourChart(QWidget* parent = nullptr);
  ~ContourChart() override;

  // The traced lines, the colour of each level (by level index) and the texts.
  void setContours(ContourLines lines, QVector<QColor> levelColors,
                   QVector<ContourLabel> labels);
  void clearContours();
  const ContourLines& contourLines() const { return m_lines; }
  QColor levelColor(int level) const;

  void setContoursVisible(bool on);  // the series' active flag
  bool contoursVisible() const { return m_visible; }

  // The texts the next drawing writes, in drawing order.
  QVector<ContourText> texts() const;

  // Larger texts while a rectangle zoom is shown or the background is plain
  // (as for a picture), so they stay readable.
  static constexpr int LabelPointSize = 9;
  static constexpr int LabelPointSizeLarge = 15;
  QFont labelFont() const;

 private:
  friend class ContourLayer;
  ContourLines m_lines;
  QVector<QColor> m_colors;
  QVector<ContourLabel> m_labels;
  ContourLayer* m_layer = nullptr;
  bool m_visible = true;
};
