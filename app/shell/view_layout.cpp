// The window layout of each view and the overlays on the linear chart.

#include "charts/chart.h"
#include "shell/main_window.h"
#include "shell/panel.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>

void TForm1::LayoutLinearView()
{
  Chart3->hide();
  Chart2->hide();
  Chart1->show();
  Panel2->hide();
  Panel24->hide();
  Panel21->setVisible(N35->isChecked());
  Panel11->show();
  const QMargins m = Chart1->chartMargins();
  Chart1->setChartMargins(m.left(), 28, m.right(), 16);
  Chart1->undoZoom();
  PlaceChartOverlays();
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

void TForm1::ViewItemClick(QAction* item)
{
  // The items form one radio group: clicking the view already shown changes
  // nothing. The map views' axis and grid steps come with their charts.
  item->setChecked(true);
  if (item == ShownView)
    return;
  ShownView = item;
  if (item == N21)
    LayoutLinearView();
  else if (item == N22)
    LayoutCircularView();
  else if (item == N23 || item == N24 || item == N27)
    LayoutContourView();
  else
    LayoutSurfaceView();
}
