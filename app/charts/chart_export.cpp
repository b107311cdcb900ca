#include "charts/chart_export.h"

#include "charts/chart_base.h"
#include "charts/chart_series.h"

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

ExportLook::ExportLook(Chart& chart, bool adjustMargins, bool hideTitle)
    : m_chart(chart),
      m_margins(chart.chartMargins()),
      m_gradient(chart.gradient()),
      m_titleVisible(chart.titleVisible())
{
  chart.setGradient(false);
  if (adjustMargins)
    chart.setChartMargins(m_margins.right(), m_margins.top(), m_margins.right(),
                          m_margins.bottom());
  if (hideTitle)
    chart.setTitleVisible(false);
}

ExportLook::~ExportLook()
{
  m_chart.setTitleVisible(m_titleVisible);
  if (m_chart.chartMargins() != m_margins)
    m_chart.setChartMargins(m_margins.left(), m_margins.top(), m_margins.right(),
                            m_margins.bottom());
  m_chart.setGradient(m_gradient);
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
