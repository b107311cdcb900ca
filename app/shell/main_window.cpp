#include "shell/main_window.h"

#include "charts/chart.h"
#include "device/com_port.h"
#include "shell/grid_view.h"
#include "shell/panel.h"
#include "shell/view_rebuild.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>

namespace {

constexpr int GridPanelWidth = 217;
constexpr int GridFrame = 12;
constexpr int CircularChartWidth = 322;
const QString WindowCaption = QStringLiteral("RZ-37m connect");

QAction* addCheck(QMenu* menu, const QString& caption, bool checked)
{
  QAction* a = menu->addAction(caption);
  a->setCheckable(true);
  a->setChecked(checked);
  return a;
}

QPushButton* makeButton(QWidget* parent, const QString& caption, const QRect& geometry)
{
  auto* b = new QPushButton(caption, parent);
  b->setGeometry(geometry);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

}  // namespace

TForm1::TForm1(Prompts& prompts, Clock& clock, QWidget* parent)
    : QMainWindow(parent),
      m_prompts(prompts),
      m_clock(clock),
      m_rebuild(std::make_unique<ViewRebuild>(*this))
{
  setWindowTitle(WindowCaption);
  QFont f = font();
  f.setPointSize(8);
  setFont(f);
  ComPort1 = new TComPort(this);
  createComponents();
  createMenus();
  createPopupMenus();
  createChartOverlays();
  createMapBars();
  connectHandlers();
  connectMapHandlers();
  CreateExportControls();
  ConnectFileExchange();
  Chart1->installEventFilter(this);
  resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height() + StatusBar1->height());
}

TForm1::~TForm1()
{
  // The grid view reads Grid while it is torn down; Grid is a member and goes
  // before the base class deletes the child widgets, so the view goes first.
  delete StringGrid1;
  StringGrid1 = nullptr;
}

void TForm1::createComponents()
{
  Client = new QWidget(this);
  setCentralWidget(Client);
  auto* row = new QHBoxLayout(Client);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  Panel1 = new TPanel(Client);
  Panel1->setFixedWidth(GridPanelWidth);
  Panel1->setColor(0xC0C0C0);
  auto* frame = new QHBoxLayout(Panel1);
  frame->setContentsMargins(GridFrame, GridFrame, GridFrame, GridFrame);
  StringGrid1 = new StringGridView(&Grid, Panel1);
  StringGrid1->setEnabled(false);
  frame->addWidget(StringGrid1);
  Image1 = new QLabel(Panel1);  // the frame strips around the grid are drawn by Panel1
  Image2 = new QLabel(Panel1);
  Image3 = new QLabel(Panel1);
  Image4 = new QLabel(Panel1);
  for (QLabel* img : {Image1, Image2, Image3, Image4})
    img->hide();
  row->addWidget(Panel1);

  ChartArea = new QWidget(Client);
  auto* charts = new QHBoxLayout(ChartArea);
  charts->setContentsMargins(0, 0, 0, 0);
  charts->setSpacing(0);
  Chart1 = new LinearChart(ChartArea);
  Chart1->setTitleText(QStringLiteral("         Br, mT"));
  Chart1->setChartMargins(24, 28, 40, 16);
  Chart1->bottomAxis().setRange(0, 100);
  Chart1->bottomAxis().setIncrement(5);
  Chart1->leftAxis().setRange(0, 20);
  Chart1->leftAxis().setIncrement(1);
  Chart2 = new PolarChart(ChartArea);
  Chart2->setFixedWidth(CircularChartWidth);
  Chart2->hide();
  Chart3 = new MapChart(ChartArea);
  Chart3->hide();
  charts->addWidget(Chart1, 1);
  charts->addWidget(Chart3, 1);
  charts->addWidget(Chart2);
  row->addWidget(ChartArea, 1);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setFixedHeight(19);
  StatusBar1->setSizeGripEnabled(false);
  setStatusBar(StatusBar1);

  Panel11 = new TPanel(this);
  Panel11->setFixedSize(64, 16);
  BitBtn1 = makeButton(Panel11, QStringLiteral("X"), QRect(0, 0, 16, 16));
  BitBtn2 = makeButton(Panel11, QStringLiteral("B"), QRect(16, 0, 16, 16));
  BitBtn3 = makeButton(Panel11, QStringLiteral("J"), QRect(32, 0, 16, 16));
  BitBtn4 = makeButton(Panel11, QStringLiteral("P"), QRect(48, 0, 16, 16));
  Panel11->hide();
}

