#include "charts/report_pdf.h"

#include "charts/chart_base.h"
#include "charts/chart_export.h"

#include <qcustomplot.h>

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>

namespace {

// Page geometry in points (the writer runs at 72 dpi, so one unit is one point).
constexpr int Dpi = 72;
constexpr double Margin = 42.0;  // about 15 mm
constexpr double FooterHeight = 18.0;
constexpr double TitleSize = 18.0;
constexpr double TextSize = 10.0;
constexpr double TableSize = 8.5;
constexpr double RowHeight = 14.0;
// 2D charts are laid out at about the width they have on a screen, then scaled
// onto the page: fonts and pointer sizes keep their on-screen proportions.
constexpr double ChartLogicalWidth = 900.0;

const QPageSize A4(QPageSize::A4);

QSizeF pageSize(QPageLayout::Orientation o)
{
  const QSizeF s = A4.size(QPageSize::Point);
  return o == QPageLayout::Portrait ? s : s.transposed();
}

QRectF contentRect(QPageLayout::Orientation o)
{
  const QSizeF s = pageSize(o);
  return QRectF(Margin, Margin, s.width() - 2 * Margin, s.height() - 2 * Margin - FooterHeight);
}

QFont font(double points, bool bold = false)
{
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPointSizeF(points);
  f.setBold(bold);
  return f;
}

// How the first page's fields and the table fall onto pages: the rows of the
// table on each heading page.
struct HeadingLayout {
  QVector<QPair<int, int>> tableRowsPerPage;  // first row, row count
};

double fieldsHeight(const ReportText& t)
{
  return TitleSize * 2.2 + t.fields.size() * (TextSize * 1.6) + TextSize * 1.5;
}

HeadingLayout layoutHeading(const ReportText& t)
{
  HeadingLayout h;
  const double available = contentRect(QPageLayout::Portrait).height();
  int row = 0;
  double top = fieldsHeight(t);
  do {
    const int fit = std::max(1, int((available - top) / RowHeight) - 1);  // minus the header
    const int n = std::min(fit, int(t.tableRows.size()) - row);
    h.tableRowsPerPage.append({row, std::max(0, n)});
    row += std::max(0, n);
    top = 0;
  } while (row < t.tableRows.size());
  return h;
}

void drawFooter(QPainter& p, QPageLayout::Orientation o, int page, int pages)
{
  const QSizeF s = pageSize(o);
  p.setFont(font(8));
  p.setPen(Qt::black);
  p.drawText(QRectF(0, s.height() - Margin - FooterHeight + 4, s.width(), FooterHeight),
             Qt::AlignHCenter | Qt::AlignVCenter,
             QStringLiteral("Page %1 of %2").arg(page).arg(pages));
}

double drawFields(QPainter& p, const ReportText& t, const QRectF& area)
{
  double y = area.top();
  p.setFont(font(TitleSize, true));
  p.drawText(QRectF(area.left(), y, area.width(), TitleSize * 1.6), Qt::AlignLeft | Qt::AlignTop,
             t.title);
  y += TitleSize * 2.2;
  const double labelWidth = 80.0;
  for (const auto& [label, value] : t.fields) {
    p.setFont(font(TextSize, true));
    p.drawText(QRectF(area.left(), y, labelWidth, TextSize * 1.6), Qt::AlignLeft, label);
    p.setFont(font(TextSize));
    p.drawText(QRectF(area.left() + labelWidth, y, area.width() - labelWidth, TextSize * 1.6),
               Qt::AlignLeft, value);
    y += TextSize * 1.6;
  }
  return y + TextSize * 1.5;
}

void drawTable(QPainter& p, const ReportText& t, double top, const QRectF& area, int first, int n)
{
  // Column widths in parts of the table's width: the record name is narrow,
  // values and their count numbers alternate.
  const double parts[] = {1.0, 1.1, 1.3, 1.1, 1.3, 1.1, 1.3, 1.5};
  double total = 0;
  for (double w : parts)
    total += w;
  auto rowAt = [&](double y, const QStringList& cells, bool header) {
    double x = area.left();
    p.setFont(font(TableSize, header));
    for (int c = 0; c < cells.size() && c < 8; ++c) {
      const double w = area.width() * parts[c] / total;
      p.drawText(QRectF(x + 3, y, w - 6, RowHeight), Qt::AlignRight | Qt::AlignVCenter, cells[c]);
      x += w;
    }
  };
  p.setPen(Qt::black);
  rowAt(top, t.tableHeader, true);
  p.drawLine(QPointF(area.left(), top + RowHeight), QPointF(area.right(), top + RowHeight));
  for (int i = 0; i < n; ++i) {
    const double y = top + RowHeight * (i + 1);
    if (first + i == 1)  // the whole file stands apart from its records
      p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    rowAt(y, t.tableRows[first + i], false);
  }
}

// The chart drawn into rect as vectors, at a layout size like the screen's.
void drawChart(QCPPainter& p, Chart& chart, const QRectF& rect, bool adjustMargins)
{
  const ExportLook look(chart, adjustMargins, false);
  const double scale = rect.width() / ChartLogicalWidth;
  const int w = int(ChartLogicalWidth);
  const int h = std::max(1, int(rect.height() / scale));
  p.save();
  p.translate(rect.topLeft());
  p.scale(scale, scale);
  p.setClipRect(QRect(0, 0, w, h));
  p.setMode(QCPPainter::pmVectorized);
  chart.plot()->toPainter(&p, w, h);
  p.restore();
}

QRectF fitted(const QRectF& area, double aspect)
{
  QSizeF s(area.width(), area.width() / aspect);
  if (s.height() > area.height())
    s = QSizeF(area.height() * aspect, area.height());
  return QRectF(area.left() + (area.width() - s.width()) / 2, area.top(), s.width(), s.height());
}

void drawFigure(QCPPainter& p, const ReportFigure& f, QPageLayout::Orientation o)
{
  QRectF area = contentRect(o);
  p.setFont(font(12, true));
  p.setPen(Qt::black);
  p.drawText(QRectF(area.left(), area.top(), area.width(), 20), Qt::AlignLeft, f.caption);
  area.setTop(area.top() + 26);
  if (f.chart) {
    drawChart(p, *f.chart, f.square ? fitted(area, 1.0) : area, f.adjustMargins);
  } else {
    const QImage& img = f.image;
    p.drawImage(fitted(area, double(img.width()) / img.height()), img);
  }
}

QPageLayout::Orientation orientationOf(const ReportFigure& f)
{
  return f.square ? QPageLayout::Portrait : QPageLayout::Landscape;
}

bool fail(QString* error, const QString& path, const QString& reason)
{
  if (error) {
    *error = QStringLiteral(
                 "The report could not be written to \"%1\": %2. "
                 "Check that the folder exists and is writable, or choose another name.")
                 .arg(QDir::toNativeSeparators(path), reason);
  }
  return false;
}

}  // namespace

