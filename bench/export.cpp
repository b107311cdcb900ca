// Prints how long the exports take on the largest worksheet (65 535 counts):
// the XLS worksheet built and written, the linear chart's BMP, JPEG and PDF,
// and the inspection report (statistics of 1 311 records of 50 counts, the
// linear and circular pages). Runs on the offscreen platform:
// QT_QPA_PLATFORM=offscreen bench_export

#include "charts/chart.h"
#include "charts/chart_export.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "export/xls_writer.h"
#include "shell/main_window.h"
#include "silent_prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int Counts = 65535;
constexpr int RecordLength = 50;

QByteArray measurementFile()
{
  QByteArray out;
  for (int i = 0; i < Counts; ++i) {
    if (i > 0 && i % RecordLength == 0)
      out += QByteArray(14, ' ') + "\r\n";
    const int cents = 40 + (i * 37) % 1940;
    out += "10:00:00;" + QByteArray::number(cents / 100).rightJustified(2, '0') + ',' +
           QByteArray::number(cents % 100).rightJustified(2, '0') + "\r\n";
  }
  return out;
}

template <typename F>
void measure(const char* what, const QString& path, F&& run)
{
  QElapsedTimer t;
  t.start();
  const bool ok = run();
  std::printf("%-34s %8.1f ms  %9lld bytes%s\n", what, t.nsecsElapsed() / 1e6,
              static_cast<long long>(QFileInfo(path).size()), ok ? "" : "  FAILED");
}

}  // namespace

int main(int argc, char** argv)
{
  QApplication app(argc, argv);
  QTemporaryDir dir;
  ProgramFolder::setOverride(dir.path());
  const QString csv = dir.filePath("big.csv");
  QFile f(csv);
  if (!f.open(QIODevice::WriteOnly) || f.write(measurementFile()) < 0)
    return 1;
  f.close();
  SilentPrompts prompts;
  SystemClock clock;
  TForm1 form(prompts, clock);
  form.show();
  QApplication::processEvents();
  form.LoadMeasurementFile(csv);
  QApplication::processEvents();

  const int points = form.LinearSeries(1)->count();
  std::printf("linear chart: %d counts in %d records\n", points, form.State.RecordsCount);
  QString error;
  const QString xls = dir.filePath("big.xls");
  measure("XLS (series read + written)", xls,
          [&] { return writeXlsFile(xls, xlsSeriesOf(*form.LinearSeries(1)), false, &error); });
  for (const auto& [name, format] :
       {std::pair{"BMP", PictureFormat::Bmp}, std::pair{"JPEG 95", PictureFormat::Jpeg},
        std::pair{"PDF (vector)", PictureFormat::Pdf}}) {
    const QString path = dir.filePath(QStringLiteral("big.") + name);
    const QByteArray label = QByteArray("linear chart ") + name;
    measure(label.constData(), path, [&] {
      const ExportLook look(*form.Chart1, false, format == PictureFormat::Pdf);
      return saveChartPictureFile(*form.Chart1, path, format, &error);
    });
  }
  const QString pdf = dir.filePath("report.pdf");
  measure("inspection report", pdf, [&] {
    return form.WriteInspectionReport(pdf, {"Bench", "Pipe", "Op"}, &error);
  });
  ProgramFolder::setOverride({});
  return 0;
}
