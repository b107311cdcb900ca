// Prints how long a large measurement file takes, in one run: a file of 100 000
// counts in records of 50 is read with a bare line-by-line loop (the baseline),
// loaded into the grid, and shown (entering measurement mode: statistics, the
// linear chart fill, the record navigator); then the navigator is moved from
// record to record, and the resident memory growth is read. Runs on the
// offscreen platform: QT_QPA_PLATFORM=offscreen bench_load_measurements

#include "analysis/linear_fill.h"
#include "charts/chart.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "common/prompts.h"
#include "data/measurement_file.h"
#include "shell/main_window.h"
#include "shell/view_rebuild.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include "silent_prompts.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Counts = 100000;
constexpr int RecordLength = 50;
constexpr int Rounds = 5;

QByteArray twoDigits(int v)
{
  return QByteArray::number(v).rightJustified(2, '0');
}

// Values wander between 0,40 and 19,80 mT, as a scan along a weld does.
bool writeFile(const QString& path)
{
  QByteArray text;
  text.reserve((Counts + Counts / RecordLength) * 16);
  int second = 0;
  for (int i = 0; i < Counts; ++i) {
    if (i > 0 && i % RecordLength == 0)
      text += SeparatorLine + "\r\n";
    const int hundredths = 40 + (i * 7919 + (i / RecordLength) * 104729) % 1941;
    const int s = second++;
    text += twoDigits(s / 3600 % 24) + ':' + twoDigits(s / 60 % 60) + ':' + twoDigits(s % 60) +
            ';' + twoDigits(hundredths / 100) + ',' + twoDigits(hundredths % 100) + "\r\n";
  }
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

double msSince(const QElapsedTimer& t)
{
  return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

long residentKb()
{
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly))
    return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').value(0).toLong();
  return -1;
}

double bareLoop(const QString& path, int* lines)
{
  QElapsedTimer t;
  t.start();
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return -1;
  int n = 0;
  qsizetype bytes = 0;
  while (!f.atEnd()) {
    const QByteArray line = f.readLine();
    bytes += line.size();
    ++n;
  }
  *lines = n;
  return bytes > 0 ? msSince(t) : -1;
}

struct LoadTimes {
  double load = 0;   // file into the grid
  double enter = 0;  // entering measurement mode
};

LoadTimes loadAndEnter(TForm1& form, const QString& path)
{
  LoadTimes times;
  QElapsedTimer t;
  t.start();
  MeasurementFileError error;
  auto rows = readMeasurementFile(path, &error);
  if (!rows)
    return {-1, -1};
  form.Grid.replaceRows(std::move(*rows));
  times.load = msSince(t);
  t.restart();
  form.rebuild().enterMeasurementMode(QStringLiteral("bench"), true);
  times.enter = msSince(t);
  return times;
}

void printFigure(const char* what, double ms, double target)
{
  std::printf("%-52s %9.2f ms   (target < %g ms%s)\n", what, ms, target,
              ms < target ? "" : ", OVER");
}

void navigate(TForm1& form)
{
  if (!form.N35->isChecked())
    form.N35->trigger();
  std::vector<double> moves;
  std::vector<double> drawn;
  const int records = form.ScrollBar7->maximum();
  QElapsedTimer t;
  for (int k = 2; k <= records; k += records / 40) {
    t.start();
    form.ScrollBar7->setValue(k);
    moves.push_back(msSince(t));
    t.restart();
    form.Chart1->replot();
    drawn.push_back(msSince(t));
  }
  std::printf("navigator: %zu moves over %d records\n", moves.size(), records);
  printFigure("  record display, median", median(moves), 5);
  printFigure("  record display, slowest", *std::max_element(moves.begin(), moves.end()), 5);
  std::printf("%-52s %9.2f ms\n", "  redraw of the record's chart, median", median(drawn));
  form.N35->trigger();
}

}  // namespace

int main(int argc, char* argv[])
{
  QApplication app(argc, argv);
  QTemporaryDir dir;
  ProgramFolder::setOverride(dir.path());
  const QString path = dir.filePath(QStringLiteral("large.csv"));
  if (!dir.isValid() || !writeFile(path)) {
    std::fprintf(stderr, "cannot write the test file in %s\n", qPrintable(dir.path()));
    return 1;
  }
  SilentPrompts prompts;
  FixedClock clock(QDateTime(QDate(2026, 12, 10), QTime(10, 0)));
  TForm1 form(prompts, clock);
  form.show();
  app.processEvents();

  const long rssBefore = residentKb();
  std::vector<double> bare, load, enter, total;
  int lines = 0;
  long rssAfter = 0;
  for (int round = 0; round < Rounds; ++round) {
    bare.push_back(bareLoop(path, &lines));
    const LoadTimes t = loadAndEnter(form, path);
    if (t.load < 0) {
      std::fprintf(stderr, "the test file did not load\n");
      return 1;
    }
    load.push_back(t.load);
    enter.push_back(t.enter);
    total.push_back(t.load + t.enter);
    if (round == 0)
      rssAfter = residentKb();
  }
  std::printf("file: %d counts in records of %d, %d lines, %d grid rows, %d records\n", Counts,
              RecordLength, lines, form.Grid.RowCount(), form.State.RecordsCount);
  std::printf("medians of %d rounds\n", Rounds);
  std::printf("%-52s %9.2f ms\n", "bare line-by-line read (baseline)", median(bare));
  std::printf("%-52s %9.2f ms\n", "load into the grid", median(load));
  std::printf("%-52s %9.2f      (target <= 3)\n", "  ratio load / baseline",
              median(load) / median(bare));
  std::printf("%-52s %9.2f ms\n", "enter measurement mode (statistics, chart fill)", median(enter));
  printFigure("load + enter measurement mode", median(total), 300);

  QElapsedTimer t;
  t.start();
  form.Chart1->replot();
  std::printf("%-52s %9.2f ms\n", "first redraw of the whole file", msSince(t));

  t.restart();
  form.ComputeRangeStatistics(2, form.Grid.RowCount() - 1);
  std::printf("%-52s %9.2f ms\n", "  of which: statistics of the whole file", msSince(t));
  t.restart();
  const LinearFill fill = ComputeLinearFill(form.Grid, {}, 0.0);
  std::printf("%-52s %9.2f ms\n", "  of which: computing the chart's series", msSince(t));
  t.restart();
  form.FillLinearChart();
  std::printf("%-52s %9.2f ms\n", "  of which: the chart fill with handing over", msSince(t));

  form.N33->setChecked(true);
  form.Converttostress1->setChecked(true);
  t.restart();
  form.FillLinearChart();
  std::printf("%-52s %9.2f ms\n", "chart fill with trend removal and stress", msSince(t));
  form.N33->setChecked(false);
  form.Converttostress1->setChecked(false);
  form.FillLinearChart();

  navigate(form);

  const double growthMb = (rssAfter - rssBefore) / 1024.0;
  std::printf("%-52s %9.1f MB   (target < 60 MB%s)\n", "resident memory growth for the file",
              growthMb, growthMb < 60 ? "" : ", OVER");
  return 0;
}
