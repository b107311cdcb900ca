#pragma once
// The real dialogs behind the Prompts seam.

#include "common/prompts.h"

class QWidget;

class QtPrompts : public Prompts {
 public:
  explicit QtPrompts(QWidget* owner = nullptr) : m_owner(owner) {}
  void setOwner(QWidget* owner) { m_owner = owner; }

  std::optional<QString> openFile(const FileRequest& request) override;
  std::optional<QString> saveFile(const FileRequest& request) override;
  void message(const QString& text, const QString& caption, Icon icon) override;
  Answer question(const QString& caption, const QString& text, const QList<Answer>& buttons,
                  Answer defaultButton, Icon icon, int height) override;
  std::optional<unsigned> chooseColor(unsigned initial) override;

  // What a dialog opened now is parented to: the window on top while one is
  // up (a modal box, "Connect to device", About), else the owner.
  QWidget* parentWindow() const;

 private:
  QWidget* m_owner;
};
