// The map views' chart components without a 3D context: the contour plot's
// lines and level texts, and the surface's palette, proportions and zoom.

#include "analysis/map_palette.h"
#include "charts/chart.h"

#include <qcustomplot.h>

#include <QTest>

#include <cmath>

namespace {

// One piece per level, each a short vertical line at x = level + 0.5 from line
// 0 to line 2 in three points, so each carries a text at (level + 0.5, 2).
ContourLines stairs(int levels)
{
  ContourLines l;
  for (int i = 0; i < levels; ++i) {
    l.pieces.push_back({i, static_cast<int>(l.points.size()), 3, false});
    for (int z = 0; z < 3; ++z)
      l.points.push_back({i + 0.5, static_cast<double>(z)});
  }
  return l;
}

QVector<ContourLabel> labelsOf(const ContourLines& l)
{
  QVector<ContourLabel> out;
  const unsigned colors[] = {MapBlue, MapBlue, MapBlack, MapBlack, MapBlack,
                             MapBlack, MapBlack, MapBlack, MapRed, MapRed};
  for (const ContourPiece& p : l.pieces)
    out.push_back({p.level, l.point(p, 2), QStringLiteral("L%1").arg(p.level), colors[p.level]});
  return out;
}

QVector<QColor> levelColors()
{
  QVector<QColor> c(10, Qt::black);
  c[0] = c[1] = Qt::blue;
  c[8] = c[9] = Qt::red;
  return c;
}

int countPixels(const QImage& img, const QRect& area, const std::function<bool(QColor)>& match)
{
  int n = 0;
  for (int y = std::max(0, area.top()); y <= std::min(img.height() - 1, area.bottom()); ++y)
    for (int x = std::max(0, area.left()); x <= std::min(img.width() - 1, area.right()); ++x)
      n += match(img.pixelColor(x, y)) ? 1 : 0;
  return n;
}

bool isRed(QColor c)
{
  // Antialiased one-pixel lines blend with the white plot.
  return c.red() > 150 && c.red() - c.green() > 80 && c.red() - c.blue() > 80;
}

SurfaceLook lookOf(bool smooth, int transparency)
{
  SurfaceLook look;
  look.colors = PaletteColors{};
  look.steps = SurfacePalette({0.0, 64.0}, look.colors);
  look.smooth = smooth;
  look.transparencyPercent = transparency;
  return look;
}

QColor colorOf(unsigned bgr)
{
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// The gradient's colour just inside its stops at t (the stop at or below t).
QColor gradientAt(const QLinearGradient& g, double t)
{
  QColor c;
  for (const QGradientStop& s : g.stops())
    if (s.first <= t)
      c = s.second;
  return c;
}

}  // namespace

class TestMapCharts : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init()
  {
    m_contour = std::make_unique<ContourChart>();
    m_contour->resize(600, 300);
    m_contour->setChartMargins(32, 24, 32, 8);
    m_contour->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_contour.get()));
  }
  void cleanup() { m_contour.reset(); }

  void levelTextsSitAtTheThirdPointInTheirColours()
  {
    const ContourLines lines = stairs(10);
    m_contour->setContours(lines, levelColors(), labelsOf(lines));
    const QVector<ContourText> texts = m_contour->texts();
    QCOMPARE(texts.size(), 10);
    for (const ContourText& t : texts) {
      QCOMPARE(t.text, QStringLiteral("L%1").arg(t.level));
      QCOMPARE(t.pixel.x(), m_contour->bottomAxis().valueToPixel(t.level + 0.5));
      QCOMPARE(t.pixel.y(), m_contour->leftAxis().valueToPixel(2.0));
      const QColor expected = t.level <= 1 ? Qt::blue : t.level <= 7 ? Qt::black : Qt::red;
      QCOMPARE(t.color, expected);
      QCOMPARE(t.font.family(), QStringLiteral("Times New Roman"));
      QVERIFY(t.font.bold());
    }
  }

  void levelTextsGrowForZoomAndPlainBackground()
  {
    const ContourLines lines = stairs(2);
    m_contour->setContours(lines, levelColors(), labelsOf(lines));
    QCOMPARE(m_contour->texts().first().font.pointSize(), ContourChart::LabelPointSize);
    m_contour->setGradient(false);
    QCOMPARE(m_contour->texts().first().font.pointSize(), ContourChart::LabelPointSizeLarge);
    m_contour->setGradient(true);
    // A user's rectangle over the middle of the plot, then its undo.
    const QRect plot = m_contour->plotRect();
    QTest::mousePress(m_contour->plot(), Qt::LeftButton, {}, plot.topLeft() + QPoint(20, 20));
    QTest::mouseMove(m_contour->plot(), plot.center());
    QTest::mouseRelease(m_contour->plot(), Qt::LeftButton, {}, plot.center());
    QVERIFY(m_contour->isZoomed());
    QCOMPARE(m_contour->texts().first().font.pointSize(), ContourChart::LabelPointSizeLarge);
    m_contour->undoZoom();
    QCOMPARE(m_contour->texts().first().font.pointSize(), ContourChart::LabelPointSize);
  }

  void hiddenContoursDrawNothing()
  {
    const ContourLines lines = stairs(10);
    m_contour->setContours(lines, levelColors(), labelsOf(lines));
    const QRect redLines(static_cast<int>(m_contour->bottomAxis().valueToPixel(8.0)),
                         static_cast<int>(m_contour->leftAxis().valueToPixel(2.0)), 40, 40);
    QVERIFY(countPixels(m_contour->picture(), redLines, isRed) > 10);
    m_contour->setContoursVisible(false);
    QVERIFY(m_contour->texts().isEmpty());
    QCOMPARE(countPixels(m_contour->picture(), redLines, isRed), 0);
  }

  void pictureCarriesLevelLinesAndTexts()
  {
    // The level 9 line alone, then with its text: the text adds red pixels
    // beside the line, inside the picture the exports write.
    ContourLines lines = stairs(10);
    m_contour->setContours(lines, levelColors(), {});
    const QPointF at(m_contour->bottomAxis().valueToPixel(9.5),
                     m_contour->leftAxis().valueToPixel(2.0));
    const QRect textArea(at.toPoint() + QPoint(2, -14), QSize(24, 14));
    const int without = countPixels(m_contour->picture(), textArea, isRed);
    m_contour->setContours(lines, levelColors(), labelsOf(lines));
    QVERIFY(countPixels(m_contour->picture(), textArea, isRed) > without + 5);
  }

  void bandedPaletteHasHardEdgesBetween64Steps()
  {
    const SurfaceLook look = lookOf(false, 0);
    const QLinearGradient g = SurfaceChart::lookGradient(look);
    QCOMPARE(g.stops().size(), 2 * SurfacePaletteSteps);
    for (int s = 0; s < SurfacePaletteSteps; ++s) {
      const double mid = (s + 0.5) / SurfacePaletteSteps;
      QCOMPARE(gradientAt(g, mid), colorOf(look.steps[s].color));
    }
    QCOMPARE(g.stops().first().second, QColor(Qt::blue));    // lowest: minimum colour
    QCOMPARE(g.stops().last().second, QColor(Qt::yellow));   // highest: maximum colour
  }

  void smoothPaletteRunsThroughTheMiddleColour()
  {
    const QLinearGradient g = SurfaceChart::lookGradient(lookOf(true, 0));
    QVERIFY(g.stops().size() > 2 * 3);
    QCOMPARE(g.stops().first().second, QColor(Qt::blue));
    QCOMPARE(gradientAt(g, 0.5), QColor(Qt::red));
    QCOMPARE(g.stops().last().second, QColor(Qt::yellow));
    // No two neighbouring stops share a colour: the run has no bands.
    for (int i = 1; i < g.stops().size(); ++i)
      QVERIFY(g.stops()[i].second != g.stops()[i - 1].second);
  }

  void transparencyIsTwentyPercent_data()
  {
    QTest::addColumn<bool>("smooth");
    QTest::newRow("banded") << false;
    QTest::newRow("smooth") << true;
  }
  void transparencyIsTwentyPercent()
  {
    QFETCH(bool, smooth);
    for (const QGradientStop& s : SurfaceChart::lookGradient(lookOf(smooth, 20)).stops())
      QCOMPARE(s.second.alpha(), 204);
    for (const QGradientStop& s : SurfaceChart::lookGradient(lookOf(smooth, 0)).stops())
      QCOMPARE(s.second.alpha(), 255);
  }

  void zoomNeverBelowFivePercent()
  {
    SurfaceChart s;
    QCOMPARE(s.zoomPercent(), 70);
    for (int i = 0; i < 20; ++i)
      s.setZoomPercent(s.zoomPercent() - 5);
    QCOMPARE(s.zoomPercent(), SurfaceChart::MinimumZoomPercent);
    QVERIFY(!s.hasGraph());  // nothing here needed a 3D context
  }

  void boxProportionsFollowDepthPercentAndFactor_data()
  {
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("factor");
    QTest::addColumn<double>("widthToDepth");
    QTest::newRow("3x12") << 25 << 3 << 4.0;
    QTest::newRow("6x12") << 50 << 3 << 2.0;
    QTest::newRow("lines twice as far apart") << 50 << 4 << 1.5;
  }
  void boxProportionsFollowDepthPercentAndFactor()
  {
    QFETCH(int, percent);
    QFETCH(int, factor);
    QFETCH(double, widthToDepth);
    SurfaceChart s;
    s.setDepthPercent(percent);
    s.setDepthFactor(factor);
    QCOMPARE(s.horizontalAspect(), widthToDepth);
  }

  void mapKeepsItsHolesAndTipsNameTheBand()
  {
    SurfaceChart s;
    const double nan = std::nan("");
    s.setMap(3, 2, {0.0, nan, 32.0, 64.0, 16.0, nan});
    QCOMPARE(s.valueAt(2, 0), 32.0);
    QCOMPARE(s.valueAt(0, 1), 64.0);
    QVERIFY(std::isnan(s.valueAt(1, 0)));
    QVERIFY(std::isnan(s.valueAt(3, 0)));  // outside
    QCOMPARE(s.series()->dataProxy()->rowCount(), 2);
    QCOMPARE(s.series()->dataProxy()->columnCount(), 3);
    const SurfaceLook look = lookOf(false, 0);
    s.setLook(look);
    QCOMPARE(s.tipText(32.0), PaletteStepText(look.steps[PaletteStepOf(look.steps, 32.0)]));
    QVERIFY(s.tipText(nan).isEmpty());
  }

 private:
  std::unique_ptr<ContourChart> m_contour;
};

QTEST_MAIN(TestMapCharts)
#include "test_map_charts.moc"
