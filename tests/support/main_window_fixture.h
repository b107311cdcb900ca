#pragma once
// The main window as most window tests need it: scripted prompts, a clock
// that stands still, and a fresh, shown window for every test function.

#include "common/clock.h"
#include "shell/main_window.h"
#include "support/scripted_prompts.h"

#include <memory>

class MainWindowFixture {
 public:
  explicit MainWindowFixture(QDateTime now = QDateTime(QDate(2026, 12, 10), QTime(10, 0)))
      : clock(std::move(now))
  {
  }

  // From init(): a new window with answers and messages forgotten.
  void start()
  {
    prompts = ScriptedPrompts();
    form = std::make_unique<TForm1>(prompts, clock);
    form->show();
  }
  // From cleanup().
  void stop() { form.reset(); }

  TForm1& f() { return *form; }

  ScriptedPrompts prompts;
  FixedClock clock;
  std::unique_ptr<TForm1> form;
};
