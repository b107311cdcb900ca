// The map views' controls: the map build for both map series, the surface's
// bars (rotation, elevation, zoom, palette colours), the custom grid's size and
// steps with their value boxes, and the 3D menu. The numbers come from the core
// (map_grid, contour_trace, map_palette, map_layout).

#include "analysis/contour_trace.h"
#include "analysis/map_layout.h"
#include "analysis/map_palette.h"
#include "charts/chart.h"
#include "common/prompts.h"
#include "shell/main_window.h"
#include "shell/panel.h"

#include <QAction>
#include <QActionGroup>
#include <QBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>

namespace {

constexpr int BarThickness = 26;
constexpr int SideBarWidth = 44;
constexpr int SwatchSize = 18;
constexpr int TransparentPercent = 20;
constexpr int ZoomStep = 5;

QScrollBar* makeBar(QWidget* parent, Qt::Orientation o, int min, int max, int value,
                    const QString& hint)
{
  auto* b = new QScrollBar(o, parent);
  b->setRange(min, max);
  b->setValue(value);
  b->setPageStep(1);
  b->setToolTip(hint);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

TPanel* makeSwatch(QWidget* parent, unsigned bgr, const QString& hint)
{
  auto* p = new TPanel(parent);
  p->setFixedSize(SwatchSize, SwatchSize);
  p->setColor(bgr);
  p->setToolTip(hint);
  return p;
}

TPanel* makeValueBox(QWidget* parent, const QString& hint)
{
  auto* p = new TPanel(parent);
  p->setColor(0xFFFFFF);
  p->setFixedSize(SideBarWidth - 6, 18);
  p->setToolTip(hint);
  return p;
}

QPushButton* makeToolButton(QWidget* parent, const QString& caption, const QString& hint)
{
  auto* b = new QPushButton(caption, parent);
  b->setFixedSize(24, 20);
  b->setToolTip(hint);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

}  // namespace

void TForm1::createMapBars()
{
  Panel3 = new TPanel(Chart3);
  Panel3->setFixedHeight(BarThickness);
  auto* bottom = new QHBoxLayout(Panel3);
  bottom->setContentsMargins(4, 2, 4, 2);
  Panel5 = makeSwatch(Panel3, MapBlue, QStringLiteral("Minimum level color"));
  Panel15 = makeSwatch(Panel3, MapRed, QStringLiteral("Middle level color"));
  Panel6 = makeSwatch(Panel3, MapYellow, QStringLiteral("Maximum level color"));
  Button2 = makeToolButton(Panel3, QStringLiteral("-"), QStringLiteral("Zoom out"));
  Button3 = makeToolButton(Panel3, QStringLiteral("x1"), QString());
  Button4 = makeToolButton(Panel3, QStringLiteral("+"), QStringLiteral("Zoom in"));
  ScrollBar1 = makeBar(Panel3, Qt::Horizontal, -90, 90, 0, QStringLiteral("Horizontal rotation"));
  Button1 = makeToolButton(Panel3, QStringLiteral("0"), QStringLiteral("Rotate to initial position"));
  for (QWidget* w : std::initializer_list<QWidget*>{Panel5, Panel15, Panel6})
    bottom->addWidget(w);
  bottom->addSpacing(8);
  for (QWidget* w : std::initializer_list<QWidget*>{Button2, Button3, Button4})
    bottom->addWidget(w);
  bottom->addSpacing(8);
  bottom->addWidget(ScrollBar1, 1);
  bottom->addWidget(Button1);

  Panel13 = new TPanel(Chart3);
  Panel13->setFixedWidth(BarThickness - 6);
  auto* right = new QVBoxLayout(Panel13);
  right->setContentsMargins(2, 4, 2, 4);
  ScrollBar2 = makeBar(Panel13, Qt::Vertical, 0, 90, 45, QStringLiteral("Vertical rotation"));
  right->addWidget(ScrollBar2);

  Panel17 = new TPanel(Chart3);
  Panel17->setFixedWidth(SideBarWidth);
  auto* left = new QVBoxLayout(Panel17);
  left->setContentsMargins(3, 3, 3, 3);
  Panel18 = makeValueBox(Panel17, QStringLiteral("Grid width"));
  ScrollBar5 = makeBar(Panel17, Qt::Vertical, 2, 99, 95, QStringLiteral("Grid width"));
  Panel26 = makeValueBox(Panel17, QStringLiteral("Y-axis grid step"));
  ScrollBar9 = makeBar(Panel17, Qt::Vertical, 1, 99, 99, QStringLiteral("Y-axis grid step"));
  left->addWidget(Panel18);
  left->addWidget(ScrollBar5, 2);
  left->addWidget(Panel26);
  left->addWidget(ScrollBar9, 1);

  Panel19 = new TPanel(Chart3);
  Panel19->setFixedHeight(BarThickness);
  auto* top = new QHBoxLayout(Panel19);
  top->setContentsMargins(4, 2, 4, 2);
  Panel20 = makeValueBox(Panel19, QStringLiteral("Grid length"));
  ScrollBar6 = makeBar(Panel19, Qt::Horizontal, 2, 999, 12, QStringLiteral("Grid length"));
  ScrollBar3 = makeBar(Panel19, Qt::Horizontal, 2, 999, 12, QStringLiteral("Grid length"));
  ScrollBar3->setSingleStep(10);
  ScrollBar3->setPageStep(10);
  Panel25 = makeValueBox(Panel19, QStringLiteral("X-axis grid step"));
  ScrollBar8 = makeBar(Panel19, Qt::Horizontal, 1, 99, 1, QStringLiteral("X-axis grid step"));
  top->addWidget(Panel20);
  top->addWidget(ScrollBar6, 3);
  top->addWidget(ScrollBar3, 1);
  top->addSpacing(8);
  top->addWidget(Panel25);
  top->addWidget(ScrollBar8, 1);

  Panel20->setCaption(QString::number(CustomX()));
  Panel18->setCaption(QString::number(CustomY()));
  Panel25->setCaption(QString::number(CustomDX()));
  Panel26->setCaption(QString::number(CustomDY()));
  for (TPanel* bar : {Panel3, Panel13, Panel17, Panel19})
    bar->hide();
  Chart3->setBars(Panel19, Panel17, Panel13, Panel3);
  applySurfaceLook();
}

void TForm1::connectMapHandlers()
{
  connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
  connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
  connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
  connect(ScrollBar1, &QScrollBar::valueChanged, this, &TForm1::ScrollBar1Change);
  connect(ScrollBar2, &QScrollBar::valueChanged, this, &TForm1::ScrollBar2Change);
  connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
  connect(Panel5, &TPanel::clicked, this, &TForm1::Panel5Click);
  connect(Panel15, &TPanel::clicked, this, &TForm1::Panel15Click);
  connect(Panel6, &TPanel::clicked, this, &TForm1::Panel6Click);
  connect(ScrollBar6, &QScrollBar::valueChanged, this, &TForm1::ScrollBar6Change);
  connect(ScrollBar3, &QScrollBar::valueChanged, this, &TForm1::ScrollBar3Change);
  connect(ScrollBar5, &QScrollBar::valueChanged, this, &TForm1::ScrollBar5Change);
  connect(ScrollBar8, &QScrollBar::valueChanged, this, &TForm1::ScrollBar8Change);
  connect(ScrollBar9, &QScrollBar::valueChanged, this, &TForm1::ScrollBar9Change);
  connect(N3D1, &QAction::triggered, this, &TForm1::N3D1Click);
  connect(G1, &QAction::triggered, this, &TForm1::G1Click);
  connect(N8, &QAction::triggered, this, &TForm1::N8Click);
  connect(N34, &QAction::triggered, this, &TForm1::N34Click);
  connect(Chart3->contour(), &Chart::zoomed, this, &TForm1::Chart3Zoom);
  connect(Chart3->contour(), &Chart::undoZoomed, this, &TForm1::Chart3UndoZoom);
}

int TForm1::CustomX() const
{
  return ScrollBar6->value();
}

int TForm1::CustomY() const
{
  return CustomGridLines(ScrollBar5->value());
}

int TForm1::CustomDX() const
{
  return ScrollBar8->value();
}

int TForm1::CustomDY() const
{
  return CustomGridLineStep(ScrollBar9->value());
}

void TForm1::BuildMapSeries()
{
  MapOptions options;
  const int page = static_cast<int>(ViewGroup->actions().indexOf(ViewGroup->checkedAction())) + 1;
  options.size = MapSizeOfView(page, CustomX(), CustomY());
  options.transpose = N34->isChecked();
  options.removeTrend = N33->isChecked();
  options.stressMode = Converttostress1->isChecked();
  options.stress = Stress;
  Map = ComputeMapSeries(Grid, options);

  ContourLines lines = TraceContours(Map);
  QVector<ContourLabel> labels = ContourLabels(Map, lines);
  QVector<QColor> colors;
  for (const ContourLevel& level : Map.levels)
    colors.push_back(colorFromBgr(level.color));
  Chart3->contour()->setContours(std::move(lines), std::move(colors), std::move(labels));
  Chart3->contour()->leftAxis().setMinimum(0);

  SurfaceChart* surface = Chart3->surface();
  surface->setMap(Map.closedColumns(), Map.closedLines(), Map.closed);
  surface->setValueRange(Map.surfaceAxis.min, Map.surfaceAxis.max);
  applySurfaceLook();
}

void TForm1::applySurfaceLook()
{
  SurfaceLook look;
  look.colors = {Panel5->color(), Panel15->color(), Panel6->color()};
  look.steps = SurfacePalette(Map.values, look.colors);
  look.smooth = N8->isChecked();
  look.transparencyPercent = G1->isChecked() ? TransparentPercent : 0;
  Chart3->surface()->setLook(look);
}

void TForm1::ScrollBar1Change()
{
  Chart3->surface()->setRotation(ScrollBar1->value());
}

void TForm1::ScrollBar2Change()
{
  Chart3->surface()->setElevation(360 - ScrollBar2->value());
}

void TForm1::Button1Click()
{
  ScrollBar1->setValue(0);
  ScrollBar2->setValue(45);
  StatusBar1->setFocus();
}

void TForm1::Button2Click()
{
  SurfaceChart* s = Chart3->surface();
  s->setZoomPercent(s->zoomPercent() - ZoomStep);  // never below 5 percent
  StatusBar1->setFocus();
}

void TForm1::Button3Click()
{
  Chart3->surface()->setZoomPercent(SurfaceChart::DesignZoomPercent);
  StatusBar1->setFocus();
}

void TForm1::Button4Click()
{
  SurfaceChart* s = Chart3->surface();
  s->setZoomPercent(s->zoomPercent() + ZoomStep);
  StatusBar1->setFocus();
}

void TForm1::ApplyMinimumLevelColor(unsigned bgr)
{
  Panel5->setColor(bgr);
  applySurfaceLook();
}

void TForm1::ApplyMiddleLevelColor(unsigned bgr)
{
  Panel15->setColor(bgr);
  applySurfaceLook();
}

void TForm1::ApplyMaximumLevelColor(unsigned bgr)
{
  Panel6->setColor(bgr);
  applySurfaceLook();
}

void TForm1::Panel5Click()
{
  if (const auto c = prompts().chooseColor(Panel5->color()))
    ApplyMinimumLevelColor(*c);
}

void TForm1::Panel15Click()
{
  if (const auto c = prompts().chooseColor(Panel15->color()))
    ApplyMiddleLevelColor(*c);
}

void TForm1::Panel6Click()
{
  if (const auto c = prompts().chooseColor(Panel6->color()))
    ApplyMaximumLevelColor(*c);
}

void TForm1::applyCustomDepth()
{
  SurfaceChart* s = Chart3->surface();
  if (const auto depth = SurfaceDepthPercent(s->depthMaximum(), s->bottomMaximum()))
    s->setDepthPercent(*depth);
}

void TForm1::ScrollBar6Change()
{
  const int x = CustomX();
  Panel20->setCaption(QString::number(x));
  Chart3->contour()->bottomAxis().setMaximum(x);
  Chart3->surface()->setBottomMaximum(x);
  applyCustomDepth();
  if (GridHoldsData())
    BuildMapSeries();
  if (N27->isChecked())
    FitContourAspect();
  ScrollBar3->setValue(ScrollBar6->value());
}

void TForm1::ScrollBar3Change()
{
  ScrollBar6->setValue(ScrollBar3->value());
}

void TForm1::ScrollBar5Change()
{
  const int y = CustomY();
  Panel18->setCaption(QString::number(y));
  if (N27->isChecked())
    Chart3->contour()->leftAxis().setRange(0, y);
  if (N28->isChecked())
    Chart3->surface()->setDepthMaximum(y);
  applyCustomDepth();
  if (GridHoldsData())
    BuildMapSeries();
  if (N27->isChecked())
    FitContourAspect();
}

void TForm1::ScrollBar8Change()
{
  Panel25->setCaption(QString::number(CustomDX()));
  if (N27->isChecked())
    FitContourAspect();
  Chart3->surface()->setDepthFactor(SurfaceDepthFactor(CustomDX(), CustomDY()));
}

void TForm1::ScrollBar9Change()
{
  Panel26->setCaption(QString::number(CustomDY()));
  if (N27->isChecked())
    FitContourAspect();
  Chart3->surface()->setDepthFactor(SurfaceDepthFactor(CustomDX(), CustomDY()));
}

void TForm1::N3D1Click()
{
  Chart3->surface()->setOutlines(N3D1->isChecked());
}

void TForm1::G1Click()
{
  applySurfaceLook();
}

void TForm1::N8Click()
{
  applySurfaceLook();
}

void TForm1::N34Click()
{
  if (State.DataLoaded)
    BuildMapSeries();
}

void TForm1::Chart3Zoom()
{
  // Only the contour plot zooms with a rectangle; its lines are one apart.
  Chart3->contour()->leftAxis().setIncrement(1);
}

void TForm1::Chart3UndoZoom()
{
  Chart3Zoom();
}
