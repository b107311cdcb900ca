#include "shell/stress_db_window.h"

#include "shell/main_window.h"
#include "common/program_folder.h"

#include <QStatusBar>

TForm4::TForm4(QWidget* parent) : QDialog(parent), m_form(qobject_cast<TForm1*>(parent))
{
  setWindowTitle(QStringLiteral("RZ-37m connect stress DB"));
  resize(640, 360);
  LoadStressTableAtStart();
  if (m_form)
    ApplyStoredItem(m_form->Stress.AppliedStressItem);
}

bool TForm4::LoadStressTableAtStart()
{
  const QString path = ProgramFolder::file(StressTableFileName);
  QString reason;
  auto items = ReadStressItems(path, &reason);
  if (items && items->isEmpty())
    reason = QStringLiteral("it holds no item");
  if (!items || items->isEmpty()) {
    // The built-in items stay; the file is left for the user to mend or to
    // replace with "Save DB".
    Table.replaceItems(DefaultStressItems());
    showNote(QStringLiteral("The stress database %1 could not be read (%2); the built-in "
                            "stress items are used.")
                 .arg(path, reason));
    return false;
  }
  Table.replaceItems(*items);
  return true;
}

void TForm4::ApplyStoredItem(int storedRow)
{
  if (!m_form)
    return;
  const QString note = ApplyStoredStressItem(Table, storedRow, &m_form->Stress);
  if (!note.isEmpty())
    showNote(note);
}

void TForm4::showNote(const QString& note)
{
  m_startNote = m_startNote.isEmpty() ? note : m_startNote + u' ' + note;
  if (m_form)
    m_form->StatusBar1->showMessage(m_startNote);
}
