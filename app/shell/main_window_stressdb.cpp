// Math > "Open stress database": the stress database window, which holds the
// main window disabled while it is open, as a modal dialog would.

#include "shell/main_window.h"
#include "shell/stress_db_window.h"

void TForm1::Openstressdatabase1Click()
{
  if (!Form4)
    return;
  Form4->move(geometry().center() - Form4->rect().center());
  // The window opens on the item in force, so its line is what the user sees first.
  if (Form4->CurrentRow() < 1)
    Form4->SelectRow(Stress.AppliedStressItem);
  Form4->show();
  setEnabled(false);
  // A child window is disabled with its parent; this one must stay usable.
  Form4->setEnabled(true);
  Form4->raise();
  Form4->activateWindow();
}
