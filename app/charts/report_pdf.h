#pragma once
// The inspection report as an A4 PDF: the heading and statistics pages, then
// one page per chart, each chart as large as the page allows (2D charts as
// vector drawing, the 3D surface as its rendered image), every page numbered
// "Page n of m".

#include "export/report_content.h"

#include <QImage>
#include <QString>
#include <QVector>

class Chart;

struct ReportFigure {
  QString caption;
  Chart* chart = nullptr;      // a 2D chart, drawn as vectors
  bool square = false;         // the circular chart keeps its round shape
  bool adjustMargins = false;  // even left and right margins (the circular chart)
  QImage image;                // used when chart is null: the 3D surface's picture
};

// false + *error (path and reason) when the file cannot be written or a figure
// has no picture; path is then left as it was.
bool WriteReportPdf(const QString& path, const ReportText& text,
                    const QVector<ReportFigure>& figures, QString* error = nullptr);

// How many pages the report gets (heading pages plus one per figure).
int ReportPageCount(const ReportText& text, int figureCount);
