#include "shell/qt_prompts.h"

#include "shell/panel.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

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

QString buttonText(Prompts::Answer a)
{
  switch (a) {
    case Prompts::Answer::Yes:
      return QMessageBox::tr("&Yes");
    case Prompts::Answer::No:
      return QMessageBox::tr("&No");
    case Prompts::Answer::Retry:
      return QMessageBox::tr("&Retry");
    case Prompts::Answer::Ok:
      return QMessageBox::tr("OK");
    case Prompts::Answer::Cancel:
      return QMessageBox::tr("Cancel");
    case Prompts::Answer::Closed:
      break;
  }
  return {};
}

// Qt would map Escape and the title-bar close to the "No" of a question, and
// for the overwrite question "No" rewrites the file. Closing without a button
// is its own answer here, so both only reject the box.
class QuestionBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void keyPressEvent(QKeyEvent* event) override
  {
    if (event->matches(QKeySequence::Cancel)) {
      reject();
      return;
    }
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override { QDialog::closeEvent(event); }
};

QString fileIn(const Prompts::FileRequest& r)
{
  return r.proposedName.isEmpty() ? r.folder : r.folder + u'/' + r.proposedName;
}

}  // namespace

QWidget* QtPrompts::parentWindow() const
{
  // A box parented to the main window would open underneath a stay-on-top
  // window such as "Connect to device", and the program would look frozen.
  // Parented to the window on top it stacks above it and is modal to it.
  if (QWidget* modal = QApplication::activeModalWidget())
    return modal;
  QWidget* active = QApplication::activeWindow();
  if (active != nullptr && active->isVisible() &&
      active->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
    return active;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = w->windowType();
    if (w->isVisible() && (type == Qt::Dialog || type == Qt::Window) &&
        w->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
      return w;
  }
  return m_owner;
}

std::optional<QString> QtPrompts::openFile(const FileRequest& request)
{
  const QString path = QFileDialog::getOpenFileName(parentWindow(), request.caption, fileIn(request),
                                                    qtFilter(request.filter));
  if (path.isEmpty())
    return std::nullopt;
  return path;
}

std::optional<QString> QtPrompts::saveFile(const FileRequest& request)
{
  // The program adds the extension and asks about existing files itself.
  const QString path = QFileDialog::getSaveFileName(parentWindow(), request.caption, fileIn(request),
                                                    qtFilter(request.filter), nullptr,
                                                    QFileDialog::DontConfirmOverwrite);
  if (path.isEmpty())
    return std::nullopt;
  return path;
}

void QtPrompts::message(const QString& text, const QString& caption, Icon icon)
{
  QMessageBox box(qtIcon(icon), caption.isEmpty() ? QApplication::applicationName() : caption, text,
                  QMessageBox::Ok, parentWindow());
  box.exec();
}

Prompts::Answer QtPrompts::question(const QString& caption, const QString& text,
                                    const QList<Answer>& buttons, Answer defaultButton, Icon icon,
                                    int height)
{
  QuestionBox box(qtIcon(icon), caption, text, QMessageBox::NoButton, parentWindow());
  // One role for all keeps the buttons in the order asked for on every
  // desktop; Qt would otherwise sort them by role (Retry before No).
  QList<QPair<QAbstractButton*, Answer>> shown;
  for (Answer a : buttons) {
    QPushButton* b = box.addButton(buttonText(a), QMessageBox::ActionRole);
    shown.append({b, a});
    if (a == defaultButton)
      box.setDefaultButton(b);
  }
  if (height > 0)
    box.setMinimumHeight(height);
  box.exec();
  for (const auto& [button, answer] : shown)
    if (box.clickedButton() == button)
      return answer;
  return Answer::Closed;
}

std::optional<unsigned> QtPrompts::chooseColor(unsigned initial)
{
  const QColor c = QColorDialog::getColor(colorFromBgr(initial), parentWindow());
  if (!c.isValid())
    return std::nullopt;
  return bgrFromColor(c);
}