void TForm1::createMenus()
{
  QMenuBar* bar = menuBar();
  MainFile = bar->addMenu(QStringLiteral("File"));
  N11 = MainFile->addAction(QStringLiteral("Receive data"));
  N12 = MainFile->addAction(QStringLiteral("Open file"));
  N13 = MainFile->addMenu(QStringLiteral("Save..."));
  N131 = N13->addAction(QStringLiteral("All data"));
  N132 = N13->addAction(QStringLiteral("Only visible data"));
  N13->setEnabled(false);
  N14 = MainFile->addAction(QStringLiteral("Exit"));

  QMenu* view = bar->addMenu(QStringLiteral("View"));
  ViewGroup = new QActionGroup(this);
  ViewGroup->setExclusive(true);
  const QStringList views = {
      QStringLiteral("Linear chart"),      QStringLiteral("Circular chart"),
      QStringLiteral("Contour plot 3x12"), QStringLiteral("Contour plot 6x12"),
      QStringLiteral("3D surface 3x12"),   QStringLiteral("3D surface 6x12"),
      QStringLiteral("Contour (custom)"),  QStringLiteral("Surface (custom)")};
  QAction** items[] = {&N21, &N22, &N23, &N24, &N25, &N26, &N27, &N28};
  for (int i = 0; i < views.size(); ++i) {
    *items[i] = addCheck(view, views[i], i == 0);
    ViewGroup->addAction(*items[i]);
  }
  ShownView = N21;

  QMenu* linear = bar->addMenu(QStringLiteral("Linear"));
  N31 = addCheck(linear, QStringLiteral("Show dots"), true);
  N32 = addCheck(linear, QStringLiteral("Show average"), false);
  N35 = addCheck(linear, QStringLiteral("Arrange by record"), false);

  QMenu* threeD = bar->addMenu(QStringLiteral("3D"));
  N3D1 = addCheck(threeD, QStringLiteral("Show outlines"), false);
  G1 = addCheck(threeD, QStringLiteral("Transparent"), false);
  N8 = addCheck(threeD, QStringLiteral("Smooth levels"), false);
  N34 = addCheck(threeD, QStringLiteral("Transpose grid"), false);

  QMenu* math = bar->addMenu(QStringLiteral("Math"));
  N33 = addCheck(math, QStringLiteral("Remove the trend"), false);
  Converttostress1 = addCheck(math, QStringLiteral("Convert to stress (MPa)"), false);
  Openstressdatabase1 = math->addAction(QStringLiteral("Open the stress database"));

  QMenu* help = bar->addMenu(QStringLiteral("Help"));
  N41 = help->addAction(QStringLiteral("RZ-37m connect application manual"));
  N42 = help->addAction(QStringLiteral("RZ-37m metal stress indicator manual"));
  N43 = help->addAction(QStringLiteral("RZ-48 metal stress scanner manual"));
  N44 = help->addAction(QStringLiteral("About"));
}

void TForm1::createPopupMenus()
{
  PopupMenu1 = new QMenu(this);
  N5 = PopupMenu1->addMenu(QStringLiteral("Stretch on graph"));
  MenuItem11 = N5->addAction(QStringLiteral("Selected counts"));
  MenuItem12 = N5->addAction(QStringLiteral("Display all counts"));
  N6 = PopupMenu1->addMenu(QStringLiteral("Select on graph"));
  MenuItem13 = N6->addAction(QStringLiteral("Selected counts"));
  MenuItem14 = N6->addAction(QStringLiteral("Disable selection"));
  MenuItem15 = N6->addAction(QStringLiteral("Disable all selections"));
  MenuItem16 = PopupMenu1->addAction(QStringLiteral("Insert separator"));
  MenuItem17 = PopupMenu1->addAction(QStringLiteral("Delete count(s)"));

  PopupMenu2 = new QMenu(this);
  MenuItem21 = PopupMenu2->addAction(QStringLiteral("Load file"));
  MenuItem22 = PopupMenu2->addAction(QStringLiteral("Delete file"));
  MenuItem22->setShortcut(QKeySequence(Qt::Key_Delete));
  MenuItem23 = PopupMenu2->addAction(QStringLiteral("Delete all"));
  StringGrid1->setPopupMenu(PopupMenu2);
}

