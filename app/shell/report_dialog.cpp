#include "shell/report_dialog.h"

#include "export/report_content.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

ReportDialog::ReportDialog(const ReportPeople& last, QWidget* parent) : QDialog(parent)
{
  setWindowTitle(QStringLiteral("Inspection report"));
  setModal(true);
  auto* form = new QFormLayout(this);
  TitleEdit = new QLineEdit(last.title.isEmpty() ? DefaultReportTitle : last.title, this);
  ObjectEdit = new QLineEdit(last.object, this);
  OperatorEdit = new QLineEdit(last.operatorName, this);
  for (QLineEdit* e : {TitleEdit, ObjectEdit, OperatorEdit})
    e->setMinimumWidth(280);
  form->addRow(QStringLiteral("Title:"), TitleEdit);
  form->addRow(QStringLiteral("Object:"), ObjectEdit);
  form->addRow(QStringLiteral("Operator:"), OperatorEdit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

ReportPeople ReportDialog::people() const
{
  return {TitleEdit->text().trimmed(), ObjectEdit->text().trimmed(),
          OperatorEdit->text().trimmed()};
}

std::optional<ReportPeople> AskReportPeople(QWidget* parent, const ReportPeople& last)
{
  ReportDialog dialog(last, parent);
  if (dialog.exec() != QDialog::Accepted)
    return std::nullopt;
  return dialog.people();
}
