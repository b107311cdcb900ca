#include "charts/chart_export.h"

#include "charts/chart_base.h"
#include "charts/chart_series.h"
#include "charts/surface_chart.h"
#include "charts/write_failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

bool fail(QString* error, const QString& path, const QString& reason)
{
  return writeFailed(error, QStringLiteral("picture"), path, reason);
}

bool writeImagePdf(const QImage& image, QSaveFile& file)
{
  QPdfWriter pdf(&file);
  pdf.setPdfVersion(QPagedPaintDevice::PdfVersion_1_4);
  pdf.setResolution(72);  // one pixel of the picture is one point of the page
  pdf.setCreator(QStringLiteral("RZ-37m connect"));
  pdf.setPageLayout(QPageLayout(
      QPageSize(QSizeF(image.size()), QPageSize::Point, QString(), QPageSize::ExactMatch),
      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  QPainter painter;
  if (!painter.begin(&pdf))
    return false;
  painter.drawImage(QPointF(0, 0), image);
  return painter.end();
}

const char* formatName(PictureFormat f)
{
  switch (f) {
    case PictureFormat::Bmp:
      return "bmp";
    case PictureFormat::Jpeg:
      return "jpeg";
    case PictureFormat::Png:
      return "png";
    case PictureFormat::Pdf:
      break;
  }
  return "pdf";
}

}  // namespace

Chart* asChart(QWidget* w)
{
  return qobject_cast<Chart*>(w);
}

SurfaceChart* asSurface(QWidget* w)
{
  return qobject_cast<SurfaceChart*>(w);
}

bool waitUntilDrawable(SurfaceChart* surface, int timeoutMs)
{
  QElapsedTimer clock;
  clock.start();
  while (!(surface->hasGraph() && surface->graph()->isExposed())) {
    if (clock.elapsed() > timeoutMs)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  QCoreApplication::processEvents();
  return true;
}

bool saveImageFile(const QImage& image, const QString& path, PictureFormat format, QString* error)
{
  if (image.isNull())
    return fail(error, path, QStringLiteral("the 3D view gave no picture (it needs OpenGL)"));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return fail(error, path, file.errorString());
  bool written = false;
  QString reason;
  if (format == PictureFormat::Pdf) {
    written = writeImagePdf(image, file);
    reason = QStringLiteral("the PDF drawing could not be made");
  } else {
    QImageWriter writer(&file, formatName(format));
    if (format == PictureFormat::Jpeg) {
      writer.setQuality(JpegQuality);
      writer.setOptimizedWrite(true);
    }
    written = writer.write(image.convertToFormat(QImage::Format_RGB32));
    reason = writer.errorString();
  }
  if (!written) {
    file.cancelWriting();
    return fail(error, path, reason);
  }
  if (!file.commit())
    return fail(error, path, file.errorString());
  return true;
}

bool saveChartPictureFile(QWidget* chart, const QString& path, PictureFormat format, QString* error)
{
  if (Chart* c = asChart(chart))
    return saveChartPictureFile(*c, path, format, error);
  if (SurfaceChart* s = asSurface(chart))
    return saveImageFile(s->picture(), path, format, error);
  return fail(error, path, QStringLiteral("there is no chart on display"));
}

XlsSeries xlsSeriesOf(const ChartSeries& series)
{
  XlsSeries out;
  const int n = series.count();
  out.xs.reserve(n);
  out.ys.reserve(n);
  out.nulls.reserve(n);
  for (int i = 0; i < n; ++i) {
    out.xs << series.x(i);
    out.ys << series.y(i);
    out.nulls << series.isNull(i);
    const QString label = series.label(i);
    if (!label.isEmpty()) {
      out.labels.resize(n);
      out.labels[i] = label;
    }
  }
  return out;
}

std::optional<PictureFormat> pictureFormatOf(const QString& path)
{
  const QString lower = path.toLower();
  if (lower.endsWith(QStringLiteral(".bmp")))
    return PictureFormat::Bmp;
  if (lower.endsWith(QStringLiteral(".jpg")) || lower.endsWith(QStringLiteral(".jpeg")))
    return PictureFormat::Jpeg;
  if (lower.endsWith(QStringLiteral(".pdf")))
    return PictureFormat::Pdf;
  if (lower.endsWith(QStringLiteral(".png")))
    return PictureFormat::Png;
  return std::nullopt;
}

ExportLook::ExportLook(QWidget* chart, bool adjustMargins, bool hideTitle) : m_chart(asChart(chart))
{
  if (m_chart) {
    m_margins = m_chart->chartMargins();
    m_gradient = m_chart->gradient();
    m_titleVisible = m_chart->titleVisible();
    apply(adjustMargins, hideTitle);
  }
}

ExportLook::ExportLook(Chart& chart, bool adjustMargins, bool hideTitle)
    : m_chart(&chart),
      m_margins(chart.chartMargins()),
      m_gradient(chart.gradient()),
      m_titleVisible(chart.titleVisible())
{
  apply(adjustMargins, hideTitle);
}

void ExportLook::apply(bool adjustMargins, bool hideTitle)
{
  Chart& chart = *m_chart;
  chart.setGradient(false);
  if (adjustMargins)
    chart.setChartMargins(m_margins.right(), m_margins.top(), m_margins.right(),
                          m_margins.bottom());
  if (hideTitle)
    chart.setTitleVisible(false);
}

ExportLook::~ExportLook()
{
  if (!m_chart)
    return;
  m_chart->setTitleVisible(m_titleVisible);
  if (m_chart->chartMargins() != m_margins)
    m_chart->setChartMargins(m_margins.left(), m_margins.top(), m_margins.right(),
                             m_margins.bottom());
  m_chart->setGradient(m_gradient);
}

bool saveChartPictureFile(Chart& chart, const QString& path, PictureFormat format, QString* error)
{
  switch (format) {
    case PictureFormat::Bmp:
      return chart.saveBmp(path, error);
    case PictureFormat::Jpeg:
      return chart.saveJpeg(path, JpegQuality, error);
    case PictureFormat::Png:
      return chart.savePng(path, error);
    case PictureFormat::Pdf:
      break;
  }
  return chart.savePdf(path, error);
}
