// Chart components: axis limits, series data and what is plotted, zoom and its
// undo, hover tips, overlays and picture output.

#include "charts/chart.h"
#include "charts/series_plot.h"

#include <qcustomplot.h>

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

QCPGraph* graphOf(const ChartSeries* s)
{
  return qobject_cast<QCPGraph*>(s->plot()->plottable());
}

// The plotted value at key x (the graph holds the points sorted by x).
double plottedAt(const ChartSeries* s, double x)
{
  const auto data = graphOf(s)->data();
  auto it = data->findBegin(x, false);
  return it != data->constEnd() && it->key == x ? it->value : -999.0;
}

// A chart shown on the offscreen screen, laid out and drawn once.
template <typename C>
struct ShownChart {
  C chart;
  ShownChart()
  {
    chart.resize(600, 400);
    chart.setChartMargins(40, 28, 16, 16);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    chart.replot();
  }
};

void fillLine(ChartSeries* s, int n)
{
  for (int i = 0; i < n; ++i)
    s->add(i, 10.0 + (i % 5));
}

}  // namespace

class TestCharts : public QObject {
  Q_OBJECT

 private slots:
  void setRangeKeepsAxisValid_data();
  void setRangeKeepsAxisValid();
  void singleLimitMovesTheOtherWhenCrossed();
  void nullPointsBreakTheLine_data();
  void nullPointsBreakTheLine();
  void removeAtShiftsLaterPoints();
  void shortRangesStillGetLabels_data();
  void shortRangesStillGetLabels();
  void seriesKindsFitTheChart();
  void userZoomAndItsUndo_data();
  void userZoomAndItsUndo();
  void programmaticUndoRestoresLastProgramLimits();
  void hoverTipShowsLabelOrValue_data();
  void hoverTipShowsLabelOrValue();
  void overlayChildStaysAbovePlot();
  void pixelConversionMatchesDrawing_data();
  void pixelConversionMatchesDrawing();
  void polarPolygonIsClosed();
  void picturesAreWritten_data();
  void picturesAreWritten();
  void unwritablePathFailsWithReason_data();
  void unwritablePathFailsWithReason();
};

void TestCharts::setRangeKeepsAxisValid_data()
{
  QTest::addColumn<double>("curMin");
  QTest::addColumn<double>("curMax");
  QTest::addColumn<double>("newMin");
  QTest::addColumn<double>("newMax");
  QTest::addColumn<double>("wantMin");
  QTest::addColumn<double>("wantMax");
  // Each row: the current limits, the request, and the limits it must leave.
  QTest::newRow("wholly above the current range") << 0.0 << 20.0 << 30.0 << 40.0 << 30.0 << 40.0;
  QTest::newRow("wholly below the current range") << 30.0 << 40.0 << 0.0 << 20.0 << 0.0 << 20.0;
  QTest::newRow("overlapping upwards") << 0.0 << 20.0 << 10.0 << 30.0 << 10.0 << 30.0;
  QTest::newRow("overlapping downwards") << 10.0 << 30.0 << 0.0 << 20.0 << 0.0 << 20.0;
  QTest::newRow("inside the current range") << 0.0 << 100.0 << 1.0 << 24.0 << 1.0 << 24.0;
  QTest::newRow("around the current range") << 1.0 << 24.0 << 0.0 << 100.0 << 0.0 << 100.0;
  QTest::newRow("single value") << 0.0 << 20.0 << 5.0 << 5.0 << 5.0 << 5.0;
  QTest::newRow("from a single value") << 7.0 << 7.0 << 0.0 << 1000.0 << 0.0 << 1000.0;
  QTest::newRow("negative stress range") << 0.0 << 1000.0 << -250.0 << -40.0 << -250.0 << -40.0;
  // An empty record asks for f-1..f-2: the axis must stay valid, on one value.
  QTest::newRow("inverted request") << 0.0 << 100.0 << 25.0 << 24.0 << 25.0 << 25.0;
  QTest::newRow("inverted request below") << 50.0 << 100.0 << 25.0 << 24.0 << 25.0 << 25.0;
}

