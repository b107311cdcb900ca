#include "analysis/test_statistics_grid.h"
#include "charts/chart.h"
#include "common/clock.h"
#include "shell/main_window.h"
#include "shell/panel.h"
#include "common/program_folder.h"
#include "shell/view_rebuild.h"
#include "support/main_window_fixture.h"
#include "support/scripted_prompts.h"

#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Record 1: 24 counts from 05,00 to 07,30 in rows 2..25; separator in row 26;
// record 2: twelve counts 10,00 .. 15,50 in rows 27..38; record 3: one count.
QStringList threeRecords()
{
  QStringList cells;
  for (int i = 0; i < 24; ++i)
    cells << QStringLiteral("%1,%2")
                 .arg(5 + i / 10, 2, 10, QLatin1Char('0'))
                 .arg(i % 10 * 10, 2, 10, QLatin1Char('0'));
  cells << QString();
  for (int i = 0; i < 12; ++i)
    cells << QStringLiteral("%1,%2")
                 .arg(10 + i / 2, 2, 10, QLatin1Char('0'))
                 .arg(i % 2 ? 50 : 0, 2, 10, QLatin1Char('0'));
  cells << QString() << QStringLiteral("05,43");
  return cells;
}

QString shownLabel(const QString& label)
{
  return QString(label).replace(u'\r', u'\n');
}

}  // namespace

class TestRecordDisplayWindow : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase();
  void init();
  void cleanup();

  void browseRecords_data();
  void browseRecords();
  void arrangeOffRestoresTheFile_data();
  void arrangeOffRestoresTheFile();
  void hiddenNavigatorDoesNotNarrow();
  void dotsAndAverageSwitchTheirSeries();
  void colourChoices();
  void stressAndTrendWhileFilling();
  void navigatorTextsNeverOverlap_data();
  void navigatorTextsNeverOverlap();

 private:
  void load(const QStringList& cells);
  void arrange(bool on);

  QTemporaryDir m_dir;
  MainWindowFixture m_window;
  ScriptedPrompts& m_prompts = m_window.prompts;
  std::unique_ptr<TForm1>& m_form = m_window.form;
};

void TestRecordDisplayWindow::navigatorTextsNeverOverlap_data()
{
  QTest::addColumn<int>("records");
  QTest::addColumn<QString>("range");
  QTest::addColumn<int>("points");
  QTest::newRow("empty") << 1 << "Range [0000..0000]  L=0000" << 8;
  QTest::newRow("100 records") << 100 << "Range [1002..2001]  L=1000" << 8;
  QTest::newRow("100 000 records") << 100000 << "Range [199999..199999]  L=1" << 8;
  QTest::newRow("one record of 100 000 counts") << 1 << "Range [2..100001]  L=100000" << 8;
  QTest::newRow("large font") << 100000 << "Range [99001..100000]  L=1000" << 14;
}

