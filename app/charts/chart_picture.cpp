// Picture output of a chart: BMP and JPEG through QImage, PDF as vector drawing.
// Files are written through QSaveFile, so a failure leaves an existing file as
// it was and reports why.

#include "charts/chart_base.h"

#include <qcustomplot.h>

#include <QDir>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>

namespace {

bool fail(QString* error, const QString& path, const QString& reason)
{
  if (error) {
    *error = QStringLiteral(
                 "The picture could not be written to \"%1\": %2. "
                 "Check that the folder exists and is writable, or choose another name.")
                 .arg(QDir::toNativeSeparators(path), reason);
  }
  return false;
}

}  // namespace

QImage Chart::picture() const
{
  const QSize size = this->size();
  return m_plot->toPixmap(size.width(), size.height(), 1.0)
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

bool Chart::writePicture(const QString& path, const char* format, int quality, QString* error)
{
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return fail(error, path, file.errorString());
  const QImage image = picture();
  if (image.isNull()) {
    // A chart with no size on screen gives no picture; an empty file would
    // look like a saved one.
    file.cancelWriting();
    return fail(error, path,
                QStringLiteral("the chart gave no picture (it has no size on screen)"));
  }
  QImageWriter writer(&file, format);
  if (quality >= 0) {
    writer.setQuality(quality);
    writer.setOptimizedWrite(true);
  }
  if (!writer.write(image)) {
    file.cancelWriting();
    return fail(error, path, writer.errorString());
  }
  if (!file.commit())
    return fail(error, path, file.errorString());
  return true;
}

bool Chart::saveBmp(const QString& path, QString* error)
{
  return writePicture(path, "bmp", -1, error);
}

bool Chart::saveJpeg(const QString& path, int quality, QString* error)
{
  return writePicture(path, "jpeg", std::clamp(quality, 0, 100), error);
}

bool Chart::savePng(const QString& path, QString* error)
{
  return writePicture(path, "png", -1, error);
}

bool Chart::savePdf(const QString& path, QString* error)
{
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return fail(error, path, file.errorString());
  const QSize size = this->size();
  if (size.isEmpty()) {
    file.cancelWriting();
    return fail(error, path,
                QStringLiteral("the chart gave no picture (it has no size on screen)"));
  }
  {
    QPdfWriter pdf(&file);
    pdf.setPdfVersion(QPagedPaintDevice::PdfVersion_1_4);
    // Fonts are given in points: at the screen's resolution they keep the
    // proportions they have on screen (the writer's default 1200 dpi makes
    // them six times too large against the drawing).
    pdf.setResolution(logicalDpiY());
    pdf.setCreator(QStringLiteral("RZ-37m connect"));
    pdf.setPageLayout(
        QPageLayout(QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QCPPainter painter;
    if (!painter.begin(&pdf)) {
      file.cancelWriting();
      return fail(error, path, QStringLiteral("the PDF drawing could not be started"));
    }
    painter.setMode(QCPPainter::pmVectorized);
    painter.setWindow(QRect(QPoint(0, 0), size));
    m_plot->toPainter(&painter, size.width(), size.height());
    painter.end();
  }
  if (!file.commit())
    return fail(error, path, file.errorString());
  return true;
}