void TestCharts::setRangeKeepsAxisValid()
{
  QFETCH(double, curMin);
  QFETCH(double, curMax);
  QFETCH(double, newMin);
  QFETCH(double, newMax);
  QFETCH(double, wantMin);
  QFETCH(double, wantMax);
  LinearChart linear;
  PolarChart polar;
  for (ChartAxis* axis : {&linear.bottomAxis(), &linear.leftAxis(), &polar.leftAxis()}) {
    axis->setRange(curMin, curMax);
    QCOMPARE(axis->minimum(), curMin);
    QCOMPARE(axis->maximum(), curMax);
    axis->setRange(newMin, newMax);
    QCOMPARE(axis->minimum(), wantMin);
    QCOMPARE(axis->maximum(), wantMax);
    QCOMPARE(axis->programMinimum(), wantMin);
    QCOMPARE(axis->programMaximum(), wantMax);
    QVERIFY(axis->minimum() <= axis->maximum());
  }
  // What is drawn follows; a single value is drawn with a span around it.
  const QCPRange drawn = linear.plot()->xAxis->range();
  QVERIFY(drawn.lower <= wantMin && drawn.upper >= wantMax && drawn.size() > 0.0);
  if (wantMin < wantMax) {
    QCOMPARE(drawn.lower, wantMin);
    QCOMPARE(drawn.upper, wantMax);
  }
}

void TestCharts::singleLimitMovesTheOtherWhenCrossed()
{
  LinearChart chart;
  ChartAxis& axis = chart.leftAxis();
  axis.setRange(0.0, 20.0);
  axis.setMinimum(30.0);
  QCOMPARE(axis.minimum(), 30.0);
  QCOMPARE(axis.maximum(), 30.0);
  axis.setMaximum(-5.0);
  QCOMPARE(axis.minimum(), -5.0);
  QCOMPARE(axis.maximum(), -5.0);
  axis.setMaximum(qQNaN());  // ignored: NaN would poison every later conversion
  QCOMPARE(axis.maximum(), -5.0);
}

void TestCharts::nullPointsBreakTheLine_data()
{
  QTest::addColumn<bool>("bulk");
  QTest::newRow("added one by one") << false;
  QTest::newRow("bulk fill") << true;
}

void TestCharts::nullPointsBreakTheLine()
{
  QFETCH(bool, bulk);
  LinearChart chart;
  ChartSeries* line = chart.addSeries(ChartSeries::Kind::Line);
  const QVector<double> xs{0, 1, 2, 3, 4};
  const QVector<double> ys{0, 5.43, 6.5, 0, 7.25};
  const QVector<bool> nulls{true, false, false, true, false};
  if (bulk) {
    line->setPoints(xs, ys, nulls);
  } else {
    for (int i = 0; i < xs.size(); ++i) {
      if (nulls[i])
        line->addNull(xs[i]);
      else
        line->add(xs[i], ys[i]);
    }
  }
  QCOMPARE(line->count(), 5);
  for (int i = 0; i < xs.size(); ++i) {
    QCOMPARE(line->isNull(i), nulls[i]);
    QCOMPARE(line->x(i), xs[i]);
    QCOMPARE(line->y(i), ys[i]);
    if (nulls[i])
      QVERIFY(std::isnan(plottedAt(line, xs[i])));
    else
      QCOMPARE(plottedAt(line, xs[i]), ys[i]);
  }
  QCOMPARE(graphOf(line)->data()->size(), 5);
  // Past the end: no crash, a null with no value.
  QVERIFY(line->isNull(5));
  QVERIFY(std::isnan(line->y(-1)));
  line->clear();
  QCOMPARE(line->count(), 0);
  QCOMPARE(graphOf(line)->data()->size(), 0);
}

void TestCharts::shortRangesStillGetLabels_data()
{
  QTest::addColumn<double>("min");
  QTest::addColumn<double>("max");
  QTest::addColumn<QVector<double>>("ticks");
  QTest::newRow("whole file keeps the step")
      << 0.0 << 30.0 << QVector<double>{0, 5, 10, 15, 20, 25, 30};
  QTest::newRow("record of 3 counts") << 1.0 << 3.0 << QVector<double>{1, 2, 3};
  QTest::newRow("record of 7 counts") << 11.0 << 17.0 << QVector<double>{12, 14, 16};
  QTest::newRow("one count, never below whole counts") << 4.0 << 4.0 << QVector<double>{4};
}

