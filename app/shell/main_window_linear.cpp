// The linear chart and the record navigator: the statistics label, the fill of
// the chart from the grid, the record display with the circular chart's two
// series, the "Linear" menu, the zoom events and the two colour choices.
// The numbers come from the core (statistics, linear_fill, record_display);
// these handlers read the controls and hand the results to the charts.

#include "analysis/linear_fill.h"
#include "analysis/record_display.h"
#include "analysis/statistics.h"
#include "charts/chart.h"
#include "common/formats.h"
#include "common/prompts.h"
#include "shell/main_window.h"
#include "shell/panel.h"

#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>

namespace {

// Chart1's series by index, as every part of the program addresses them.
enum LinearSeriesIndex { LineSeries = 0, DotSeries = 1, SelectionSeries = 2, AverageSeries = 3 };
// Chart2's.
enum CircularSeriesIndex { ValueSeries = 0, MeanSeries = 1 };

constexpr int DotSize = 2;
constexpr int SelectionSize = 3;
// The linear chart has no 3D zoom, so its zoom percentage stays 100.
constexpr double ChartZoomPercent = 100.0;

void toSeries(ChartSeries* s, SeriesPoints points)
{
  s->setPoints(std::move(points.x), std::move(points.y), std::move(points.null));
}

// A colour with each of its red, green and blue components halved: the outline
// of the dots and the line drawn in the graph colour.
unsigned HalfIntensity(unsigned bgr)
{
  return ((bgr & 0xFFu) / 2) | ((((bgr >> 8) & 0xFFu) / 2) << 8) |
         ((((bgr >> 16) & 0xFFu) / 2) << 16);
}

// The navigator's texts and controls: kept apart by this much.
constexpr int NavigatorGap = 6;
constexpr int NavigatorBarHeight = 17;
constexpr int NavigatorMinWidth = 289;
// The statistics label's text ends this far left of the plot frame, clear of
// the ticks drawn inward from it.
constexpr int FrameClearance = 8;

// A text part of a navigator panel, made on first use.
QLabel* navigatorText(TPanel* panel, const QString& name)
{
  auto* label = panel->findChild<QLabel*>(name, Qt::FindDirectChildrenOnly);
  if (label == nullptr) {
    label = new QLabel(panel);
    label->setObjectName(name);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->show();
  }
  return label;
}

}  // namespace

void TForm1::LayoutRecordNavigator()
{
  // The caption's blanks kept "of N" clear of the scroll bar in one font only;
  // in others it ran into the bar or the range text ("of 1ange [0000..0000]").
  // Each part is placed after the one before from its width in the font in use.
  Panel21->setCaptionShown(false);
  const QFontMetrics fm(Panel21->font());
  const QString caption = Panel21->caption().trimmed();
  const qsizetype blank = caption.indexOf(u' ');
  const QString word = blank < 0 ? caption : caption.left(blank);
  const QString count = blank < 0 ? QString() : caption.mid(blank).trimmed();
  const int h = Panel21->height();
  const int top = (h - NavigatorBarHeight) / 2;

  QLabel* wordText = navigatorText(Panel21, QStringLiteral("RecordWord"));
  wordText->setText(word);
  const int wordWidth = fm.horizontalAdvance(word) + 2;
  wordText->setGeometry(NavigatorGap, 0, wordWidth, h);
  int x = NavigatorGap + wordWidth + NavigatorGap;

  // The record number's box holds the largest number the bar reaches.
  const QString widest(QString::number(std::max(ScrollBar7->maximum(), 1)).size(), u'0');
  const int box = std::max(NavigatorBarHeight, fm.horizontalAdvance(widest) + 6);
  const int arrow =
      ScrollBar7->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ScrollBar7);
  const int bar = std::max(50, box + 2 * arrow);
  ScrollBar7->setGeometry(x, top, bar, NavigatorBarHeight);
  Panel22->setGeometry(x + (bar - box) / 2, top, box, NavigatorBarHeight);
  x += bar + NavigatorGap;

  QLabel* countText = navigatorText(Panel21, QStringLiteral("RecordCount"));
  countText->setText(count);
  const int countWidth = fm.horizontalAdvance(count) + 2;
  countText->setGeometry(x, 0, countWidth, h);
  x += countWidth + 2 * NavigatorGap;

  const int range = fm.horizontalAdvance(Panel23->caption()) + 6;
  Panel23->setGeometry(x, top, range, NavigatorBarHeight);
  const int width = std::max(NavigatorMinWidth, x + range + NavigatorGap);
  if (Panel21->width() != width) {
    Panel21->setFixedSize(width, h);
    Panel21->move((Chart1->width() - width) / 2, Panel21->y());
  }
}

