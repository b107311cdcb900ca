#pragma once
// What the export buttons need of a chart: its series as worksheet points, the
// look a picture is made with (gradient off, polar margins evened, title
// hidden) and back, and the picture file in the format asked for.

#include "export/xls_writer.h"

#include <QMargins>
#include <QString>

class Chart;
class ChartSeries;
class QImage;
class QWidget;

enum class PictureFormat { Bmp, Jpeg, Pdf, Png };

inline constexpr int JpegQuality = 95;

// The series' points in point order, labels and null flags included.
XlsSeries xlsSeriesOf(const ChartSeries& series);

// The format a file name asks for by its extension (any case), or nothing.
std::optional<PictureFormat> pictureFormatOf(const QString& path);

// The exported chart of a widget: a 2D chart, or the 3D surface (nullptrs when
// it is neither).
Chart* asChart(QWidget* w);
class SurfaceChart;
SurfaceChart* asSurface(QWidget* w);

// Lets the 3D surface come on screen before its picture is taken: the graph
// renders only once its window is exposed, and an expose that arrives after the
// view has been left again is what the graph cannot take. False on time-out.
bool waitUntilDrawable(SurfaceChart* surface, int timeoutMs = 3000);

// Changes a chart's look for a picture and puts it back when it goes out of
// scope, whatever happened in between.
class ExportLook {
 public:
  ExportLook(Chart& chart, bool adjustMargins, bool hideTitle);
  // Any chart widget; the 3D surface has no look to change.
  ExportLook(QWidget* chart, bool adjustMargins, bool hideTitle);
  ~ExportLook();
  ExportLook(const ExportLook&) = delete;
  ExportLook& operator=(const ExportLook&) = delete;

 private:
  void apply(bool adjustMargins, bool hideTitle);
  Chart* m_chart;
  QMargins m_margins;
  bool m_gradient = true;
  bool m_titleVisible = true;
};

// Writes the chart's picture at its on-screen size: BMP, JPEG (quality 95,
// colour), PNG, or a one-page PDF 1.4 with the chart as vector drawing.
// false + *error (path and reason) when it cannot; path is then left as it was.
bool saveChartPictureFile(Chart& chart, const QString& path, PictureFormat format,
                          QString* error = nullptr);
// The same for any chart widget: the 3D surface is written as its rendered
// image (inside the PDF too); a surface that gives no image is an error.
bool saveChartPictureFile(QWidget* chart, const QString& path, PictureFormat format,
                          QString* error = nullptr);
// An image to a file of that format, through a temporary file.
bool saveImageFile(const QImage& image, const QString& path, PictureFormat format,
                   QString* error = nullptr);
