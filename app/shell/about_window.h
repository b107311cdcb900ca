#pragma once
// The About window, which first serves as the splash during start-up.

#include <QWidget>

class QLabel;

class TForm2 : public QWidget {
  Q_OBJECT
 public:
  static const QString OwnerLine;
  static const QString SupportLine;

  explicit TForm2(QWidget* parent = nullptr);

  // Shows the splash and paints it at once (the start-up then blocks).
  void showSplash();
  // Turns the splash into the About window: hidden, dialog border, labels
  // rearranged, on top of other windows.
  void restyleAsAbout();
  bool isAboutStyle() const { return m_about; }

  // Closing the About window gives the owner back its input.
  void setOwnerWindow(QWidget* owner) { m_owner = owner; }

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QWidget* m_owner = nullptr;
  bool m_about = false;
};

// The 350 x 175 artwork behind the labels, drawn rather than loaded.
QPixmap aboutArtwork();
