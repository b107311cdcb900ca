#include "shell/qt_prompts.h"

#include "shell/panel.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace {

// "Comma Separated Values Files|*.csv" -> "Comma Separated Values Files (*.csv)"
QString qtFilter(const QString& filter)
{
  const QStringList parts = filter.split(u'|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = QStringLiteral("(") + QString(parts[i + 1]).replace(u';', u' ') + u')';
    // "JPEG files (*.jpg)|*.jpg" already shows its pattern.
    out << (parts[i].endsWith(patterns) ? parts[i] : parts[i] + u' ' + patterns);
  }
  return out.join(QStringLiteral(";;"));
}

QMessageBox::Icon qtIcon(Prompts::Icon icon)
{
  switch (icon) {
    case Prompts::Icon::Warning:
      return QMessageBox::Warning;
    case Prompts::Icon::Error:
      return QMessageBox::Critical;
    case Prompts::Icon::Question:
      return QMessageBox::Question;
    case Prompts::Icon::Information:
      break;
  }
  return QMessageBox::Information;
}

QMessageBox::StandardButton qtButton(Prompts::Answer a)
{
  switch (a) {
    case Prompts::Answer::Yes:
      return QMessageBox::Yes;
    case Prompts::Answer::No:
      return QMessageBox::No;
    case Prompts::Answer::Retry:
      return QMessageBox::Retry;
    case Prompts::Answer::Ok:
      return QMessageBox::Ok;
    case Prompts::Answer::Cancel:
      return QMessageBox::Cancel;
    case Prompts::Answer::Closed:
      break;
  }
  return QMessageBox::NoButton;
}

QString fileIn(const Prompts::FileRequest& r)
{
  return r.proposedName.isEmpty() ? r.folder : r.folder + u'/' + r.proposedName;
}

}  // namespace

std::optional<QString> QtPrompts::openFile(const FileRequest& request)
{
  const QString path = QFileDialog::getOpenFileName(m_owner, request.caption, fileIn(request),
                                                    qtFilter(request.filter));
  if (path.isEmpty())
    return std::nullopt;
  return path;
}

std::optional<QString> QtPrompts::saveFile(const FileRequest& request)
{
  // The program adds the extension and asks about existing files itself.
  const QString path = QFileDialog::getSaveFileName(m_owner, request.caption, fileIn(request),
                                                    qtFilter(request.filter), nullptr,
                                                    QFileDialog::DontConfirmOverwrite);
  if (path.isEmpty())
    return std::nullopt;
  return path;
}

void QtPrompts::message(const QString& text, const QString& caption, Icon icon)
{
  QMessageBox box(qtIcon(icon), caption.isEmpty() ? QApplication::applicationName() : caption, text,
                  QMessageBox::Ok, m_owner);
  box.exec();
}

Prompts::Answer QtPrompts::question(const QString& caption, const QString& text,
                                    const QList<Answer>& buttons, Answer defaultButton, Icon icon,
                                    int height)
{
  QMessageBox box(qtIcon(icon), caption, text, QMessageBox::NoButton, m_owner);
  for (Answer a : buttons)
    box.addButton(qtButton(a));
  box.setDefaultButton(qtButton(defaultButton));
  if (height > 0)
    box.setMinimumHeight(height);
  const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
  for (Answer a : buttons)
    if (qtButton(a) == pressed)
      return a;
  return Answer::Closed;
}

std::optional<unsigned> QtPrompts::chooseColor(unsigned initial)
{
  const QColor c = QColorDialog::getColor(colorFromBgr(initial), m_owner);
  if (!c.isValid())
    return std::nullopt;
  return bgrFromColor(c);
}