int ReportPageCount(const ReportText& text, int figureCount)
{
  return int(layoutHeading(text).tableRowsPerPage.size()) + figureCount;
}

bool WriteReportPdf(const QString& path, const ReportText& text,
                    const QVector<ReportFigure>& figures, QString* error)
{
  for (const ReportFigure& f : figures) {
    if (!f.chart && f.image.isNull())
      return fail(error, path,
                  QStringLiteral("the picture of \"%1\" could not be made").arg(f.caption));
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return fail(error, path, file.errorString());
  const HeadingLayout heading = layoutHeading(text);
  const int pages = int(heading.tableRowsPerPage.size()) + int(figures.size());
  {
    QPdfWriter pdf(&file);
    pdf.setPdfVersion(QPagedPaintDevice::PdfVersion_1_4);
    pdf.setResolution(Dpi);
    pdf.setCreator(QStringLiteral("RZ-37m connect"));
    pdf.setTitle(text.title);
    pdf.setPageLayout(QPageLayout(A4, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QCPPainter painter;
    if (!painter.begin(&pdf)) {
      file.cancelWriting();
      return fail(error, path, QStringLiteral("the PDF drawing could not be started"));
    }
    int page = 0;
    for (const auto& [first, n] : heading.tableRowsPerPage) {
      if (page > 0)
        pdf.newPage();
      const QRectF area = contentRect(QPageLayout::Portrait);
      const double top = page == 0 ? drawFields(painter, text, area) : area.top();
      drawTable(painter, text, top, area, first, n);
      drawFooter(painter, QPageLayout::Portrait, ++page, pages);
    }
    for (const ReportFigure& f : figures) {
      const auto o = orientationOf(f);
      pdf.setPageLayout(QPageLayout(A4, o, QMarginsF(0, 0, 0, 0)));
      pdf.newPage();
      drawFigure(painter, f, o);
      drawFooter(painter, o, ++page, pages);
    }
    painter.end();
  }
  if (!file.commit())
    return fail(error, path, file.errorString());
  return true;
}
