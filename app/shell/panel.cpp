#include "shell/panel.h"

#include <QMouseEvent>
#include <QPainter>

QColor colorFromBgr(unsigned bgr)
{
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

unsigned bgrFromColor(const QColor& c)
{
  return static_cast<unsigned>(c.red()) | (static_cast<unsigned>(c.green()) << 8) |
         (static_cast<unsigned>(c.blue()) << 16);
}

TPanel::TPanel(QWidget* parent, const QString& caption) : QFrame(parent), m_caption(caption)
{
  setFrameShape(QFrame::NoFrame);
}

void TPanel::setCaption(const QString& text)
{
  if (text == m_caption)
    return;
  m_caption = text;
  update();
  Q_EMIT captionChanged();
}

void TPanel::setCaptionShown(bool shown)
{
  m_captionShown = shown;
  update();
}

void TPanel::setAlignment(Qt::Alignment a)
{
  m_alignment = a;
  update();
}

void TPanel::setColor(unsigned bgr)
{
  m_color = bgr;
  m_hasColor = true;
  update();
}

void TPanel::setRaised(bool raised)
{
  setFrameShape(raised ? QFrame::Panel : QFrame::NoFrame);
  setFrameShadow(raised ? QFrame::Raised : QFrame::Plain);
}

void TPanel::setTransparent(bool on)
{
  m_transparent = on;
  setAttribute(Qt::WA_TranslucentBackground, on);
  update();
}

void TPanel::paintEvent(QPaintEvent* event)
{
  QPainter p(this);
  if (!m_transparent)
    p.fillRect(rect(), m_hasColor ? colorFromBgr(m_color) : palette().color(QPalette::Button));
  if (m_captionShown && !m_caption.isEmpty()) {
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(rect().adjusted(2, 0, -2, 0), static_cast<int>(m_alignment | Qt::AlignVCenter),
               m_caption);
  }
  p.end();
  QFrame::paintEvent(event);
}

void TPanel::mouseReleaseEvent(QMouseEvent* event)
{
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    Q_EMIT clicked();
  QFrame::mouseReleaseEvent(event);
}
