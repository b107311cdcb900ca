// The Math menu's options: "Remove the trend" and "Convert to stress (MPa)".
// Both are checkable items: the menu has already inverted the check mark when
// the handler runs, so the handlers read it and never invert it again.

#include "charts/chart.h"
#include "shell/main_window.h"
#include "shell/view_rebuild.h"

#include <QAction>

namespace {
const QString StressTitle = QStringLiteral("         S, MPa");
const QString BrTitle = QStringLiteral("         Br, mT");
}  // namespace

void TForm1::N33Click()
{
  // The grid is never changed: the trend is taken out while the views fill.
  rebuild().afterTrendOption();
}

void TForm1::Converttostress1Click()
{
  Chart1->setTitleText(Converttostress1->isChecked() ? StressTitle : BrTitle);
  rebuild().afterStressOption();
}
