#pragma once
// The small dialog File > "Inspection report..." opens first: the report's
// title, the object inspected and the operator, filled with the last answers.

#include "export/report_settings.h"

#include <QDialog>

#include <optional>

class QLineEdit;

class ReportDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ReportDialog(const ReportPeople& last, QWidget* parent = nullptr);
  ReportPeople people() const;

  QLineEdit* TitleEdit = nullptr;
  QLineEdit* ObjectEdit = nullptr;
  QLineEdit* OperatorEdit = nullptr;
};

// Shows the dialog above parent; nothing when the user cancels.
std::optional<ReportPeople> AskReportPeople(QWidget* parent, const ReportPeople& last);