void TForm1::createChartOverlays()
{
  Panel21 = new TPanel(Chart1, QStringLiteral(" Record                    of 0"));
  Panel21->setAlignment(Qt::AlignLeft);
  Panel21->setFixedSize(289, 27);
  ScrollBar7 = new QScrollBar(Qt::Horizontal, Panel21);
  ScrollBar7->setGeometry(44, 5, 50, 17);
  ScrollBar7->setRange(1, 1);
  ScrollBar7->setValue(1);
  ScrollBar7->setPageStep(1);
  Panel22 = new TPanel(Panel21, QStringLiteral("1"));
  Panel22->setColor(0xFFFFFF);
  Panel22->setGeometry(44 + (50 - 17) / 2, 5, 17, 17);
  Panel22->setAttribute(Qt::WA_TransparentForMouseEvents);
  Panel23 = new TPanel(Panel21, QStringLiteral("Range [0000..0000]  L=0000"));
  Panel23->setAlignment(Qt::AlignRight);
  Panel23->setTransparent(true);  // the caption's record count shows through
  Panel23->setGeometry(128, 5, 155, 17);
  Panel21->hide();

  Panel2 = new TPanel(Chart1);
  Panel2->setFixedSize(300, 26);
  Panel8 = new TPanel(Panel2);
  Panel8->setGeometry(4, 4, 18, 18);
  Panel8->setColor(0xFF0000);  // blue
  Panel8->setToolTip(QStringLiteral("Graph color"));
  Panel9 = new TPanel(Panel2);
  Panel9->setGeometry(26, 4, 18, 18);
  Panel9->setColor(0x0000FF);  // red
  Panel9->setToolTip(QStringLiteral("Average line color"));
  Button5 = makeButton(Panel2, QStringLiteral("-"), QRect(60, 3, 24, 20));
  Button5->setToolTip(QStringLiteral("Zoom out"));
  Button6 = makeButton(Panel2, QStringLiteral("x1"), QRect(86, 3, 30, 20));
  Button7 = makeButton(Panel2, QStringLiteral("+"), QRect(118, 3, 24, 20));
  Button7->setToolTip(QStringLiteral("Zoom in"));
  BitBtn5 = makeButton(Panel2, QStringLiteral("X"), QRect(160, 3, 24, 20));
  BitBtn6 = makeButton(Panel2, QStringLiteral("B"), QRect(186, 3, 24, 20));
  BitBtn7 = makeButton(Panel2, QStringLiteral("J"), QRect(212, 3, 24, 20));
  BitBtn8 = makeButton(Panel2, QStringLiteral("P"), QRect(238, 3, 24, 20));
  Panel2->hide();

  Panel24 = new TPanel(Chart1);
  Panel24->setFixedSize(260, 14);
  Image5 = new QLabel(Panel24);
  Image5->setGeometry(0, 0, 260, 14);
  Panel24->hide();

  Label1 = new QLabel(QStringLiteral(" N "), Chart1);
  Label1->setAttribute(Qt::WA_TranslucentBackground);
  Label2 = new QLabel(Chart1);
  Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
  Label2->setAttribute(Qt::WA_TranslucentBackground);
  Label2->hide();
}