void TestRecordDisplayWindow::navigatorTextsNeverOverlap()
{
  QFETCH(int, records);
  QFETCH(QString, range);
  QFETCH(int, points);
  TForm1& f = *m_form;
  QFont font = f.font();
  font.setPointSize(points);
  f.setFont(font);
  f.ScrollBar7->setEnabled(false);  // no data: the texts alone are laid out
  f.ScrollBar7->setMaximum(records);
  f.Panel21->setCaption(QStringLiteral(" Record                    of ") +
                        QString::number(records));
  f.Panel22->setCaption(QString::number(records));
  f.Panel23->setCaption(range);
  arrange(true);

  // Each text's box holds the text in the font in use, inside the panel, and
  // no two boxes share a pixel.
  const QFontMetrics fm(f.Panel21->font());
  struct Part {
    QString text;
    QRect box;
  };
  const auto* word = f.Panel21->findChild<QLabel*>(QStringLiteral("RecordWord"));
  const auto* count = f.Panel21->findChild<QLabel*>(QStringLiteral("RecordCount"));
  QVERIFY(word && count);
  QCOMPARE(word->text(), QStringLiteral("Record"));
  QCOMPARE(count->text(), QStringLiteral("of ") + QString::number(records));
  const QList<Part> parts = {{word->text(), word->geometry()},
                             {QString(), f.ScrollBar7->geometry()},
                             {count->text(), count->geometry()},
                             {range, f.Panel23->geometry()}};
  for (int i = 0; i < parts.size(); ++i) {
    QVERIFY2(f.Panel21->rect().contains(parts[i].box), qPrintable(parts[i].text));
    QVERIFY2(parts[i].box.width() >= fm.horizontalAdvance(parts[i].text) + 2,
             qPrintable(parts[i].text));
    for (int j = i + 1; j < parts.size(); ++j)
      QVERIFY2(!parts[i].box.intersects(parts[j].box),
               qPrintable(parts[i].text + QStringLiteral(" / ") + parts[j].text));
  }
  // The record number fits its box, and the box leaves the bar's arrows free.
  const QRect box = f.Panel22->geometry();
  QVERIFY(box.width() >= fm.horizontalAdvance(QString::number(records)) + 4);
  QVERIFY(f.ScrollBar7->geometry().contains(box));
  QVERIFY(box.left() - f.ScrollBar7->x() >= 12);
  QVERIFY(f.ScrollBar7->geometry().right() - box.right() >= 12);
  QVERIFY(f.Panel21->geometry().right() < f.Chart1->width());
}

void TestRecordDisplayWindow::initTestCase()
{
  QVERIFY(m_dir.isValid());
  ProgramFolder::setOverride(m_dir.path());
}

void TestRecordDisplayWindow::init()
{
  m_window.start();
}

void TestRecordDisplayWindow::cleanup()
{
  m_window.stop();
}

void TestRecordDisplayWindow::load(const QStringList& cells)
{
  m_window.load(cells);
}

void TestRecordDisplayWindow::arrange(bool on)
{
  if (m_form->N35->isChecked() != on)
    m_form->N35->trigger();
  QCOMPARE(m_form->N35->isChecked(), on);
}

void TestRecordDisplayWindow::browseRecords_data()
{
  QTest::addColumn<int>("record");
  QTest::addColumn<QString>("range");
  QTest::addColumn<double>("bottomMin");
  QTest::addColumn<double>("bottomMax");
  QTest::addColumn<double>("leftMin");
  QTest::addColumn<double>("leftMax");
  QTest::addColumn<QString>("label");
  QTest::addColumn<int>("circularPoints");

  QTest::newRow("record 1") << 1 << "Range [1..24]  L=24" << 1.0 << 24.0 << 4.0 << 8.0
                            << "Br max =7,30 mT \rBr avg =6,15 mT \rBr min =5,00 mT " << 24;
  QTest::newRow("record 2") << 2 << "Range [26..37]  L=12" << 26.0 << 37.0 << 9.0 << 16.0
                            << "Br max =15,50 mT \rBr avg =12,80 mT \rBr min =10,00 mT " << 12;
  QTest::newRow("one count") << 3 << "Range [39..39]  L=1" << 39.0 << 39.0 << 4.0 << 6.0
                             << "Br max =5,43 mT \rBr avg =5,43 mT \rBr min =5,43 mT " << 1;
}

