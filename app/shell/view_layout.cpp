// The window layout of each view and the overlays on the linear chart. One
// function, LayoutShownView, decides the layout of the checked view; the View
// items, the window's resize and the start-up all go through it.

#include "analysis/map_layout.h"
#include "charts/chart.h"
#include "shell/main_window.h"
#include "shell/panel.h"

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>

namespace {

constexpr int LinearTopMargin = 28;
constexpr int LinearBottomMargin = 16;
constexpr int SurfaceLabelSize = 14;

// Geometry changes of shown and hidden children take effect at once, so that
// the sizes read right after a layout (overlays, margins, proportions) are the
// new ones and a view never waits for a resize to appear.
void settle(QWidget* w)
{
  if (w && w->layout())
    w->layout()->activate();
}

}  // namespace

bool TForm1::IsContourView() const
{
  return N23->isChecked() || N24->isChecked() || N27->isChecked();
}

bool TForm1::IsSurfaceView() const
{
  return N25->isChecked() || N26->isChecked() || N28->isChecked();
}

void TForm1::LayoutShownView()
{
  if (N21->isChecked())
    LayoutLinearView();
  else if (N22->isChecked())
    LayoutCircularView();
  else if (IsContourView())
    LayoutContourView();
  else
    LayoutSurfaceView();
}

void TForm1::LayoutLinearView()
{
  Chart3->hide();
  Chart2->hide();
  Chart1->show();
  Panel2->hide();
  Panel24->hide();
  Panel21->setVisible(N35->isChecked());
  Panel11->show();
  settle(Client);
  settle(ChartArea);
  const QMargins m = Chart1->chartMargins();
  Chart1->setChartMargins(m.left(), LinearTopMargin, m.right(), LinearBottomMargin);
  Chart1->undoZoom();
  PlaceChartOverlays();
}

void TForm1::LayoutCircularView()
{
  Chart3->hide();
  Panel11->hide();
  Chart1->show();
  // Half of the width the linear chart has on its own, whatever the view was:
  // the circular chart takes the right half, the linear chart keeps the left.
  Chart2->setFixedWidth(ChartArea->width() / 2);
  Chart2->show();
  settle(Client);
  settle(ChartArea);
  const int quarter = Chart1->height() / 4;
  const QMargins m = Chart1->chartMargins();
  Chart1->setChartMargins(m.left(), quarter, m.right(), quarter);
  Chart1->undoZoom();
  Chart2->undoZoom();
  PlaceChartOverlays();
  Panel2->show();
  Panel24->show();
}

void TForm1::LayoutContourView()
{
  LayoutLinearView();
  Chart1->hide();
  Panel3->hide();
  Panel13->hide();
  Chart3->contour()->setContoursVisible(true);
  Chart3->surface()->setSurfaceVisible(false);
  Chart3->contour()->leftAxis().setIncrement(1);
  Chart3->setView3D(false);
  Chart3->show();
  Panel11->show();
  settle(ChartArea);
  settle(Chart3);
  FitContourAspect();
}

void TForm1::LayoutSurfaceView()
{
  LayoutLinearView();
  Chart1->hide();
  Panel11->hide();
  Panel3->show();
  Panel13->show();
  Chart3->contour()->setContoursVisible(false);
  Chart3->surface()->setSurfaceVisible(true);
  Chart3->setView3D(true);
  Chart3->contour()->undoZoom();
  Chart3->show();
  Chart3->surface()->setLabelPointSize(SurfaceLabelSize);
  Chart3->contour()->setChartMargins(0, 0, 0, 0);
  settle(ChartArea);
  settle(Chart3);
}

void TForm1::FitContourAspect()
{
  ContourChart* c = Chart3->contour();
  const bool custom = N27->isChecked();
  const auto margins = ::FitContourAspect(
      c->width(), c->height(), c->leftAxis().programMaximum(), c->bottomAxis().programMaximum(),
      custom ? CustomDX() : 1.0, custom ? CustomDY() : 1.0);
  if (margins)
    c->setChartMargins(margins->left, margins->top, margins->right, margins->bottom);
}

void TForm1::PlaceChartOverlays()
{
  const QMargins m = Chart1->chartMargins();
  const int w = Chart1->width();
  const int h = Chart1->height();
  // The chart draws its own title at (left margin - 15, top margin - 20).
  Label1->adjustSize();
  Label1->move(w - m.right() + 4, h - m.bottom() - 28);
  Label2->adjustSize();
  Label2->move(w - m.right() - Label2->width(), m.top() + 1);
  const bool linear = N21->isChecked();
  Panel21->move((w - Panel21->width()) / 2, linear ? 1 : m.top() - 52);
  if (linear) {
    Panel21->setColor(0xB2B2B2);
    Panel21->setRaised(false);
  } else {
    Panel21->setColor(0xF0F0F0);
    Panel21->setRaised(true);
  }
  Panel2->move((w - Panel2->width()) / 2, h - m.bottom() + 10);
  Panel24->move((w - Panel24->width()) / 2, h - m.bottom() + 40);
  const QPoint bar = StatusBar1->mapTo(this, QPoint(0, 0));
  Panel11->move(StatusBar1->width() - 67, bar.y() + 3);
  Panel11->raise();
  for (QWidget* overlay : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
                           static_cast<QWidget*>(Panel21), static_cast<QWidget*>(Panel2),
                           static_cast<QWidget*>(Panel24)})
    overlay->raise();
}
