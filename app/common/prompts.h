#pragma once
// Every dialog and message box the program shows goes through this seam, so that
// tests can answer them and read what would have been shown.

#include <QString>
#include <QStringList>

#include <optional>

class Prompts {
 public:
  enum class Answer { Yes, No, Retry, Ok, Cancel, Closed };
  enum class Icon { Information, Warning, Error, Question };

  struct FileRequest {
    QString caption;
    QString folder;        // starting folder
    QString proposedName;  // file name proposed (save dialogs)
    QString filter;        // "Comma Separated Values Files|*.csv"
  };

  virtual ~Prompts() = default;

  // The chosen path, or nothing when the user cancels.
  virtual std::optional<QString> openFile(const FileRequest& request) = 0;
  virtual std::optional<QString> saveFile(const FileRequest& request) = 0;

  // A message box with one OK button.
  virtual void message(const QString& text, const QString& caption = {},
                       Icon icon = Icon::Information) = 0;

  // A question with the buttons named; returns the one pressed, or Closed.
  virtual Answer question(const QString& caption, const QString& text, const QList<Answer>& buttons,
                          Answer defaultButton, Icon icon, int height = 0) = 0;

  // A colour as 0x00BBGGRR, or nothing when the user cancels.
  virtual std::optional<unsigned> chooseColor(unsigned initial) = 0;
};
