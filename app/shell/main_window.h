#pragma once
// The main window: its controls and the handlers of their events. The handlers
// live in one file per subsystem (files, linear chart, device, views, math); the
// cross-subsystem sequences live in ViewRebuild.

#include "analysis/map_grid.h"
#include "analysis/stress_law.h"
#include "common/app_state.h"
#include "common/profile_settings.h"
#include "data/count_editing.h"
#include "data/measurement_grid.h"
#include "export/report_settings.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class Chart;
struct XlsSeries;
enum class PictureFormat;
class ChartSeries;
class LinearChart;
class MapChart;
class PolarChart;
class Clock;
class FileExchange;
class Prompts;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QStatusBar;
class StringGridView;
class TPanel;
class TComPort;
class TForm2;
class TForm3;
class TForm4;
class ViewRebuild;

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int ClientWidth = 863;
  static constexpr int ClientHeight = 353;

  TForm1(Prompts& prompts, Clock& clock, QWidget* parent = nullptr);
  ~TForm1() override;

  Prompts& prompts() { return m_prompts; }
  Clock& clock() { return m_clock; }
  ViewRebuild& rebuild() { return *m_rebuild; }

  // The other windows, created after the main window (set by the start-up).
  TForm2* About = nullptr;
  TForm3* Form3 = nullptr;
  TForm4* Form4 = nullptr;

  // The single data store and the shared state.
  MeasurementGrid Grid;
  AppState State;
  StressLaw Stress;

  // The one serial port, to the connected instrument (closed at start).
  TComPort* ComPort1 = nullptr;

  // Controls, named as on the form.
  QWidget* Client = nullptr;
  TPanel* Panel1 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Image2 = nullptr;
  QLabel* Image3 = nullptr;
  QLabel* Image4 = nullptr;
  StringGridView* StringGrid1 = nullptr;
  QWidget* ChartArea = nullptr;  // holds Chart1, Chart2 and Chart3 side by side
  LinearChart* Chart1 = nullptr;
  PolarChart* Chart2 = nullptr;
  MapChart* Chart3 = nullptr;  // the contour and surface chart
  QStatusBar* StatusBar1 = nullptr;
  TPanel* Panel11 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QPushButton* BitBtn3 = nullptr;
  QPushButton* BitBtn4 = nullptr;
  TPanel* Panel21 = nullptr;
  QScrollBar* ScrollBar7 = nullptr;
  TPanel* Panel22 = nullptr;
  TPanel* Panel23 = nullptr;
  TPanel* Panel2 = nullptr;
  TPanel* Panel8 = nullptr;
  TPanel* Panel9 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button6 = nullptr;
  QPushButton* Button7 = nullptr;
  QPushButton* BitBtn5 = nullptr;
  QPushButton* BitBtn6 = nullptr;
  QPushButton* BitBtn7 = nullptr;
  QPushButton* BitBtn8 = nullptr;
  TPanel* Panel24 = nullptr;
  QLabel* Image5 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;

  // Menus.
  QMenu* MainFile = nullptr;
  QAction *N11 = nullptr, *N12 = nullptr, *N14 = nullptr;
  QMenu* N13 = nullptr;
  QAction *N131 = nullptr, *N132 = nullptr;
  QActionGroup* ViewGroup = nullptr;
  QAction* ShownView = nullptr;  // the View item whose layout is on screen
  QAction *N21 = nullptr, *N22 = nullptr, *N23 = nullptr, *N24 = nullptr;
  QAction *N25 = nullptr, *N26 = nullptr, *N27 = nullptr, *N28 = nullptr;
  QAction *N31 = nullptr, *N32 = nullptr, *N35 = nullptr;
  QAction *N3D1 = nullptr, *G1 = nullptr, *N8 = nullptr, *N34 = nullptr;
  QAction *N33 = nullptr, *Converttostress1 = nullptr, *Openstressdatabase1 = nullptr;
  QAction *N41 = nullptr, *N42 = nullptr, *N43 = nullptr, *N44 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QMenu *N5 = nullptr, *N6 = nullptr;
  QAction *MenuItem11 = nullptr, *MenuItem12 = nullptr, *MenuItem13 = nullptr;
  QAction *MenuItem14 = nullptr, *MenuItem15 = nullptr, *MenuItem16 = nullptr;
  QAction* MenuItem17 = nullptr;
  QMenu* PopupMenu2 = nullptr;
  QAction *MenuItem21 = nullptr, *MenuItem22 = nullptr, *MenuItem23 = nullptr;

  // Window events.
  void FormResize();  // the window resized, maximised or restored
  void N14Click();    // File > Exit

  // Measurement files.
  void N12Click();  // File > Open file
  void LoadMeasurementFile(const QString& path);
  void N131Click();  // File > Save... > All data
  void N132Click();  // File > Save... > Only visible data
  void SaveMeasurementRows(int firstRow, int lastRow);

  // Statistics, linear chart and record navigation.
  int ComputeRangeStatistics(int firstRow, int lastRow);
  void FillLinearChart();
  void ScrollBar7Change();  // record navigator: its scroll bar
  // Places the navigator's texts and controls from their widths in the font in use.
  void LayoutRecordNavigator();
  void N31Click();        // Linear > Show dots
  void N32Click();        // Linear > Show average
  void N35Click();        // Linear > Arrange by record
  void Chart1Zoom();      // linear chart: a rectangle drawn to zoom
  void Chart1UndoZoom();  // linear chart: a rectangle drawn back to undo
  void Panel8Click();     // "Graph color" swatch
  void Panel9Click();     // "Average line color" swatch

  // Math.
  void N33Click();                  // Math > Remove the trend
  void Converttostress1Click();     // Math > Convert to stress (MPa)
  void Openstressdatabase1Click();  // Math > Open the stress database

  // Views.
  void LayoutLinearView();
  void LayoutCircularView();
  void LayoutContourView();
  void LayoutSurfaceView();
  void PlaceChartOverlays();
  void FillCircularChart();
  void BuildMapSeries();
  void ViewItemClick(QAction* item);  // View > any of the eight items
  // The layout of the checked view: the one place that decides it, for the View
  // items, the window's resize and the start-up alike.
  void LayoutShownView();
  void FitContourAspect();
  bool IsContourView() const;  // one of the three contour views is checked
  bool IsSurfaceView() const;  // one of the three surface views is checked
  // The measurement grid holds measurements (its header is not the file list's).
  bool GridHoldsData() const;
  // The map last built, as both map series show it (exports read it).
  MapSeries Map;
  // Circular chart (Panel2): zoom of the radius axis.
  void Button5Click();  // "-" Zoom out
  void Button6Click();  // "x1"
  void Button7Click();  // "+" Zoom in
  // 3D surface bars: Panel3 (bottom: colours, zoom, horizontal rotation),
  // Panel13 (right: vertical rotation), Panel17 (left: grid width, Y step),
  // Panel19 (top: grid length, X step), with their value boxes.
  TPanel* Panel3 = nullptr;
  TPanel* Panel13 = nullptr;
  TPanel* Panel17 = nullptr;
  TPanel* Panel19 = nullptr;
  QScrollBar* ScrollBar1 = nullptr;  // Horizontal rotation, -90..90
  QScrollBar* ScrollBar2 = nullptr;  // Vertical rotation, 0..90 (elevation 360 - position)
  QPushButton* Button1 = nullptr;    // "0" Rotate to initial position
  QPushButton* Button2 = nullptr;    // "-" Zoom out
  QPushButton* Button3 = nullptr;    // "x1"
  QPushButton* Button4 = nullptr;    // "+" Zoom in
  TPanel* Panel5 = nullptr;          // Minimum level color
  TPanel* Panel15 = nullptr;         // Middle level color
  TPanel* Panel6 = nullptr;          // Maximum level color
  QScrollBar* ScrollBar6 = nullptr;  // Grid length X, 2..999
  QScrollBar* ScrollBar3 = nullptr;  // the same X in steps of 10
  TPanel* Panel20 = nullptr;         // shows X
  QScrollBar* ScrollBar5 = nullptr;  // Grid width, Y = 101 - position
  TPanel* Panel18 = nullptr;         // shows Y
  QScrollBar* ScrollBar8 = nullptr;  // X-axis grid step dX, 1..99
  TPanel* Panel25 = nullptr;         // shows dX
  QScrollBar* ScrollBar9 = nullptr;  // Y-axis grid step, dY = 100 - position
  TPanel* Panel26 = nullptr;         // shows dY
  int CustomX() const;
  int CustomY() const;
  int CustomDX() const;
  int CustomDY() const;
  void ScrollBar1Change();
  void ScrollBar2Change();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Panel5Click();
  void Panel15Click();
  void Panel6Click();
  // The palette colours applied without the dialog (as the settings do).
  void ApplyMinimumLevelColor(unsigned bgr);
  void ApplyMiddleLevelColor(unsigned bgr);
  void ApplyMaximumLevelColor(unsigned bgr);
  void ScrollBar6Change();
  void ScrollBar3Change();
  void ScrollBar5Change();
  void ScrollBar8Change();
  void ScrollBar9Change();
  void N3D1Click();  // 3D > Show outlines
  void G1Click();    // 3D > Transparent
  void N8Click();    // 3D > Smooth levels
  void N34Click();   // 3D > Transpose grid
  void Chart3Zoom();
  void Chart3UndoZoom();

  // Device link.
  void N11Click();  // File > Receive data
  // Measurement grid: a double-click or Enter on a row (a file of the list,
  // or the "Return" row back to it).
  void StringGrid1DblClick();
  void MenuItem21Click();  // file list popup > Load file
  void MenuItem22Click();  // file list popup > Delete file (Delete key)
  void MenuItem23Click();  // file list popup > Delete all
  void ClosePort();        // closes the serial port if open; errors are ignored
  void ClearViews();       // charts and record navigator emptied before an exchange

  // Count editing.
  void MenuItem11Click();  // counts popup > Stretch on graph > Selected counts
  void MenuItem12Click();  // counts popup > Stretch on graph > Display all counts
  void MenuItem13Click();  // counts popup > Select on graph > Selected counts
  void MenuItem14Click();  // counts popup > Select on graph > Disable selection
  void MenuItem15Click();  // counts popup > Select on graph > Disable all selections
  void MenuItem16Click();  // counts popup > Insert separator
  void MenuItem17Click();  // counts popup > Delete count(s)

  // Help.
  void N41Click();  // Help > RZ-37m connect application manual
  void N42Click();  // Help > RZ-37m metal stress indicator manual
  void N43Click();  // Help > RZ-48 metal stress scanner manual
  void N44Click();  // Help > About

  // Handlers added by later subsystems go below.
  // Linear chart: the series of Chart1 (0 line, 1 dots, 2 selection markers,
  // 3 average line) and Chart2 (0 values, 1 mean), created with their look on
  // first use; the statistics label (lines separated by a carriage return); the
  // colour choices applied without the dialog (as the settings do at start-up).
  void CreateChartSeries();
  ChartSeries* LinearSeries(int index);
  ChartSeries* CircularSeries(int index);
  void SetStatisticsLabel(const QString& text);
  void ApplyGraphColor(unsigned bgr);
  void ApplyAverageColor(unsigned bgr);
  // Starting folders of the open and save dialogs (OpenDialog1, SaveDialog1);
  // empty means the "Data" folder beside the program.
  QString OpenDialog1InitialDir;
  QString SaveDialog1InitialDir;
  // Instrument file exchange: the port's receive and error handlers are wired
  // once by the constructor; Exchange holds the request under way.
  void ConnectFileExchange();
  void ComPort1RxChar(int Count);  // serial port: bytes received
  // The directory was asked for ("4" sent): watch for its answer from now on.
  void ListingRequested();
  // The user has left the exchange under way (Connect, Disconnect, a file
  // opened): its answer or silence later changes nothing on the window.
  void EndExchange();
  FileExchange* Exchange = nullptr;
  // Export: the status-bar set BitBtn1..4 (Chart1 in the linear view, else the
  // map set), the circular set BitBtn5..8 (Chart2), the map set BitBtn9..12 on
  // Panel10 (Chart3); each shows its text as a hint. SaveDialog1Filter is the
  // save dialog's filter, "" for its resting CSV filter.
  TPanel* Panel10 = nullptr;
  QPushButton* BitBtn9 = nullptr;
  QPushButton* BitBtn10 = nullptr;
  QPushButton* BitBtn11 = nullptr;
  QPushButton* BitBtn12 = nullptr;
  QString SaveDialog1Filter;
  QString DataFileName;                  // the measurement file on display, for the report
  QAction* Inspectionreport1 = nullptr;  // File > "Inspection report..."
  void BitBtn1Click();
  void BitBtn2Click();
  void BitBtn3Click();
  void BitBtn4Click();
  void BitBtn5Click();
  void BitBtn6Click();
  void BitBtn7Click();
  void BitBtn8Click();
  void BitBtn9Click();
  void BitBtn10Click();
  void BitBtn11Click();
  void BitBtn12Click();
  void Inspectionreport1Click();
  void ExportSeriesToXls(const XlsSeries& points, bool labelsAllowed);
  // chart: a 2D chart or the 3D surface (written as its rendered image).
  void SaveChartBitmap(QWidget* chart, bool adjustMargins);
  void SaveChartPicture(QWidget* chart, PictureFormat format, bool hideTitle, bool adjustMargins);
  QWidget* MapPictureChart() const;  // Chart3's contour plot or surface, as on display
  void RestoreSaveDialog1();
  void CreateExportControls();
  // The report's title, object and operator: the real dialog unless a test
  // answers instead; nothing when cancelled.
  std::function<std::optional<ReportPeople>(const ReportPeople&)> AskReportPeople;
  // The report of what the window shows now; false + *error when it cannot be written.
  bool WriteInspectionReport(const QString& path, const ReportPeople& people, QString* error);
  // The statistics label's tip for the rows it shows (the same figures as the report).
  void UpdateStatisticsToolTip(int firstRow, int lastRow);
  // The same tip again for the rows last counted, in the unit now in force.
  void RefreshStatisticsToolTip();
  int StatisticsFirstRow = 2;
  int StatisticsLastRow = 1;
  // Count editing (PopupMenu1): the commands act only on measurements, never on
  // the instrument's file list or while a request to it is under way.
  bool CountEditingAllowed() const;
  void RemoveSelectionMarks(int firstRow, int lastRow);
  void AfterCountEdit(const CountEdit& edit);
  // Settings file Config.ini beside the program: read once at start-up, each
  // setting applied by the click a user would make; written whole at close.
  // Settings keeps what was read, so that keys without a control on the form
  // are written back as they came.
  ProfileSettings Settings;
  void ApplySettingsFile();
  bool StoreSettingsFile();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void createComponents();
  void createMenus();
  void createPopupMenus();
  void createChartOverlays();
  void createMapBars();
  void createCustomGridBars();
  void connectMapHandlers();
  void applySurfaceLook();
  void applyCustomDepth();
  void connectHandlers();

  Prompts& m_prompts;
  Clock& m_clock;
  std::unique_ptr<ViewRebuild> m_rebuild;
};