void TForm1::CreateChartSeries()
{
  if (Chart1->seriesCount() == 0) {
    const QColor graph = colorFromBgr(Panel8->color());
    const QColor graphHalf = colorFromBgr(HalfIntensity(Panel8->color()));
    ChartSeries* line = Chart1->addSeries(ChartSeries::Kind::Line);
    line->setColor(QColorConstants::Svg::navy);
    line->setPointerVisible(false);
    ChartSeries* dots = Chart1->addSeries(ChartSeries::Kind::Point);
    dots->setPointer(DotSize, graph, graphHalf);
    dots->setPointerVisible(true);
    dots->setHoverTips(true);
    ChartSeries* selection = Chart1->addSeries(ChartSeries::Kind::Point);
    selection->setPointer(SelectionSize, Qt::red, Qt::green);
    selection->setPointerVisible(true);
    selection->setActive(false);
    ChartSeries* average = Chart1->addSeries(ChartSeries::Kind::Line);
    average->setColor(colorFromBgr(Panel9->color()));
    average->setDotted(true);
    average->setActive(false);
    dots->setActive(N31->isChecked());
    average->setActive(N32->isChecked());
  }
  if (Chart2->seriesCount() == 0) {
    ChartSeries* values = Chart2->addSeries(ChartSeries::Kind::Polar);
    values->setColor(QColorConstants::Svg::navy);
    values->setPointer(DotSize, colorFromBgr(Panel8->color()),
                       colorFromBgr(HalfIntensity(Panel8->color())));
    values->setPointerVisible(N31->isChecked());
    values->setHoverTips(true);
    ChartSeries* mean = Chart2->addSeries(ChartSeries::Kind::Polar);
    mean->setColor(colorFromBgr(Panel9->color()));
    mean->setDotted(true);
    mean->setPointerVisible(false);
    mean->setActive(N32->isChecked());
  }
}

ChartSeries* TForm1::LinearSeries(int index)
{
  CreateChartSeries();
  return Chart1->series(index);
}

ChartSeries* TForm1::CircularSeries(int index)
{
  CreateChartSeries();
  return Chart2->series(index);
}

void TForm1::SetStatisticsLabel(const QString& text)
{
  // The label's lines are separated by a carriage return alone; the widget
  // breaks lines at line feeds.
  QString shown = text;
  shown.replace(StatisticsLineBreak, u'\n');
  // Right-aligned against the plot's right edge, the last letter (italic in
  // some fonts) was drawn over the frame.
  Label2->setContentsMargins(0, 0, FrameClearance, 0);
  Label2->setText(shown);
  PlaceChartOverlays();
}

int TForm1::ComputeRangeStatistics(int firstRow, int lastRow)
{
  const RangeStatistics s = ::ComputeRangeStatistics(Grid, firstRow, lastRow);
  StoreRangeStatistics(s, State);
  SetStatisticsLabel(StatisticsLabelText(s, Converttostress1->isChecked(), Stress));
  StatisticsFirstRow = firstRow;
  StatisticsLastRow = lastRow;
  UpdateStatisticsToolTip(firstRow, lastRow);
  return s.records;
}

void TForm1::FillLinearChart()
{
  const LinearFillOptions options{N33->isChecked(), Converttostress1->isChecked(), Stress};
  LinearFill fill = ComputeLinearFill(Grid, options, State.CurrentMean);
  LinearSeries(SelectionSeries)->clear();
  toSeries(LinearSeries(LineSeries), std::move(fill.line));
  toSeries(LinearSeries(DotSeries), std::move(fill.dots));
  toSeries(LinearSeries(AverageSeries), std::move(fill.average));
  Chart1->leftAxis().setRange(fill.valueAxis.min, fill.valueAxis.max);
  State.CurrentMean = fill.currentMean;
}