// The count axis asks for a label every 5; a record shorter than that would
// have no label at all.
void TestCharts::shortRangesStillGetLabels()
{
  QFETCH(double, min);
  QFETCH(double, max);
  QFETCH(QVector<double>, ticks);
  LinearChart chart;
  chart.resize(600, 400);
  chart.bottomAxis().setIncrement(5);
  chart.bottomAxis().setRange(min, max);
  chart.replot();
  QCOMPARE(chart.plot()->xAxis->tickVector(), ticks);
}

void TestCharts::removeAtShiftsLaterPoints()
{
  LinearChart chart;
  ChartSeries* marks = chart.addSeries(ChartSeries::Kind::Point);
  // Selection markers come in the order the user picks them, not by x.
  marks->add(7, 1.0, QStringLiteral("a"));
  marks->add(3, 2.0, QStringLiteral("b"));
  marks->add(9, 3.0, QStringLiteral("c"));
  marks->add(5, 4.0, QStringLiteral("d"));
  marks->removeAt(1);
  marks->removeAt(42);  // out of range: ignored
  marks->removeAt(-1);
  QCOMPARE(marks->count(), 3);
  const QVector<double> wantX{7, 9, 5};
  const QVector<double> wantY{1.0, 3.0, 4.0};
  const QStringList wantLabel{QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("d")};
  for (int i = 0; i < 3; ++i) {
    QCOMPARE(marks->x(i), wantX[i]);
    QCOMPARE(marks->y(i), wantY[i]);
    QCOMPARE(marks->label(i), wantLabel[i]);
  }
  QCOMPARE(graphOf(marks)->data()->size(), 3);
  QCOMPARE(plottedAt(marks, 3), -999.0);  // the removed point is no longer drawn
  QCOMPARE(plottedAt(marks, 9), 3.0);
}

void TestCharts::seriesKindsFitTheChart()
{
  LinearChart linear;
  PolarChart polar;
  QVERIFY(linear.addSeries(ChartSeries::Kind::Polar) == nullptr);
  QVERIFY(polar.addSeries(ChartSeries::Kind::Line) == nullptr);
  ChartSeries* a = linear.addSeries(ChartSeries::Kind::Line);
  ChartSeries* b = linear.addSeries(ChartSeries::Kind::Point);
  QCOMPARE(linear.seriesCount(), 2);
  QCOMPARE(linear.series(0), a);
  QCOMPARE(linear.series(1), b);
  QVERIFY(linear.series(2) == nullptr);
  QVERIFY(linear.series(-1) == nullptr);
  b->setActive(false);
  QVERIFY(!graphOf(b)->visible());
  QVERIFY(graphOf(a)->visible());
}

void TestCharts::userZoomAndItsUndo_data()
{
  QTest::addColumn<Qt::MouseButton>("button");
  QTest::addColumn<QPoint>("from");
  QTest::addColumn<QPoint>("to");
  QTest::addColumn<bool>("zooms");
  QTest::addColumn<bool>("undoes");
  QTest::newRow("left drag down and right zooms")
      << Qt::LeftButton << QPoint(150, 100) << QPoint(350, 250) << true << false;
  QTest::newRow("left drag up and left undoes")
      << Qt::LeftButton << QPoint(350, 250) << QPoint(150, 100) << false << true;
  QTest::newRow("right-button drag undoes")
      << Qt::RightButton << QPoint(150, 100) << QPoint(350, 250) << false << true;
  QTest::newRow("a click does nothing")
      << Qt::LeftButton << QPoint(150, 100) << QPoint(152, 101) << false << false;
}

