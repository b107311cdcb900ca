#pragma once
// What the export buttons need of a chart: its series as worksheet points, the
// look a picture is made with (gradient off, polar margins evened, title
// hidden) and back, and the picture file in the format asked for.

#include "export/xls_writer.h"

#include <QMargins>
#include <QString>

class Chart;
class ChartSeries;

enum class PictureFormat { Bmp, Jpeg, Pdf, Png };

inline constexpr int JpegQuality = 95;

// The series' points in point order, labels and null flags included.
XlsSeries xlsSeriesOf(const ChartSeries& series);

// The format a file name asks for by its extension (any case), or nothing.
std::optional<PictureFormat> pictureFormatOf(const QString& path);

// Changes a chart's look for a picture and puts it back when it goes out of
// scope, whatever happened in between.
class ExportLook {
 public:
  ExportLook(Chart& chart, bool adjustMargins, bool hideTitle);
  ~ExportLook();
  ExportLook(const ExportLook&) = delete;
  ExportLook& operator=(const ExportLook&) = delete;

 private:
  Chart& m_chart;
  QMargins m_margins;
  bool m_gradient;
  bool m_titleVisible;
};

// Writes the chart's picture at its on-screen size: BMP, JPEG (quality 95,
// colour), PNG, or a one-page PDF 1.4 with the chart as vector drawing.
// false + *error (path and reason) when it cannot; path is then left as it was.
bool saveChartPictureFile(Chart& chart, const QString& path, PictureFormat format,
                          QString* error = nullptr);
