// The export buttons of the main window: chart data to XLS, chart pictures to
// BMP, JPEG and PDF, and File > "Inspection report...".

#include "charts/chart.h"
#include "charts/chart_export.h"
#include "charts/contour_chart.h"
#include "charts/map_chart.h"
#include "charts/report_pdf.h"
#include "charts/surface_chart.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "common/prompts.h"
#include "data/measurement_file.h"
#include "export/export_names.h"
#include "export/export_series.h"
#include "export/report_content.h"
#include "export/xls_writer.h"
#include "shell/device_dialog.h"
#include "shell/main_window.h"
#include "shell/panel.h"
#include "shell/report_dialog.h"
#include "shell/stress_db_window.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTableWidget>

namespace {

const QString XlsHint = QStringLiteral("Export to Excel file (XLS)");
const QString BmpHint = QStringLiteral("Export to BMP image");
const QString JpegHint = QStringLiteral("Export to JPEG image");
const QString PdfHint = QStringLiteral("Export to PDF file");
const QString ExportCaption = QStringLiteral("Export");

void setHints(QPushButton* xls, QPushButton* bmp, QPushButton* jpeg, QPushButton* pdf)
{
  xls->setToolTip(XlsHint);
  bmp->setToolTip(BmpHint);
  jpeg->setToolTip(JpegHint);
  pdf->setToolTip(PdfHint);
}

QPushButton* mapButton(QWidget* parent, const QString& caption)
{
  auto* b = new QPushButton(caption, parent);
  b->setFixedSize(24, 20);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

QString replaceQuestion(const QString& path)
{
  return QStringLiteral("%1 already exists.\nDo you want to replace it?")
      .arg(QFileInfo(path).fileName());
}

// A save dialog with a default extension that asks before an existing file is
// replaced; "No" goes back to the dialog.
std::optional<QString> askNewFile(Prompts& prompts, const Prompts::FileRequest& request,
                                  const QString& defaultExtension)
{
  for (;;) {
    const auto chosen = prompts.saveFile(request);
    if (!chosen)
      return std::nullopt;
    const QString path = withDefaultExtension(*chosen, defaultExtension);
    if (!QFileInfo::exists(path))
      return path;
    const auto answer = prompts.question(request.caption, replaceQuestion(path),
                                         {Prompts::Answer::Yes, Prompts::Answer::No},
                                         Prompts::Answer::No, Prompts::Icon::Warning, 0);
    if (answer == Prompts::Answer::Yes)
      return path;
  }
}

}  // namespace

void TForm1::CreateExportControls()
{
  // The map set sits at the right end of the surface views' bottom bar.
  Panel10 = new TPanel(Panel3);
  auto* row = new QHBoxLayout(Panel10);
  row->setContentsMargins(4, 0, 0, 0);
  row->setSpacing(2);
  BitBtn9 = mapButton(Panel10, QStringLiteral("X"));
  BitBtn10 = mapButton(Panel10, QStringLiteral("B"));
  BitBtn11 = mapButton(Panel10, QStringLiteral("J"));
  BitBtn12 = mapButton(Panel10, QStringLiteral("P"));
  for (QPushButton* b : {BitBtn9, BitBtn10, BitBtn11, BitBtn12})
    row->addWidget(b);
  if (auto* bar = qobject_cast<QBoxLayout*>(Panel3->layout()))
    bar->addWidget(Panel10);
  setHints(BitBtn1, BitBtn2, BitBtn3, BitBtn4);
  setHints(BitBtn5, BitBtn6, BitBtn7, BitBtn8);
  setHints(BitBtn9, BitBtn10, BitBtn11, BitBtn12);

  Inspectionreport1 = new QAction(QStringLiteral("Inspection report..."), this);
  MainFile->insertAction(N14, Inspectionreport1);

  const std::pair<QPushButton*, void (TForm1::*)()> handlers[] = {
      {BitBtn1, &TForm1::BitBtn1Click},   {BitBtn2, &TForm1::BitBtn2Click},
      {BitBtn3, &TForm1::BitBtn3Click},   {BitBtn4, &TForm1::BitBtn4Click},
      {BitBtn5, &TForm1::BitBtn5Click},   {BitBtn6, &TForm1::BitBtn6Click},
      {BitBtn7, &TForm1::BitBtn7Click},   {BitBtn8, &TForm1::BitBtn8Click},
      {BitBtn9, &TForm1::BitBtn9Click},   {BitBtn10, &TForm1::BitBtn10Click},
      {BitBtn11, &TForm1::BitBtn11Click}, {BitBtn12, &TForm1::BitBtn12Click}};
  for (const auto& [button, handler] : handlers)
    connect(button, &QPushButton::clicked, this, handler);
  connect(Inspectionreport1, &QAction::triggered, this, &TForm1::Inspectionreport1Click);
}

void TForm1::RestoreSaveDialog1()
{
  SaveDialog1InitialDir.clear();  // the "Data" folder
  SaveDialog1Filter.clear();      // the CSV filter
}

// --- Status-bar set: the linear chart, or the map chart outside the linear view.

void TForm1::BitBtn1Click()
{
  StatusBar1->setFocus();
  if (!N21->isChecked()) {
    BitBtn9->click();
    return;
  }
  ExportSeriesToXls(xlsSeriesOf(*LinearSeries(1)), false);
}

void TForm1::BitBtn2Click()
{
  StatusBar1->setFocus();
  if (!N21->isChecked()) {
    BitBtn10->click();
    return;
  }
  SaveChartBitmap(Chart1, false);
}

void TForm1::BitBtn3Click()
{
  StatusBar1->setFocus();
  if (!N21->isChecked()) {
    BitBtn11->click();
    return;
  }
  SaveChartPicture(Chart1, PictureFormat::Jpeg, false, false);
}

void TForm1::BitBtn4Click()
{
  StatusBar1->setFocus();
  if (!N21->isChecked()) {
    BitBtn12->click();
    return;
  }
  SaveChartPicture(Chart1, PictureFormat::Pdf, true, false);
}

// --- Circular set.

void TForm1::BitBtn5Click()
{
  StatusBar1->setFocus();
  ExportSeriesToXls(xlsSeriesOf(*CircularSeries(0)), false);
}

void TForm1::BitBtn6Click()
{
  StatusBar1->setFocus();
  SaveChartBitmap(Chart2, true);
}

void TForm1::BitBtn7Click()
{
  StatusBar1->setFocus();
  SaveChartPicture(Chart2, PictureFormat::Jpeg, false, true);
}

void TForm1::BitBtn8Click()
{
  StatusBar1->setFocus();
  SaveChartPicture(Chart2, PictureFormat::Pdf, false, true);
}

// --- Map set.

QWidget* TForm1::MapPictureChart() const
{
  if (Chart3->view3D())
    return Chart3->surface();
  return Chart3->contour();
}

void TForm1::BitBtn9Click()
{
  StatusBar1->setFocus();
  ExportSeriesToXls(MapXlsSeries(Map), MapXlsLabels);
}

void TForm1::BitBtn10Click()
{
  StatusBar1->setFocus();
  SaveChartBitmap(MapPictureChart(), false);
}

void TForm1::BitBtn11Click()
{
  StatusBar1->setFocus();
  SaveChartPicture(MapPictureChart(), PictureFormat::Jpeg, false, false);
}

void TForm1::BitBtn12Click()
{
  StatusBar1->setFocus();
  SaveChartPicture(MapPictureChart(), PictureFormat::Pdf, false, false);
}

// --- The operations.

void TForm1::ExportSeriesToXls(const XlsSeries& points, bool labelsAllowed)
{
  QString error;
  if (points.count() > XlsMaxRows) {
    // Refused before a name is asked for: nothing of it could be written.
    xlsWorksheet(points, labelsAllowed, &error);
    prompts().message(error, ExportCaption, Prompts::Icon::Warning);
    return;
  }
  const auto restore = qScopeGuard([this] { RestoreSaveDialog1(); });
  SaveDialog1InitialDir = ProgramFolder::outputFolder();
  SaveDialog1Filter = XlsFilter;
  const auto chosen =
      prompts().saveFile({XlsHint, SaveDialog1InitialDir, QString(), SaveDialog1Filter});
  if (!chosen)
    return;
  if (!writeXlsFile(withExactExtension(*chosen, XlsExtension), points, labelsAllowed, &error))
    prompts().message(error, ExportCaption, Prompts::Icon::Error);
}

void TForm1::SaveChartBitmap(QWidget* chart, bool adjustMargins)
{
  const auto restore = qScopeGuard([this] { RestoreSaveDialog1(); });
  SaveDialog1InitialDir = ProgramFolder::outputFolder();
  SaveDialog1Filter = BmpFilter;
  const auto chosen =
      prompts().saveFile({BmpHint, SaveDialog1InitialDir, QString(), SaveDialog1Filter});
  if (!chosen)
    return;
  const ExportLook look(chart, adjustMargins, false);
  QString error;
  if (!saveChartPictureFile(chart, withExactExtension(*chosen, BmpExtension), PictureFormat::Bmp,
                            &error))
    prompts().message(error, ExportCaption, Prompts::Icon::Error);
}

void TForm1::SaveChartPicture(QWidget* chart, PictureFormat format, bool hideTitle,
                              bool adjustMargins)
{
  const bool jpeg = format == PictureFormat::Jpeg;
  const ExportLook look(chart, adjustMargins, hideTitle);
  const Prompts::FileRequest request{jpeg ? JpegHint : PdfHint, ProgramFolder::outputFolder(),
                                     QString(), jpeg ? JpegFilter : PdfFilter};
  const auto path = askNewFile(prompts(), request, jpeg ? JpegExtension : PdfExtension);
  if (!path)
    return;
  QString error;
  if (!saveChartPictureFile(chart, *path, format, &error))
    prompts().message(error, ExportCaption, Prompts::Icon::Error);
}

// --- The inspection report.

namespace {

const QString ReportCaption = QStringLiteral("Inspection report");
const QString ConfigFileName = QStringLiteral("Config.ini");

QString instrumentOf(TForm1& f)
{
  // A file opened from disk drops the port; a download keeps the device chosen.
  if (f.State.SelectedPort == NoPortSelected || !f.Form3 || !f.Form3->StringGrid1)
    return {};
  const QTableWidget* list = f.Form3->StringGrid1;
  const QTableWidgetItem* item = list->item(list->currentRow(), 0);
  return item ? item->text().trimmed() : QString();
}

StressItemRow stressItemOf(TForm1& f)
{
  if (!f.Form4)
    return {};
  const int row = f.Stress.AppliedStressItem;
  return {f.Form4->Table.cell(row, 0), f.Form4->Table.cell(row, 1), f.Form4->Table.cell(row, 2),
          f.Form4->Table.cell(row, 3)};
}

QString proposedReportName(const QString& fileName)
{
  const QString base = QFileInfo(fileName).completeBaseName();
  return (base.isEmpty() ? QStringLiteral("Report") : base + QStringLiteral("_report")) +
         QStringLiteral(".pdf");
}

// The surface of the map on display as its view draws it. From a contour view
// the matching surface view is shown for the picture and the contour view
// comes back: the 3D graph renders only once it has been on screen.
QImage surfacePicture(TForm1& f)
{
  if (f.Chart3->view3D())
    return waitUntilDrawable(f.Chart3->surface()) ? f.Chart3->surface()->picture() : QImage();
  QAction* shown = f.ShownView;
  QAction* surfaceView = shown == f.N23 ? f.N25 : shown == f.N24 ? f.N26 : f.N28;
  surfaceView->trigger();
  QImage image;
  if (waitUntilDrawable(f.Chart3->surface()))
    image = f.Chart3->surface()->picture();
  shown->trigger();
  return image;
}

}  // namespace

void TForm1::UpdateStatisticsToolTip(int firstRow, int lastRow)
{
  const bool stress = Converttostress1->isChecked();
  Label2->setToolTip(
      StatisticsToolTip(SummariseRows(Grid, firstRow, lastRow, stress, Stress), stress));
}

void TForm1::RefreshStatisticsToolTip()
{
  UpdateStatisticsToolTip(StatisticsFirstRow, StatisticsLastRow);
}

bool TForm1::WriteInspectionReport(const QString& path, const ReportPeople& people, QString* error)
{
  ReportInfo info;
  info.title = people.title;
  info.object = people.object;
  info.operatorName = people.operatorName;
  info.fileName = DataFileName;
  info.instrument = instrumentOf(*this);
  info.version = ProgramVersion();
  info.created = clock().now();
  info.stressMode = Converttostress1->isChecked();
  info.stressItem = stressItemOf(*this);
  const ReportText text = ComposeReport(info, Grid, Stress);

  QVector<ReportFigure> figures;
  figures.append({QStringLiteral("Linear chart"), Chart1, false, false, {}});
  figures.append({QStringLiteral("Circular chart"), Chart2, true, true, {}});
  QAction* shown = ShownView;
  if (!N21->isChecked() && !N22->isChecked()) {
    const QString size = QStringLiteral(" %1 x %2").arg(Map.size.lines).arg(Map.size.columns);
    const QImage surface = surfacePicture(*this);
    // The contour plot is drawn as vectors while the PDF is written, in the
    // layout of its own view.
    QAction* contourView = shown == N25 ? N23 : shown == N26 ? N24 : shown == N28 ? N27 : shown;
    if (ShownView != contourView) {
      contourView->trigger();
      QCoreApplication::processEvents();
    }
    figures.append(
        {QStringLiteral("Contour plot") + size, Chart3->contour(), false, false, {}, true});
    figures.append({QStringLiteral("3D surface") + size, nullptr, false, false, surface});
  }
  const bool written = WriteReportPdf(path, text, figures, error);
  if (ShownView != shown)
    shown->trigger();
  return written;
}

void TForm1::Inspectionreport1Click()
{
  if (!State.DataLoaded) {
    prompts().message(QStringLiteral("There is nothing to report yet. Open a measurement file "
                                     "or receive one from the instrument first."),
                      ReportCaption, Prompts::Icon::Information);
    return;
  }
  const QString ini = ProgramFolder::file(ConfigFileName);
  const ReportPeople last = LoadReportPeople(ini);
  const auto people = AskReportPeople ? AskReportPeople(last) : ::AskReportPeople(this, last);
  if (!people)
    return;
  QString reason;
  if (!StoreReportPeople(ini, *people, &reason))
    prompts().message(QStringLiteral("The report's title, object and operator could not be kept "
                                     "in %1 (%2); the report is made all the same.")
                          .arg(QDir::toNativeSeparators(ini), reason),
                      ReportCaption, Prompts::Icon::Warning);
  const auto path = askNewFile(
      prompts(),
      {ReportCaption, ProgramFolder::outputFolder(), proposedReportName(DataFileName), PdfFilter},
      PdfExtension);
  if (!path)
    return;
  QString error;
  if (!WriteInspectionReport(*path, *people, &error))
    prompts().message(error, ReportCaption, Prompts::Icon::Error);
  else
    StatusBar1->showMessage(QStringLiteral("Report written to ") + QDir::toNativeSeparators(*path));
}