void TestCharts::userZoomAndItsUndo()
{
  QFETCH(Qt::MouseButton, button);
  QFETCH(QPoint, from);
  QFETCH(QPoint, to);
  QFETCH(bool, zooms);
  QFETCH(bool, undoes);
  ShownChart<LinearChart> shown;
  LinearChart& chart = shown.chart;
  chart.bottomAxis().setRange(0.0, 100.0);
  chart.leftAxis().setRange(0.0, 20.0);
  // Start from a zoomed state so that an undo is visible.
  const QRect first(chart.plotRect().center(), QSize(60, 40));
  QTest::mousePress(chart.plot(), Qt::LeftButton, {}, first.topLeft());
  QTest::mouseMove(chart.plot(), first.bottomRight());
  QTest::mouseRelease(chart.plot(), Qt::LeftButton, {}, first.bottomRight());
  QVERIFY(chart.isZoomed());
  const double zoomedMin = chart.bottomAxis().minimum();
  const double zoomedMax = chart.bottomAxis().maximum();
  QVERIFY(zoomedMin > 0.0 && zoomedMax < 100.0);
  QCOMPARE(chart.bottomAxis().programMinimum(), 0.0);  // a user zoom changes only the shown range
  chart.replot();

  QSignalSpy zoomedSpy(&chart, &Chart::zoomed);
  QSignalSpy undoSpy(&chart, &Chart::undoZoomed);
  QTest::mousePress(chart.plot(), button, {}, from);
  QTest::mouseMove(chart.plot(), to);
  QTest::mouseRelease(chart.plot(), button, {}, to);
  QCOMPARE(zoomedSpy.count(), zooms ? 1 : 0);
  QCOMPARE(undoSpy.count(), undoes ? 1 : 0);
  if (zooms) {
    // The rectangle's edges become the limits (pixel to value in the zoomed view).
    QVERIFY(chart.bottomAxis().minimum() > zoomedMin && chart.bottomAxis().maximum() < zoomedMax);
    QVERIFY(chart.leftAxis().maximum() - chart.leftAxis().minimum() < 20.0);
  }
  if (undoes) {
    QCOMPARE(chart.bottomAxis().minimum(), 0.0);
    QCOMPARE(chart.bottomAxis().maximum(), 100.0);
    QCOMPARE(chart.leftAxis().minimum(), 0.0);
    QCOMPARE(chart.leftAxis().maximum(), 20.0);
    QVERIFY(!chart.isZoomed());
  }
  if (!zooms && !undoes) {
    QCOMPARE(chart.bottomAxis().minimum(), zoomedMin);
    QCOMPARE(chart.bottomAxis().maximum(), zoomedMax);
  }
}

void TestCharts::programmaticUndoRestoresLastProgramLimits()
{
  ShownChart<LinearChart> shown;
  LinearChart& chart = shown.chart;
  chart.bottomAxis().setRange(1.0, 24.0);
  chart.leftAxis().setRange(4.0, 6.0);
  chart.bottomAxis().showRange(5.0, 10.0);  // as a user's zoom does
  chart.leftAxis().showRange(4.5, 5.0);
  chart.leftAxis().setMaximum(8.0);  // the program changes one limit while zoomed
  QSignalSpy undoSpy(&chart, &Chart::undoZoomed);
  chart.undoZoom();
  QCOMPARE(undoSpy.count(), 1);
  QCOMPARE(chart.bottomAxis().minimum(), 1.0);
  QCOMPARE(chart.bottomAxis().maximum(), 24.0);
  QCOMPARE(chart.leftAxis().minimum(), 4.0);
  QCOMPARE(chart.leftAxis().maximum(), 8.0);
  QCOMPARE(chart.plot()->xAxis->range().lower, 1.0);
  QCOMPARE(chart.plot()->xAxis->range().upper, 24.0);
}

void TestCharts::hoverTipShowsLabelOrValue_data()
{
  QTest::addColumn<QString>("label");
  QTest::addColumn<double>("value");
  QTest::addColumn<bool>("active");
  QTest::addColumn<bool>("tips");
  QTest::addColumn<QPoint>("offset");
  QTest::addColumn<QString>("want");
  QTest::newRow("value when unlabelled")
      << QString() << 5.43 << true << true << QPoint(1, -1) << QStringLiteral("5,43");
  QTest::newRow("converted value, six digits")
      << QString() << 123.456789 << true << true << QPoint(0, 0) << QStringLiteral("123,457");
  QTest::newRow("label when labelled")
      << QStringLiteral("05,43") << 5.43 << true << true << QPoint(0, 0) << QStringLiteral("05,43");
  QTest::newRow("nothing away from the point")
      << QString() << 5.43 << true << true << QPoint(15, 0) << QString();
  QTest::newRow("nothing on an inactive series")
      << QString() << 5.43 << false << true << QPoint(0, 0) << QString();
  QTest::newRow("nothing with tips off")
      << QString() << 5.43 << true << false << QPoint(0, 0) << QString();
}

