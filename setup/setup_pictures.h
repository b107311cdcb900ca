#pragma once
// The wizard's picture and its two animations, drawn by the program itself.

#include <QTimer>
#include <QWidget>

class SetupPicture : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override;
};

// Plays frames 0 to 31 of "INSTALL" or "REMOVE", repeating.
class SetupAnimation : public QWidget {
 public:
  explicit SetupAnimation(QWidget* parent = nullptr);
  void open(const QString& name);
  void play();
  void stop();
  QString name() const { return m_name; }
  int frame() const { return m_frame; }
  bool playing() const { return m_timer.isActive(); }

  static constexpr int FrameCount = 32;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QString m_name;
  int m_frame = 0;
  QTimer m_timer;
};
