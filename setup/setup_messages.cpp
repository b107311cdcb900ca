#include "setup_messages.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>

void QtSetupShell::message(const QString& text, bool error)
{
  QMessageBox box(error ? QMessageBox::Warning : QMessageBox::Information, SetupCaption, text,
                  QMessageBox::Ok, m_owner);
  // The wizard stays on top; its messages must not open behind it.
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.exec();
}

bool QtSetupShell::launch(const QString& program)
{
  return QProcess::startDetached(program, {}, QFileInfo(program).path(), &m_lastPid);
}

bool QtSetupShell::open(const QString& path)
{
  return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}
