#pragma once
// The stress database window: the table of steel grades and their conversion
// laws, the line of the selected item, and the commands that apply, add,
// remove, save and reload items.

#include "analysis/stress_table.h"

#include <QDialog>

class ChartSeries;
class LinearChart;
class QLineEdit;
class QPushButton;
class QTableView;
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

  // Controls, named as on the form. The grid shows the table's rows with their
  // table numbers (row 0, the header, is the grid's fixed header).
  QTableView* StringGrid1 = nullptr;
  LinearChart* Chart1 = nullptr;
  ChartSeries* Series1 = nullptr;
  QLineEdit* LabeledEdit1 = nullptr;  // "Object/Steel grade"
  QLineEdit* LabeledEdit2 = nullptr;  // "Br(S=0)"
  QLineEdit* LabeledEdit3 = nullptr;  // "Smax"
  QLineEdit* LabeledEdit4 = nullptr;  // "Br(Smax)"
  QPushButton* Button1 = nullptr;     // "Apply item"
  QPushButton* Button2 = nullptr;     // "Add item"
  QPushButton* Button3 = nullptr;     // "Remove item"
  QPushButton* Button4 = nullptr;     // "Save DB"
  QPushButton* Button5 = nullptr;     // "Reload DB"

  // The grid's current row (a table row), or -1 when there is none.
  int CurrentRow() const;
  // Makes a table row the grid's current, selected row (as a click on it does).
  void SelectRow(int row);

  // Row selection of StringGrid1: the item into the edit fields and the chart.
  void StringGrid1SelectCell(int row);
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void createControls();
  void showItem(const QString& object, const QString& zeroBr, const QString& smax,
                const QString& smaxBr);
  bool applyRow(int row);
  void applyAfterRemoval();
  void rebuildViews();
  void tell(const QString& text);
  void showNote(const QString& note);
  TForm1* m_form = nullptr;
  QString m_startNote;
};