void TestRecordDisplayWindow::browseRecords()
{
  QFETCH(int, record);
  QFETCH(QString, range);
  QFETCH(double, bottomMin);
  QFETCH(double, bottomMax);
  QFETCH(double, leftMin);
  QFETCH(double, leftMax);
  QFETCH(QString, label);
  QFETCH(int, circularPoints);
  TForm1& f = *m_form;
  load(threeRecords());
  arrange(true);
  QVERIFY(f.Panel21->isVisible());
  QCOMPARE(f.Panel21->caption(), QStringLiteral(" Record                    of 3"));

  f.ScrollBar7->setValue(record);
  QCOMPARE(f.Panel22->caption(), QString::number(record));
  QCOMPARE(f.Panel23->caption(), range);
  QCOMPARE(f.Chart1->bottomAxis().minimum(), bottomMin);
  QCOMPARE(f.Chart1->bottomAxis().maximum(), bottomMax);
  QCOMPARE(f.Chart1->leftAxis().minimum(), leftMin);
  QCOMPARE(f.Chart1->leftAxis().maximum(), leftMax);
  QCOMPARE(f.Label2->text(), shownLabel(label));
  QCOMPARE(f.State.CurrentMean, f.State.RangeMean);
  // The linear chart keeps the whole file; the circular chart gets the record.
  QCOMPARE(f.LinearSeries(0)->count(), f.Grid.RowCount() - 1);
  QCOMPARE(f.CircularSeries(0)->count(), circularPoints);
  QCOMPARE(f.CircularSeries(1)->count(), circularPoints);
  QCOMPARE(f.CircularSeries(0)->label(0), f.Grid.cell(f.Grid.findRecord(record).first, 1));
  QCOMPARE(f.CircularSeries(1)->y(0), f.State.RangeMean);
}

void TestRecordDisplayWindow::arrangeOffRestoresTheFile_data()
{
  QTest::addColumn<int>("counts");
  QTest::addColumn<double>("bottomMax");
  QTest::newRow("short file") << 40 << 100.0;
  QTest::newRow("file past 101 rows") << 150 << 152.0;
}

void TestRecordDisplayWindow::arrangeOffRestoresTheFile()
{
  QFETCH(int, counts);
  QFETCH(double, bottomMax);
  TForm1& f = *m_form;
  QStringList cells = repeatedCells(counts / 2, QStringLiteral("04,00"));
  cells << QString() << repeatedCells(counts - counts / 2, QStringLiteral("08,00"));
  load(cells);
  const QString wholeFile = f.Label2->text();
  arrange(true);
  f.ScrollBar7->setValue(2);
  QVERIFY(f.Label2->text() != wholeFile);

  arrange(false);
  QVERIFY(!f.Panel21->isVisible());
  QCOMPARE(f.Chart1->bottomAxis().minimum(), 0.0);
  QCOMPARE(f.Chart1->bottomAxis().maximum(), bottomMax);
  QCOMPARE(f.Chart1->leftAxis().minimum(), 0.0);
  QCOMPARE(f.Chart1->leftAxis().maximum(), 20.0);
  QCOMPARE(f.Label2->text(), wholeFile);
  QCOMPARE(f.State.RangeMin, 4.0);
  QCOMPARE(f.State.RangeMax, 8.0);
}

void TestRecordDisplayWindow::hiddenNavigatorDoesNotNarrow()
{
  // Left on record 2, then "Arrange by record" off: a new load brings the
  // navigator back to 1, which must leave the whole-file view as it is.
  TForm1& f = *m_form;
  load(threeRecords());
  arrange(true);
  f.ScrollBar7->setValue(2);
  arrange(false);
  load(threeRecords());
  QCOMPARE(f.ScrollBar7->value(), 1);
  QCOMPARE(f.Chart1->bottomAxis().minimum(), 0.0);
  QCOMPARE(f.Chart1->bottomAxis().maximum(), 100.0);
  QCOMPARE(f.Label2->text(),
           shownLabel(QStringLiteral("Br max =15,50 mT \rBr avg =8,27 mT \rBr min =5,00 mT ")));
}

void TestRecordDisplayWindow::dotsAndAverageSwitchTheirSeries()
{
  TForm1& f = *m_form;
  load(threeRecords());
  QVERIFY(f.N31->isChecked());
  QVERIFY(f.LinearSeries(1)->isActive());
  QVERIFY(!f.LinearSeries(3)->isActive());
  QVERIFY(!f.CircularSeries(1)->isActive());
  QVERIFY(!f.Label2->isVisible());

  f.N31->trigger();
  QVERIFY(!f.LinearSeries(1)->isActive());
  QVERIFY(!f.LinearSeries(2)->isActive());
  QVERIFY(!f.CircularSeries(0)->pointerVisible());
  QVERIFY(f.LinearSeries(0)->isActive());
  f.N31->trigger();
  QVERIFY(f.LinearSeries(1)->isActive());
  QVERIFY(f.LinearSeries(2)->isActive());
  QVERIFY(f.CircularSeries(0)->pointerVisible());

  f.N32->trigger();
  QVERIFY(f.LinearSeries(3)->isActive());
  QVERIFY(f.CircularSeries(1)->isActive());
  QVERIFY(f.Label2->isVisible());
  f.N32->trigger();
  QVERIFY(!f.LinearSeries(3)->isActive());
  QVERIFY(!f.CircularSeries(1)->isActive());
  QVERIFY(!f.Label2->isVisible());
}

