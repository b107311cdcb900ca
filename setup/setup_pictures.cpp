#include "setup_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

void SetupPicture::paintEvent(QPaintEvent*)
{
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height());
  sky.setColorAt(0, QColor(70, 86, 104));
  sky.setColorAt(1, QColor(30, 38, 48));
  p.fillRect(rect(), sky);
  // The instrument: a hand-held body with its display showing a trace.
  const QRectF body(70, 50, 90, 150);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 74, 90));
  p.drawRoundedRect(body, 12, 12);
  const QRectF screen(82, 64, 66, 50);
  p.setBrush(QColor(207, 232, 208));
  p.drawRoundedRect(screen, 4, 4);
  QPainterPath trace;
  for (int x = 0; x <= 60; ++x) {
    const double y = 89 + 14 * std::sin(x / 6.0) * std::cos(x / 17.0);
    x == 0 ? trace.moveTo(85 + x, y) : trace.lineTo(85 + x, y);
  }
  p.setPen(QPen(QColor(31, 107, 42), 2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(trace);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(221, 221, 221));
  for (int i = 0; i < 3; ++i)
    p.drawEllipse(QPointF(93 + i * 22, 135), 7, 7);
  p.setBrush(QColor(192, 57, 43));
  p.drawRoundedRect(QRectF(92, 160, 46, 14), 4, 4);
  p.setPen(QColor(200, 200, 200));
  p.drawText(QRectF(0, 205, width(), 20), Qt::AlignCenter, QStringLiteral("RZ-37m connect"));
}

SetupAnimation::SetupAnimation(QWidget* parent) : QWidget(parent)
{
  m_timer.setInterval(60);
  QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
    m_frame = (m_frame + 1) % FrameCount;
    update();
  });
}

void SetupAnimation::open(const QString& name)
{
  m_name = name;
  m_frame = 0;
  update();
}

void SetupAnimation::play()
{
  m_timer.start();
}

void SetupAnimation::stop()
{
  m_timer.stop();
}

// Sheets of paper fly from a box into a folder (install) or out of it (remove).
void SetupAnimation::paintEvent(QPaintEvent*)
{
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const bool removing = m_name == QStringLiteral("REMOVE");
  const QRectF from(40, 40, 60, 50);
  const QRectF to(width() - 110, 40, 70, 50);
  p.setPen(QColor(90, 90, 90));
  p.setBrush(QColor(200, 170, 110));
  p.drawRect(removing ? to : from);
  p.setBrush(QColor(240, 200, 90));
  p.drawRoundedRect(removing ? from : to, 4, 4);
  const double t = double(m_frame) / FrameCount;
  const QPointF a = (removing ? to : from).center();
  const QPointF b = (removing ? from : to).center();
  const QPointF at(a.x() + (b.x() - a.x()) * t, a.y() - 40 * std::sin(t * M_PI));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(at.x() - 8, at.y() - 10, 16, 20));
  if (removing && m_frame > FrameCount / 2) {
    p.setPen(QPen(QColor(180, 40, 40), 2));
    p.drawLine(QPointF(at.x() - 8, at.y() - 10), QPointF(at.x() + 8, at.y() + 10));
  }
}
