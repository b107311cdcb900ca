#pragma once
// A flat panel with an optional caption, as the forms use for frames, colour
// swatches and text boxes. A click on it emits clicked().

#include <QFrame>
#include <QString>

class TPanel : public QFrame {
  Q_OBJECT
 public:
  explicit TPanel(QWidget* parent = nullptr, const QString& caption = {});

  QString caption() const { return m_caption; }
  void setCaption(const QString& text);
  void setAlignment(Qt::Alignment a);
  // Background colour; panels that show a colour choice keep it as 0x00BBGGRR.
  void setColor(unsigned bgr);
  unsigned color() const { return m_color; }
  void setRaised(bool raised);
  // A transparent panel draws only its caption over what lies beneath it.
  void setTransparent(bool on);
  // A panel whose caption its children show in parts does not draw it itself.
  void setCaptionShown(bool shown);

 Q_SIGNALS:
  void clicked();
  void captionChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QString m_caption;
  Qt::Alignment m_alignment = Qt::AlignCenter;
  unsigned m_color = 0xC0C0C0;
  bool m_hasColor = false;
  bool m_transparent = false;
  bool m_captionShown = true;
};

// Colours are stored as 0x00BBGGRR, red in the low byte.
QColor colorFromBgr(unsigned bgr);
unsigned bgrFromColor(const QColor& c);