void TestRecordDisplayWindow::colourChoices()
{
  TForm1& f = *m_form;
  const unsigned graph = 0x2080F0;  // 0x00BBGGRR
  const unsigned half = 0x104078;
  m_prompts.colorAnswers.enqueue(graph);
  m_prompts.colorAnswers.enqueue(std::nullopt);  // cancelled: nothing changes
  m_prompts.colorAnswers.enqueue(0x00FF00u);
  f.Panel8Click();
  QCOMPARE(f.Panel8->color(), graph);
  QCOMPARE(f.LinearSeries(1)->pointerFill(), colorFromBgr(graph));
  QCOMPARE(f.LinearSeries(1)->pointerOutline(), colorFromBgr(half));
  QCOMPARE(f.LinearSeries(0)->color(), colorFromBgr(half));
  QCOMPARE(f.CircularSeries(0)->pointerFill(), colorFromBgr(graph));
  QCOMPARE(f.CircularSeries(0)->pointerOutline(), colorFromBgr(half));
  QCOMPARE(f.CircularSeries(0)->color(), colorFromBgr(half));
  f.Panel9Click();
  QCOMPARE(f.Panel9->color(), 0x0000FFu);
  f.Panel9Click();
  QCOMPARE(f.Panel9->color(), 0x00FF00u);
  QCOMPARE(f.LinearSeries(3)->color(), colorFromBgr(0x00FF00u));
  QCOMPARE(f.CircularSeries(1)->color(), colorFromBgr(0x00FF00u));
}

void TestRecordDisplayWindow::stressAndTrendWhileFilling()
{
  // The options change only what the series hold, never the grid; the record
  // display's circular values follow the line series.
  TForm1& f = *m_form;
  f.Stress.StressZeroBr = 5.0;
  f.Stress.StressSlope = 100.0;
  load(threeRecords());
  QStringList before;
  for (int r = 0; r < f.Grid.RowCount(); ++r)
    before << f.Grid.cell(r, 0) + u'|' + f.Grid.cell(r, 1);
  f.Converttostress1->setChecked(true);
  f.N33->setChecked(true);
  f.FillLinearChart();
  QCOMPARE(f.Chart1->leftAxis().minimum(), 0.0);
  QCOMPARE(f.Chart1->leftAxis().maximum(), 1000.0);
  QCOMPARE(f.LinearSeries(0)->y(39), 43.0);  // the one count: (5,43 - 5) * 100, no trend
  arrange(true);
  f.ScrollBar7->setValue(2);
  ChartSeries* line = f.LinearSeries(0);
  for (int i = 0; i < 12; ++i)
    QCOMPARE(f.CircularSeries(0)->y(i), line->y(26 + i));
  QVERIFY(f.Label2->text().startsWith(QStringLiteral("S max =1050,0 MPa")));

  f.Converttostress1->setChecked(false);
  f.N33->setChecked(false);
  f.FillLinearChart();
  QCOMPARE(f.Chart1->leftAxis().maximum(), 20.0);
  QCOMPARE(f.LinearSeries(0)->y(26), 10.0);
  for (int r = 0; r < f.Grid.RowCount(); ++r)
    QCOMPARE(f.Grid.cell(r, 0) + u'|' + f.Grid.cell(r, 1), before[r]);
}

QTEST_MAIN(TestRecordDisplayWindow)
#include "test_record_display_window.moc"
