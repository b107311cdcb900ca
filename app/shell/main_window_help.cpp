// The Help menu: the manuals beside the program and the About window.

#include "common/program_folder.h"
#include "common/prompts.h"
#include "shell/about_window.h"
#include "shell/main_window.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

void openManual(TForm1& form, const QString& name)
{
  const QString path = ProgramFolder::file(name);
  if (!QFileInfo::exists(path)) {
    form.prompts().message(
        QStringLiteral("The manual ") + path +
            QStringLiteral(" was not found. Reinstall the program to restore it."),
        QStringLiteral("RZ-37m connect"), Prompts::Icon::Warning);
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace

void TForm1::N41Click()
{
  openManual(*this, QStringLiteral("EN_Program_manual.pdf"));
}

void TForm1::N42Click()
{
  openManual(*this, QStringLiteral("EN_RZ-37m_manual.pdf"));
}

void TForm1::N43Click()
{
  openManual(*this, QStringLiteral("EN_RZ-48_manual.pdf"));
}

void TForm1::N44Click()
{
  if (!About)
    return;
  About->setOwnerWindow(this);
  About->move(geometry().center() - About->rect().center());
  About->show();
  setEnabled(false);
}
