#pragma once
// Axis ticks at a desired step, widened to a multiple only where the labels
// would overlap, labelled with the program's number format (decimal comma).

#include <qcustomplot.h>

class ChartTicker : public QCPAxisTickerFixed {
 public:
  ChartTicker();
  // Labels only at multiples of this (0: every tick is labelled); the polar
  // chart's angle axis has a line every 10 degrees but a label every 30.
  void setLabelEvery(double step) { m_labelEvery = step; }
  void setSubTicks(int count) { m_subTicks = count; }
  // How many labels fit on the axis; the step is widened beyond that.
  void fitLabels(double axisPixels, double labelPixels);

 protected:
  QString getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                       int precision) override;
  int getSubTickCount(double tickStep) override;
  double getTickStep(const QCPRange& range) override;

 private:
  double m_labelEvery = 0.0;
  int m_subTicks = 4;
};

// The range QCustomPlot draws for axis limits: a single value (min == max) is
// shown as a one-unit span around it, since the drawing needs a span.
QCPRange drawableRange(double min, double max);
