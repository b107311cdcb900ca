#pragma once
// The stress database window: the table of steel grades and their conversion laws.

#include "analysis/stress_table.h"

#include <QDialog>

class TForm1;

class TForm4 : public QDialog {
  Q_OBJECT
 public:
  // Created once at start, with the main window as parent: loads the table and
  // applies the main window's applied item to its conversion law.
  explicit TForm4(QWidget* parent = nullptr);

  // Reads Stress_DB.csv beside the program. At start a file that is missing or
  // unreadable (or holds no item) leaves the built-in items in the table, says
  // so in the main window's status bar and writes nothing. Returns false then.
  bool LoadStressTableAtStart();

  // Applies the item stored from the last session; a row that is not in the
  // table, or cannot be applied, applies row 1 and says so in the status bar.
  void ApplyStoredItem(int storedRow);

  // The text shown in the status bar by the last of the two above; empty if none.
  const QString& startNote() const { return m_startNote; }

  StressTable Table;

 private:
  void showNote(const QString& note);
  TForm1* m_form = nullptr;
  QString m_startNote;
};