void TForm1::ScrollBar7Change()
{
  if (!ScrollBar7->isEnabled())
    return;
  Panel22->setCaption(QString::number(ScrollBar7->value()));
  // The navigator keeps its position while "Arrange by record" is off; a load or
  // an edit that moves it then must not narrow the whole-file view to a record.
  if (!N35->isChecked())
    return;
  const ChartSeries* line = LinearSeries(LineSeries);
  const RecordDisplay d =
      ComputeRecordDisplay(Grid, ScrollBar7->value(), {Converttostress1->isChecked(), Stress},
                           [line](int i) { return line->y(i); });
  StoreRangeStatistics(d.stats, State);
  SetStatisticsLabel(d.labelText);
  Chart1->bottomAxis().setRange(d.bottomAxis.min, d.bottomAxis.max);
  Panel23->setCaption(d.panel23);
  Chart1->leftAxis().setRange(d.leftAxis.min, d.leftAxis.max);

  ChartSeries* values = CircularSeries(ValueSeries);
  ChartSeries* means = CircularSeries(MeanSeries);
  values->clear();
  means->clear();
  for (const PolarPoint& p : d.means)
    means->add(p.angle, p.radius);
  for (const PolarPoint& p : d.values)
    values->add(p.angle, p.radius, p.label);
}

void TForm1::N35Click()
{
  // The menu has already inverted the check mark.
  const bool arranged = N35->isChecked();
  Panel21->setVisible(arranged);
  if (arranged) {
    if (ScrollBar7->maximum() > 1) {
      if (ScrollBar7->value() == 1)
        ScrollBar7Change();
      else
        ScrollBar7->setValue(1);  // runs the record display
    }
    return;
  }
  const int rows = Grid.RowCount();
  Chart1->bottomAxis().setRange(0, rows > 101 ? rows - 1 : 100);
  if (State.DataLoaded) {
    ComputeRangeStatistics(2, rows - 1);
  } else {
    State.RangeMin = State.RangeMax = State.RangeMean = State.CurrentMean = 0.0;
    SetStatisticsLabel(StatisticsLabelText(0.0, 0.0, 0.0, false, Stress));
  }
  // Refill only from measurements: in file-list mode the grid holds the
  // instrument's directory.
  if (State.DataLoaded && rows - 2 > 1) {
    FillLinearChart();
    FillCircularChart();
  }
}

void TForm1::N31Click()
{
  const bool shown = N31->isChecked();
  LinearSeries(DotSeries)->setActive(shown);
  LinearSeries(SelectionSeries)->setActive(shown);
  CircularSeries(ValueSeries)->setPointerVisible(shown);
}

void TForm1::N32Click()
{
  const bool shown = N32->isChecked();
  LinearSeries(AverageSeries)->setActive(shown);
  CircularSeries(MeanSeries)->setActive(shown);
  Label2->setVisible(shown);
}

void TForm1::Chart1Zoom()
{
  Chart1->leftAxis().setIncrement(static_cast<double>(fmt::nearest(1000.0 / ChartZoomPercent)) *
                                  0.002);
}

void TForm1::Chart1UndoZoom()
{
  Chart1Zoom();
}

void TForm1::ApplyGraphColor(unsigned bgr)
{
  const QColor c = colorFromBgr(bgr);
  const QColor half = colorFromBgr(HalfIntensity(bgr));
  Panel8->setColor(bgr);
  LinearSeries(DotSeries)->setPointer(DotSize, c, half);
  LinearSeries(LineSeries)->setColor(half);
  ChartSeries* values = CircularSeries(ValueSeries);
  values->setPointer(DotSize, c, half);
  values->setColor(half);
}

void TForm1::ApplyAverageColor(unsigned bgr)
{
  Panel9->setColor(bgr);
  CircularSeries(MeanSeries)->setColor(colorFromBgr(bgr));
  LinearSeries(AverageSeries)->setColor(colorFromBgr(bgr));
}

void TForm1::Panel8Click()
{
  if (const auto c = prompts().chooseColor(Panel8->color()))
    ApplyGraphColor(*c);
}

void TForm1::Panel9Click()
{
  if (const auto c = prompts().chooseColor(Panel9->color()))
    ApplyAverageColor(*c);
}