void TForm1::connectHandlers()
{
  connect(N11, &QAction::triggered, this, &TForm1::N11Click);
  connect(N12, &QAction::triggered, this, &TForm1::N12Click);
  connect(N131, &QAction::triggered, this, &TForm1::N131Click);
  connect(N132, &QAction::triggered, this, &TForm1::N132Click);
  connect(N14, &QAction::triggered, this, &TForm1::N14Click);
  connect(ViewGroup, &QActionGroup::triggered, this, &TForm1::ViewItemClick);
  connect(N31, &QAction::triggered, this, &TForm1::N31Click);
  connect(N32, &QAction::triggered, this, &TForm1::N32Click);
  connect(N35, &QAction::triggered, this, &TForm1::N35Click);
  connect(N33, &QAction::triggered, this, &TForm1::N33Click);
  connect(Converttostress1, &QAction::triggered, this, &TForm1::Converttostress1Click);
  connect(Openstressdatabase1, &QAction::triggered, this, &TForm1::Openstressdatabase1Click);
  connect(N41, &QAction::triggered, this, &TForm1::N41Click);
  connect(N42, &QAction::triggered, this, &TForm1::N42Click);
  connect(N43, &QAction::triggered, this, &TForm1::N43Click);
  connect(N44, &QAction::triggered, this, &TForm1::N44Click);
  connect(MenuItem11, &QAction::triggered, this, &TForm1::MenuItem11Click);
  connect(MenuItem12, &QAction::triggered, this, &TForm1::MenuItem12Click);
  connect(MenuItem13, &QAction::triggered, this, &TForm1::MenuItem13Click);
  connect(MenuItem14, &QAction::triggered, this, &TForm1::MenuItem14Click);
  connect(MenuItem15, &QAction::triggered, this, &TForm1::MenuItem15Click);
  connect(MenuItem16, &QAction::triggered, this, &TForm1::MenuItem16Click);
  connect(MenuItem17, &QAction::triggered, this, &TForm1::MenuItem17Click);
  connect(MenuItem21, &QAction::triggered, this, &TForm1::MenuItem21Click);
  connect(MenuItem22, &QAction::triggered, this, &TForm1::MenuItem22Click);
  connect(MenuItem23, &QAction::triggered, this, &TForm1::MenuItem23Click);
  connect(StringGrid1, &StringGridView::rowActivated, this, [this] { StringGrid1DblClick(); });
  connect(StringGrid1, &StringGridView::deletePressed, this, [this] {
    if (StringGrid1->popupMenu() == PopupMenu2)
      MenuItem22Click();
  });
  connect(ScrollBar7, &QScrollBar::valueChanged, this, &TForm1::ScrollBar7Change);
  for (TPanel* part : {Panel21, Panel22, Panel23})
    connect(part, &TPanel::captionChanged, this, &TForm1::LayoutRecordNavigator);
  connect(ScrollBar7, &QScrollBar::rangeChanged, this, &TForm1::LayoutRecordNavigator);
  LayoutRecordNavigator();
  connect(Chart1, &Chart::zoomed, this, &TForm1::Chart1Zoom);
  connect(Chart1, &Chart::undoZoomed, this, &TForm1::Chart1UndoZoom);
  connect(Panel8, &TPanel::clicked, this, &TForm1::Panel8Click);
  connect(Panel9, &TPanel::clicked, this, &TForm1::Panel9Click);
}

void TForm1::resizeEvent(QResizeEvent* event)
{
  QMainWindow::resizeEvent(event);
  FormResize();
}

bool TForm1::event(QEvent* event)
{
  // The status bar is one text panel that only the program writes: a menu item
  // under the mouse must not wipe what a load or a connection reported.
  if (event->type() == QEvent::StatusTip)
    return true;
  return QMainWindow::event(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
  // The overlays follow the linear chart's own size, which the layout settles
  // only after the window's resize event.
  if (watched == Chart1 && event->type() == QEvent::Resize)
    PlaceChartOverlays();
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::FormResize()
{
  LayoutShownView();
  PlaceChartOverlays();
}

void TForm1::closeEvent(QCloseEvent* event)
{
  ClosePort();
  m_rebuild->formClosing();
  event->accept();
}

void TForm1::N14Click()
{
  close();
}

void TForm1::ClosePort()
{
  if (!ComPort1->Connected())
    return;
  try {
    ComPort1->Close();
  } catch (const std::exception&) {
    // Closing at exit or before opening a file: nothing the user could do about it.
  }
}
