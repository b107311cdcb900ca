#pragma once
// The main window as most window tests need it: scripted prompts, a clock
// that stands still, a fresh, shown window for every test function and, for
// tests that write files, a program folder of its own.

#include "analysis/test_statistics_grid.h"
#include "charts/chart.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "shell/main_window.h"
#include "shell/view_rebuild.h"
#include "support/scripted_prompts.h"

#include <QTemporaryDir>

#include <memory>

// PromptsT: ScriptedPrompts or a test's own kind of it.
template <class PromptsT>
class BasicMainWindowFixture {
 public:
  explicit BasicMainWindowFixture(QDateTime now = QDateTime(QDate(2026, 12, 10), QTime(10, 0)))
      : clock(std::move(now))
  {
  }

  // From init(): a new window with answers and messages forgotten.
  void start()
  {
    prompts = PromptsT();
    form = std::make_unique<TForm1>(prompts, clock);
    form->show();
  }
  // From init() of tests that leave files behind: start() in an empty program
  // folder of its own, so no test sees another's files or settings. The clock
  // is back at its first time too.
  void startInNewFolder()
  {
    dir = std::make_unique<QTemporaryDir>();
    ProgramFolder::setOverride(dir->path());
    clock = FixedClock(m_start);
    start();
  }
  // From cleanup().
  void stop()
  {
    form.reset();
    if (dir) {
      ProgramFolder::setOverride({});
      dir.reset();
    }
  }

  TForm1& f() { return *form; }

  // Counts on display as if a file had just been opened (cells as fillGrid).
  void load(const QStringList& cells)
  {
    fillGrid(form->Grid, cells);
    form->rebuild().enterMeasurementMode(QStringLiteral("loaded"), true);
  }

  PromptsT prompts;
  FixedClock clock;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<QTemporaryDir> dir;  // from startInNewFolder()

 private:
  const QDateTime m_start = clock.now();
};

using MainWindowFixture = BasicMainWindowFixture<ScriptedPrompts>;

// The y values of the linear chart's dots.
inline QVector<double> dots(const TForm1& f)
{
  QVector<double> ys;
  if (ChartSeries* s = f.Chart1->series(1))
    for (int i = 0; i < s->count(); ++i)
      ys << s->y(i);
  return ys;
}
