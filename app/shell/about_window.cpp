#include "shell/about_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

const QString TForm2::OwnerLine = QStringLiteral("(c) 2026 RZ-37m team");
const QString TForm2::SupportLine = QStringLiteral("support@rz37m.example");

namespace {

// The artwork's fonts, or a sans-serif of the same weight where they are not
// installed (a missing family must never fall back to a symbol font).
QFont labelFont(const QString& family, int points, bool italic)
{
  const bool heavy = family == QStringLiteral("Impact");
  QFont f(family);
  if (!QFontDatabase::hasFamily(family))
    f = QFont(heavy ? QStringLiteral("DejaVu Sans Condensed") : QStringLiteral("DejaVu Sans"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSize(points);
  f.setItalic(italic);
  f.setBold(heavy);
  return f;
}

// A substitute font is wider than the artwork's: shrink it until the text fits.
void fitToWidth(QLabel* label, QFont font)
{
  while (font.pointSize() > 6 &&
         QFontMetrics(font).horizontalAdvance(label->text()) > label->width())
    font.setPointSize(font.pointSize() - 1);
  label->setFont(font);
}

}  // namespace

QPixmap aboutArtwork()
{
  QPixmap pix(350, 175);
  QPainter p(&pix);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 175);
  sky.setColorAt(0, QColor(236, 240, 244));
  sky.setColorAt(1, QColor(196, 206, 216));
  p.fillRect(pix.rect(), sky);
  // A steel bar with the field lines of its residual magnetisation.
  p.setPen(QPen(QColor(90, 110, 130, 120), 1.2));
  for (int i = 1; i <= 6; ++i) {
    QPainterPath line;
    line.moveTo(18, 120);
    line.cubicTo(18, 120 - 14 * i, 132, 120 - 14 * i, 132, 120);
    p.drawPath(line);
  }
  QLinearGradient steel(0, 112, 0, 130);
  steel.setColorAt(0, QColor(150, 158, 166));
  steel.setColorAt(0.5, QColor(222, 226, 230));
  steel.setColorAt(1, QColor(120, 128, 136));
  p.fillRect(QRect(10, 114, 130, 14), steel);
  // A probe over the bar.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(34, 153, 0));
  p.drawRoundedRect(QRectF(64, 60, 22, 46), 4, 4);
  p.setBrush(QColor(40, 40, 40));
  p.drawRect(QRectF(72, 104, 6, 8));
  p.end();
  return pix;
}

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
  setWindowTitle(QStringLiteral("About"));
  setFixedSize(350, 175);
  Image1 = new QLabel(this);
  Image1->setPixmap(aboutArtwork());
  Image1->setGeometry(0, 0, 350, 175);

  Label2 = new QLabel(QStringLiteral("RZ-37m"), this);
  Label2->setGeometry(152, 32, 193, 63);
  fitToWidth(Label2, labelFont(QStringLiteral("Impact"), 44, true));
  Label2->setAlignment(Qt::AlignBottom | Qt::AlignLeft);
  Label2->setStyleSheet(QStringLiteral("color: #808080; background: transparent;"));

  Label3 = new QLabel(QStringLiteral("CONNECT"), this);
  Label3->setGeometry(220, 76, 130, 41);
  fitToWidth(Label3, labelFont(QStringLiteral("Impact"), 24, true));
  Label3->setStyleSheet(QStringLiteral("color: rgb(34,153,0); background: transparent;"));

  Label1 = new QLabel(OwnerLine + u'\n' + SupportLine, this);
  Label1->setFont(labelFont(QStringLiteral("Arial"), 9, false));
  Label1->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
  Label1->move(184, 128);
  Label1->adjustSize();
}

void TForm2::showSplash()
{
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  show();
  raise();
  repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm2::restyleAsAbout()
{
  hide();
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint |
                 Qt::WindowTitleHint);
  Label2->move(Label2->x(), 0);
  Label2->resize(Label2->width(), 57);
  fitToWidth(Label2, labelFont(QStringLiteral("Impact"), 36, true));
  Label3->move(Label3->x(), 40);
  fitToWidth(Label3, labelFont(QStringLiteral("Impact"), 20, true));
  Label1->setText(
      QStringList{QStringLiteral("Stressed state of steel"), QStringLiteral("goods and structures"),
                  QStringLiteral("inspection application"), QString(), OwnerLine, SupportLine}
          .join(u'\n'));
  Label1->move(184, 78);
  Label1->adjustSize();
  m_about = true;
}

void TForm2::closeEvent(QCloseEvent* event)
{
  if (m_owner)
    m_owner->setEnabled(true);
  hide();
  event->ignore();  // kept for the next use
}

void TForm2::keyPressEvent(QKeyEvent* event)
{
  // A plain widget ignores Escape; as a dialog the About window closes on it.
  if (m_about && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TForm2::hideEvent(QHideEvent* event)
{
  // However the window went away (closed, hidden by the program, taken down by
  // the window manager), the main window must not stay disabled behind it.
  if (m_about && !event->spontaneous() && m_owner)
    m_owner->setEnabled(true);
  QWidget::hideEvent(event);
}
