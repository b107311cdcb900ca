#pragma once
// What the wizard asks of the desktop: message boxes, starting the program and
// opening a document. Tests record these; the real ones use Qt and xdg-open.

#include <QString>
#include <QStringList>

class QWidget;

class SetupShell {
 public:
  virtual ~SetupShell() = default;
  virtual void message(const QString& text, bool error) = 0;
  // Starts the program with its folder as working folder; no waiting.
  virtual bool launch(const QString& program) = 0;
  // Opens a document or folder with the user's preferred application.
  virtual bool open(const QString& path) = 0;
};

class QtSetupShell : public SetupShell {
 public:
  void setOwner(QWidget* owner) { m_owner = owner; }
  void message(const QString& text, bool error) override;
  bool launch(const QString& program) override;
  bool open(const QString& path) override;
  qint64 lastLaunched() const { return m_lastPid; }

 private:
  QWidget* m_owner = nullptr;
  qint64 m_lastPid = 0;
};

inline const QString SetupCaption = QStringLiteral("RZ-37m connect software installer");