void TestCharts::hoverTipShowsLabelOrValue()
{
  QFETCH(QString, label);
  QFETCH(double, value);
  QFETCH(bool, active);
  QFETCH(bool, tips);
  QFETCH(QPoint, offset);
  QFETCH(QString, want);
  ShownChart<LinearChart> shown;
  LinearChart& chart = shown.chart;
  chart.leftAxis().setRange(0.0, 200.0);
  ChartSeries* dots = chart.addSeries(ChartSeries::Kind::Point);
  dots->add(40.0, value, label);
  dots->add(60.0, 12.0);
  dots->setActive(active);
  dots->setHoverTips(tips);
  chart.replot();
  const QPoint at(qRound(chart.bottomAxis().valueToPixel(40.0)),
                  qRound(chart.leftAxis().valueToPixel(value)));
  QCOMPARE(chart.hoverTipAt(at + offset), want);
}

void TestCharts::overlayChildStaysAbovePlot()
{
  ShownChart<LinearChart> shown;
  LinearChart& chart = shown.chart;
  auto* label = new QLabel(QStringLiteral("Br max"), &chart);
  label->setGeometry(300, 40, 80, 20);
  label->show();
  fillLine(chart.addSeries(ChartSeries::Kind::Line), 100);
  chart.setChartMargins(30, 20, 10, 10);
  chart.replot();
  QCOMPARE(chart.childAt(QPoint(340, 50)), label);
}

void TestCharts::pixelConversionMatchesDrawing_data()
{
  QTest::addColumn<bool>("shown");
  QTest::newRow("hidden chart, before its first show") << false;
  QTest::newRow("shown chart") << true;
}

void TestCharts::pixelConversionMatchesDrawing()
{
  QFETCH(bool, shown);
  LinearChart chart;
  chart.resize(600, 400);
  if (shown) {
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
  }
  chart.setChartMargins(40, 28, 16, 16);
  chart.bottomAxis().setRange(1.0, 24.0);
  chart.leftAxis().setRange(4.0, 6.0);
  // Overlays are placed before any redraw: the plot area must already be right.
  const QRect r = chart.plotRect();
  QCOMPARE(r.top(), 28);
  QCOMPARE(r.left() + r.width(), 600 - 16);
  QVERIFY(r.left() > 40);  // the left axis labels take room inside the margin
  QVERIFY(r.top() + r.height() < 400 - 16);
  QCOMPARE(chart.bottomAxis().valueToPixel(1.0), double(r.left()));
  QCOMPARE(chart.bottomAxis().valueToPixel(24.0), double(r.left() + r.width()));
  QCOMPARE(chart.bottomAxis().pixelToValue(chart.bottomAxis().valueToPixel(7.5)), 7.5);
  // And the drawing puts values where the conversion says.
  chart.plot()->replot();
  QCOMPARE(chart.bottomAxis().valueToPixel(12.0), chart.plot()->xAxis->coordToPixel(12.0));
  QCOMPARE(chart.leftAxis().valueToPixel(5.5), chart.plot()->yAxis->coordToPixel(5.5));
}

void TestCharts::polarPolygonIsClosed()
{
  ShownChart<PolarChart> shown;
  PolarChart& chart = shown.chart;
  chart.setGradient(false);
  ChartSeries* s = chart.addSeries(ChartSeries::Kind::Polar);
  s->setColor(Qt::black);
  s->setPointerVisible(false);
  s->add(0.0, 15.0);
  s->add(120.0, 15.0);
  s->addNull(180.0);  // left out: the polygon joins its neighbours
  s->add(240.0, 15.0);
  chart.replot();
  const QImage image = chart.picture();
  const auto pixel = [&](double angle) { return s->plot()->toPixel(angle, 15.0); };
  // Somewhere near the middle of each edge of the triangle, the line is drawn.
  const auto drawnNear = [&](QPointF a, QPointF b) {
    const QPointF mid = (a + b) / 2.0;
    for (int dx = -2; dx <= 2; ++dx) {
      for (int dy = -2; dy <= 2; ++dy) {
        if (qGray(image.pixel(qRound(mid.x()) + dx, qRound(mid.y()) + dy)) < 128)
          return true;
      }
    }
    return false;
  };
  QVERIFY(drawnNear(pixel(0.0), pixel(120.0)));
  QVERIFY(drawnNear(pixel(120.0), pixel(240.0)));
  QVERIFY(drawnNear(pixel(240.0), pixel(0.0)));  // closed from the last back to the first
}

