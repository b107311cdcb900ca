#include "charts/contour_chart.h"

#include <qcustomplot.h>

namespace {

constexpr double LineWidth = 1.0;

QColor colorOf(unsigned bgr)
{
  return QColor(static_cast<int>(bgr & 0xFFu), static_cast<int>((bgr >> 8) & 0xFFu),
                static_cast<int>((bgr >> 16) & 0xFFu));
}

}  // namespace

// Draws the level lines and their texts inside the axis rectangle, above the
// grid, in the coordinates of the chart's bottom and left axes.
class ContourLayer : public QCPLayerable {
 public:
  ContourLayer(QCustomPlot* plot, ContourChart* chart)
      : QCPLayerable(plot, QStringLiteral("main")), m_chart(chart)
  {
  }

  QPointF toPixel(const ContourPoint& p) const
  {
    const QCustomPlot* plot = parentPlot();
    return QPointF(plot->xAxis->coordToPixel(p.x), plot->yAxis->coordToPixel(p.z));
  }

 protected:
  QRect clipRect() const override { return parentPlot()->axisRect()->rect(); }

  void applyDefaultAntialiasingHint(QCPPainter* painter) const override
  {
    applyAntialiasingHint(painter, true, QCP::aePlottables);
  }

  void draw(QCPPainter* painter) override
  {
    if (!m_chart->m_visible)
      return;
    const ContourLines& lines = m_chart->m_lines;
    QPolygonF px;
    for (const ContourPiece& piece : lines.pieces) {
      painter->setPen(QPen(m_chart->levelColor(piece.level), LineWidth));
      px.resize(0);
      for (int i = 0; i < piece.count; ++i)
        px << toPixel(lines.point(piece, i));
      painter->drawPolyline(px);
    }
    painter->setFont(m_chart->labelFont());
    for (const ContourText& t : m_chart->texts()) {
      painter->setPen(t.color);
      painter->drawText(t.pixel, t.text);
    }
  }

 private:
  ContourChart* m_chart;
};

ContourChart::ContourChart(QWidget* parent) : LinearChart(parent)
{
  m_layer = new ContourLayer(plot(), this);
  bottomAxis().setRange(0, 12);
  bottomAxis().setIncrement(1);
  leftAxis().setRange(0, 6);
  leftAxis().setIncrement(1);
}

ContourChart::~ContourChart() = default;

void ContourChart::setContours(ContourLines lines, QVector<QColor> levelColors,
                               QVector<ContourLabel> labels)
{
  m_lines = std::move(lines);
  m_colors = std::move(levelColors);
  m_labels = std::move(labels);
  scheduleReplot();
}

void ContourChart::clearContours()
{
  setContours({}, {}, {});
}

QColor ContourChart::levelColor(int level) const
{
  return level >= 0 && level < m_colors.size() ? m_colors[level] : QColor(Qt::black);
}

void ContourChart::setContoursVisible(bool on)
{
  m_visible = on;
  scheduleReplot();
}

QFont ContourChart::labelFont() const
{
  QFont f(QStringLiteral("Times New Roman"));
  f.setBold(true);
  f.setPointSize(isZoomed() || !gradient() ? LabelPointSizeLarge : LabelPointSize);
  return f;
}

QVector<ContourText> ContourChart::texts() const
{
  QVector<ContourText> out;
  if (!m_visible)
    return out;
  const QFont font = labelFont();
  plotArea();  // brings the axes' pixel mapping up to the widget's size
  out.reserve(m_labels.size());
  for (const ContourLabel& l : m_labels)
    out.push_back({l.level, l.text, m_layer->toPixel(l.at), colorOf(l.color), font});
  return out;
}
