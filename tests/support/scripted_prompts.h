#pragma once
// Prompts for tests: answers are queued in advance, everything shown is recorded.

#include "common/prompts.h"

#include <QList>
#include <QQueue>
#include <QStringList>

class ScriptedPrompts : public Prompts {
 public:
  struct Question {
    QString caption;
    QString text;
    QList<Answer> buttons;
    Answer defaultButton;
    int height;
  };

  QQueue<std::optional<QString>> openAnswers;
  QQueue<std::optional<QString>> saveAnswers;
  QQueue<Answer> questionAnswers;
  QQueue<std::optional<unsigned>> colorAnswers;

  QList<FileRequest> openRequests;
  QList<FileRequest> saveRequests;
  QStringList messages;
  QStringList messageCaptions;
  QList<Question> questions;

  std::optional<QString> openFile(const FileRequest& request) override
  {
    openRequests << request;
    return openAnswers.isEmpty() ? std::nullopt : openAnswers.dequeue();
  }
  std::optional<QString> saveFile(const FileRequest& request) override
  {
    saveRequests << request;
    return saveAnswers.isEmpty() ? std::nullopt : saveAnswers.dequeue();
  }
  void message(const QString& text, const QString& caption, Icon) override
  {
    messages << text;
    messageCaptions << caption;
  }
  Answer question(const QString& caption, const QString& text, const QList<Answer>& buttons,
                  Answer defaultButton, Icon, int height) override
  {
    questions << Question{caption, text, buttons, defaultButton, height};
    return questionAnswers.isEmpty() ? Answer::Closed : questionAnswers.dequeue();
  }
  std::optional<unsigned> chooseColor(unsigned) override
  {
    return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.dequeue();
  }
};
