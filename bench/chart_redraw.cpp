// Prints how long the linear chart takes with a large file: filling 100 000
// counts point by point (line, dots, average line with a break every 25 counts),
// clearing, the bulk fill, redrawing the whole file and one record, the hover
// tip lookup and the picture output. Runs on the offscreen platform.

#include "charts/chart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int Counts = 100000;
constexpr int RecordLength = 25;

double value(int i)
{
  return 10.0 + 6.0 * std::sin(i * 0.07) + (i % 7) * 0.1;
}

struct Series {
  ChartSeries* line;
  ChartSeries* dots;
  ChartSeries* average;
};

Series makeSeries(LinearChart& chart)
{
  Series s{chart.addSeries(ChartSeries::Kind::Line), chart.addSeries(ChartSeries::Kind::Point),
           chart.addSeries(ChartSeries::Kind::Line)};
  s.line->setColor(QColor(0, 0, 127));
  s.dots->setPointer(2, Qt::blue, QColor(0, 0, 127));
  s.dots->setHoverTips(true);
  s.average->setDotted(true);
  s.average->setColor(Qt::red);
  return s;
}

void fillOneByOne(const Series& s)
{
  for (int i = 0; i < Counts; ++i) {
    if (i % RecordLength == 0) {
      s.line->addNull(i);
      s.average->addNull(i);
      continue;
    }
    const double v = value(i);
    s.line->add(i, v);
    s.dots->add(i, v);
    s.average->add(i, 10.0);
  }
}

double msSince(const QElapsedTimer& t)
{
  return t.nsecsElapsed() / 1e6;
}

// Median of several redraws, so one slow pass (first font use) does not decide.
double medianRedraw(LinearChart& chart, int passes)
{
  std::vector<double> times;
  for (int i = 0; i < passes; ++i) {
    QElapsedTimer t;
    t.start();
    chart.replot();
    times.push_back(msSince(t));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  LinearChart chart;
  chart.resize(1000, 600);
  chart.setChartMargins(40, 28, 16, 16);
  chart.bottomAxis().setRange(0, Counts);
  chart.show();
  const Series s = makeSeries(chart);

  QElapsedTimer t;
  t.start();
  fillOneByOne(s);
  std::printf("fill %d counts point by point (3 series): %8.1f ms\n", Counts, msSince(t));
  app.processEvents();

  std::printf("redraw whole file, dots + line + average:   %8.1f ms (median of 15)\n",
              medianRedraw(chart, 15));
  s.dots->setActive(false);
  std::printf("redraw whole file, line + average only:     %8.1f ms (median of 15)\n",
              medianRedraw(chart, 15));
  s.dots->setActive(true);
  chart.bottomAxis().setRange(RecordLength + 1, 2 * RecordLength - 1);
  std::printf("redraw one record of %d counts:             %8.1f ms (median of 15)\n",
              RecordLength - 1, medianRedraw(chart, 15));
  chart.bottomAxis().setRange(0, Counts);
  chart.replot();

  t.restart();
  const QString tip = chart.hoverTipAt(chart.plotRect().center());
  std::printf("hover tip lookup over %d points:        %8.1f ms (tip \"%s\")\n", Counts, msSince(t),
              qPrintable(tip));

  t.restart();
  s.line->clear();
  s.dots->clear();
  s.average->clear();
  std::printf("clear 3 series:                             %8.1f ms\n", msSince(t));

  QVector<double> xs(Counts), ys(Counts);
  QVector<bool> nulls(Counts);
  for (int i = 0; i < Counts; ++i) {
    xs[i] = i;
    ys[i] = value(i);
    nulls[i] = i % RecordLength == 0;
  }
  t.restart();
  s.line->setPoints(xs, ys, nulls);
  std::printf("bulk fill %d counts (one series):      %8.1f ms\n", Counts, msSince(t));
  s.dots->setPoints(xs, ys, nulls);

  QTemporaryDir dir;
  t.restart();
  chart.saveBmp(dir.filePath(QStringLiteral("c.bmp")));
  std::printf("BMP picture:                                %8.1f ms\n", msSince(t));
  t.restart();
  chart.saveJpeg(dir.filePath(QStringLiteral("c.jpg")), 95);
  std::printf("JPEG picture (quality 95):                  %8.1f ms\n", msSince(t));
  t.restart();
  chart.savePdf(dir.filePath(QStringLiteral("c.pdf")));
  std::printf("PDF picture (vector):                       %8.1f ms\n", msSince(t));
  return 0;
}