void TestCharts::picturesAreWritten_data()
{
  QTest::addColumn<QString>("format");
  QTest::newRow("bmp") << QStringLiteral("bmp");
  QTest::newRow("jpeg") << QStringLiteral("jpg");
  QTest::newRow("pdf") << QStringLiteral("pdf");
}

void TestCharts::picturesAreWritten()
{
  QFETCH(QString, format);
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  ShownChart<LinearChart> shown;
  LinearChart& chart = shown.chart;
  chart.setTitleText(QStringLiteral("         Br, mT"));
  fillLine(chart.addSeries(ChartSeries::Kind::Line), 100);
  const QString path = dir.filePath(QStringLiteral("chart.") + format);
  QFile old(path);  // an existing file is replaced
  QVERIFY(old.open(QIODevice::WriteOnly));
  old.write("old");
  old.close();
  QString error;
  bool ok = false;
  if (format == u"bmp")
    ok = chart.saveBmp(path, &error);
  else if (format == u"jpg")
    ok = chart.saveJpeg(path, 95, &error);
  else
    ok = chart.savePdf(path, &error);
  QVERIFY2(ok, qPrintable(error));
  QVERIFY(error.isEmpty());
  if (format == u"pdf") {
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF-1.4"));
    // The page is the chart's on-screen size, in points.
    QVERIFY(bytes.contains("/MediaBox [0 0 600.000000 400.000000]"));
    QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), qsizetype(1));  // one page
  } else {
    QImage image;
    QVERIFY(image.load(path, format == u"bmp" ? "BMP" : "JPEG"));
    QCOMPARE(image.size(), chart.size());
    QVERIFY(!image.allGray());  // JPEG in colour
  }
}

void TestCharts::unwritablePathFailsWithReason_data()
{
  QTest::addColumn<QString>("format");
  QTest::addColumn<QString>("relative");
  QTest::newRow("bmp, missing folder")
      << QStringLiteral("bmp") << QStringLiteral("no/such/folder/c.bmp");
  QTest::newRow("jpeg, missing folder")
      << QStringLiteral("jpg") << QStringLiteral("no/such/folder/c.jpg");
  QTest::newRow("pdf, missing folder")
      << QStringLiteral("pdf") << QStringLiteral("no/such/folder/c.pdf");
  QTest::newRow("bmp, folder is a file")
      << QStringLiteral("bmp") << QStringLiteral("plain.txt/c.bmp");
  QTest::newRow("pdf, folder is a file")
      << QStringLiteral("pdf") << QStringLiteral("plain.txt/c.pdf");
}

void TestCharts::unwritablePathFailsWithReason()
{
  QFETCH(QString, format);
  QFETCH(QString, relative);
  QTemporaryDir dir;
  QFile plain(dir.filePath(QStringLiteral("plain.txt")));
  QVERIFY(plain.open(QIODevice::WriteOnly));
  plain.close();
  LinearChart chart;
  chart.resize(300, 200);
  const QString path = dir.filePath(relative);
  QString error;
  bool ok = true;
  if (format == u"bmp")
    ok = chart.saveBmp(path, &error);
  else if (format == u"jpg")
    ok = chart.saveJpeg(path, 95, &error);
  else
    ok = chart.savePdf(path, &error);
  QVERIFY(!ok);
  QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
  QVERIFY(!QFile::exists(path));
  QVERIFY(chart.saveBmp(path, nullptr) == false);  // no reason wanted: still no crash
}

QTEST_MAIN(TestCharts)
#include "test_charts.moc"
