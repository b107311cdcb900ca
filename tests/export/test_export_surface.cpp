// The map set's pictures of the 3D surface and the report's map pages, which
// need OpenGL (run under xvfb-run).

#include "charts/chart_export.h"
#include "charts/map_chart.h"
#include "charts/surface_chart.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "shell/main_window.h"
#include "support/main_window_fixture.h"
#include "support/scripted_prompts.h"
#include "support/test_files.h"

#include <QImageReader>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestExportSurface : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init();
  void cleanup();
  void surfacePictures_data();
  void surfacePictures();
  void reportOfAMapViewHasItsPages_data();
  void reportOfAMapViewHasItsPages();

 private:
  QString output(const QString& name) const { return m_dir->filePath("Output/" + name); }
  MainWindowFixture m_window{QDateTime(QDate(2026, 12, 7), QTime(10, 0))};
  ScriptedPrompts* const m_prompts = &m_window.prompts;
  std::unique_ptr<TForm1>& m_form = m_window.form;
  std::unique_ptr<QTemporaryDir>& m_dir = m_window.dir;
};

void TestExportSurface::init()
{
  m_window.startInNewFolder();
  QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
  QByteArray lines;
  for (int i = 0; i < 72; ++i)
    lines += countLine(i, "0" + QByteArray::number(4 + i % 5) + ",10");
  putFile(m_dir->filePath("pipe.csv"), lines);
  m_form->LoadMeasurementFile(m_dir->filePath("pipe.csv"));
}

void TestExportSurface::cleanup()
{
  m_window.stop();
}

void TestExportSurface::surfacePictures_data()
{
  QTest::addColumn<int>("button");
  QTest::addColumn<QString>("name");
  QTest::newRow("BMP") << 10 << "s.bmp";
  QTest::newRow("JPEG") << 11 << "s.jpg";
  QTest::newRow("PDF") << 12 << "s.pdf";
}

void TestExportSurface::surfacePictures()
{
  QFETCH(int, button);
  QFETCH(QString, name);
  TForm1& f = *m_form;
  f.N26->trigger();  // 3D surface 6 x 12
  QVERIFY(waitUntilDrawable(f.Chart3->surface()));
  m_prompts->saveAnswers << output(name);
  QPushButton* buttons[] = {f.BitBtn10, f.BitBtn11, f.BitBtn12};
  buttons[button - 10]->click();
  QVERIFY2(m_prompts->messages.isEmpty(), qPrintable(m_prompts->messages.join('\n')));
  if (name.endsWith(".pdf")) {
    QVERIFY(fileBytes(output(name)).startsWith("%PDF-1.4"));
    return;
  }
  const QImage image(output(name));
  QCOMPARE(image.size(), f.Chart3->surface()->size());
  QVERIFY(!image.isGrayscale());  // the palette's colours are in it
}

void TestExportSurface::reportOfAMapViewHasItsPages_data()
{
  QTest::addColumn<int>("view");  // 24: contour 6 x 12, 26: surface 6 x 12
  QTest::newRow("from the contour view") << 24;
  QTest::newRow("from the surface view") << 26;
}

void TestExportSurface::reportOfAMapViewHasItsPages()
{
  QFETCH(int, view);
  TForm1& f = *m_form;
  QAction* item = view == 24 ? f.N24 : f.N26;
  item->trigger();  // each map page is drawn in its own view
  f.AskReportPeople = [](const ReportPeople&) { return ReportPeople{"T", "O", "P"}; };
  m_prompts->saveAnswers << output("r.pdf");
  f.Inspectionreport1->trigger();
  QVERIFY2(m_prompts->messages.isEmpty(), qPrintable(m_prompts->messages.join('\n')));
  const auto m = QRegularExpression(QStringLiteral("/Type /Pages[^>]*/Count (\\d+)"))
                     .match(QString::fromLatin1(fileBytes(output("r.pdf"))));
  QCOMPARE(m.captured(1), QStringLiteral("5"));
  QCOMPARE(f.ShownView, item);  // back in the view the user was in
  QVERIFY(item->isChecked());
}

QTEST_MAIN(TestExportSurface)
#include "test_export_surface.moc"
