// Prints how long the grid's popup commands take on a file of 100 000 counts in
// records of 50, through the window as a user runs them: an insert and a delete
// near the top (every count below is renumbered), a delete of half the file,
// marking and unmarking every count, and stretching over half the file; the
// edits once with "Arrange by record" off and once on. Runs on the offscreen
// platform: QT_QPA_PLATFORM=offscreen bench_count_editing

#include "common/clock.h"
#include "common/program_folder.h"
#include "data/measurement_grid.h"
#include "shell/grid_view.h"
#include "shell/main_window.h"
#include "shell/view_rebuild.h"
#include "silent_prompts.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Counts = 100000;
constexpr int RecordLength = 50;
constexpr int Rounds = 5;
constexpr double TargetMs = 300;  // as long as a whole load may take

void load(TForm1& form)
{
  QVector<GridRow> rows(2);
  rows[0].cell = {TimeHeader, BrHeader};
  rows.reserve(Counts + Counts / RecordLength + 2);
  for (int i = 0; i < Counts; ++i) {
    if (i > 0 && i % RecordLength == 0)
      rows.append(GridRow{});
    const int hundredths = 40 + (i * 7919) % 1941;
    const QString br = QStringLiteral("%1,%2")
                           .arg(hundredths / 100, 2, 10, QLatin1Char('0'))
                           .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
    rows.append(
        GridRow{{MeasurementGrid::countNumberCell(rows.size(), QStringLiteral("10:42:05")), br}});
  }
  form.Grid.replaceRows(std::move(rows));
  form.StringGrid1->setEnabled(true);
  form.rebuild().enterMeasurementMode(QStringLiteral("bench"), true);
}

double median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The command on rows top..bottom of a freshly loaded grid, Rounds times.
double timeCommand(QApplication& app, TForm1& form, QAction* command, int top, int bottom)
{
  std::vector<double> ms;
  for (int round = 0; round < Rounds; ++round) {
    load(form);
    form.StringGrid1->selectGridRows(top, bottom);
    app.processEvents();
    QElapsedTimer t;
    t.start();
    command->trigger();
    app.processEvents();  // the view's own update belongs to the command's cost
    ms.push_back(t.nsecsElapsed() / 1e6);
  }
  return median(ms);
}

void print(const char* what, double ms)
{
  std::printf("%-58s %9.2f ms   (target < %g ms%s)\n", what, ms, TargetMs,
              ms < TargetMs ? "" : ", OVER");
}

}  // namespace

int main(int argc, char* argv[])
{
  QApplication app(argc, argv);
  QTemporaryDir dir;
  ProgramFolder::setOverride(dir.path());
  SilentPrompts prompts;
  FixedClock clock(QDateTime(QDate(2026, 12, 10), QTime(10, 0)));
  TForm1 form(prompts, clock);
  form.show();
  app.processEvents();
  load(form);
  const int rows = form.Grid.RowCount();
  std::printf("grid: %d counts in records of %d, %d rows; medians of %d rounds\n", Counts,
              RecordLength, rows, Rounds);

  for (const bool arranged : {false, true}) {
    if (form.N35->isChecked() != arranged)
      form.N35->trigger();
    std::printf("\"Arrange by record\" %s\n", arranged ? "on" : "off");
    print("  Insert separator at count 2", timeCommand(app, form, form.MenuItem16, 3, 3));
    print("  Delete count(s): one count, count 2", timeCommand(app, form, form.MenuItem17, 3, 3));
    print("  Delete count(s): the first half of the file",
          timeCommand(app, form, form.MenuItem17, 2, rows / 2));
  }
  if (form.N35->isChecked())
    form.N35->trigger();
  print("Select on graph: every count", timeCommand(app, form, form.MenuItem13, 2, rows - 1));
  form.StringGrid1->selectGridRows(2, rows - 1);
  form.MenuItem13->trigger();
  QElapsedTimer t;
  t.start();
  form.MenuItem15->trigger();
  print("Disable all selections after marking every count", t.nsecsElapsed() / 1e6);
  print("Stretch on graph: the second half of the file",
        timeCommand(app, form, form.MenuItem11, rows / 2, rows - 1));
  return 0;
}
