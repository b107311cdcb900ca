// The export buttons of the main window with scripted dialogs: which chart and
// series each button writes, the dialogs' folders and filters, file names, and
// the state the charts and the save dialog are left in.

#include "charts/chart.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "export/export_names.h"
#include "shell/main_window.h"
#include "shell/qt_prompts.h"
#include "support/biff_reader.h"
#include "support/scripted_prompts.h"
#include "support/test_files.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QString CsvFilterText = QStringLiteral("Comma Separated Values Files|*.csv");

// Scripted prompts that also run a check at the moment a save dialog opens,
// to see the chart's look while the export is under way.
class WatchingPrompts : public ScriptedPrompts {
 public:
  std::function<void()> onSave;
  std::optional<QString> saveFile(const FileRequest& request) override
  {
    if (onSave)
      onSave();
    return ScriptedPrompts::saveFile(request);
  }
};

QByteArray counts(int n, double first = 5.0)
{
  QByteArray out;
  for (int i = 0; i < n; ++i) {
    const int cents = int(first * 100) + i % 1000;
    out += QByteArray("10:00:") + QByteArray::number(i % 60).rightJustified(2, '0') + ';' +
           QByteArray::number(cents / 100).rightJustified(2, '0') + ',' +
           QByteArray::number(cents % 100).rightJustified(2, '0') + "\r\n";
  }
  return out;
}

struct ChartLook {
  bool gradient;
  bool titleVisible;
  QMargins margins;
  bool operator==(const ChartLook&) const = default;
};

ChartLook lookOf(const Chart& c)
{
  return {c.gradient(), c.titleVisible(), c.chartMargins()};
}

}  // namespace

class TestExportWindow : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init();
  void cleanup();

  void buttonsShowTheirTextAsHint();
  void linearChartToXls();
  void circularChartToXls();
  void tooManyCountsAreRefusedBeforeTheDialog();
  void namesGetTheExactExtension_data();
  void namesGetTheExactExtension();
  void restingStateAfterCancelOrFailure_data();
  void restingStateAfterCancelOrFailure();
  void lookDuringPictureExport_data();
  void lookDuringPictureExport();
  void picturesAtOnScreenSize_data();
  void picturesAtOnScreenSize();
  void existingPictureIsReplacedOnlyWhenConfirmed();
  void statusBarSetExportsTheMapOutsideTheLinearView();
  void realDialogsBelongToTheWindow_data();
  void realDialogsBelongToTheWindow();

 private:
  void load(const QByteArray& lines);
  QString output(const QString& name) const { return m_dir->filePath("Output/" + name); }
  QPushButton* button(int n) const;

  std::unique_ptr<QTemporaryDir> m_dir;
  std::unique_ptr<WatchingPrompts> m_prompts;
  std::unique_ptr<FixedClock> m_clock;
  std::unique_ptr<TForm1> m_form;
};

void TestExportWindow::init()
{
  m_dir = std::make_unique<QTemporaryDir>();
  ProgramFolder::setOverride(m_dir->path());
  m_prompts = std::make_unique<WatchingPrompts>();
  m_clock = std::make_unique<FixedClock>(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
  m_form = std::make_unique<TForm1>(*m_prompts, *m_clock);
  m_form->show();
  QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestExportWindow::cleanup()
{
  m_form.reset();
  ProgramFolder::setOverride({});
  m_dir.reset();
}

void TestExportWindow::load(const QByteArray& lines)
{
  const QString path = m_dir->filePath("input.csv");
  putFile(path, lines);
  m_form->LoadMeasurementFile(path);
  QVERIFY(m_form->State.DataLoaded);
}

QPushButton* TestExportWindow::button(int n) const
{
  TForm1& f = *m_form;
  QPushButton* all[] = {f.BitBtn1, f.BitBtn2, f.BitBtn3, f.BitBtn4,  f.BitBtn5,  f.BitBtn6,
                        f.BitBtn7, f.BitBtn8, f.BitBtn9, f.BitBtn10, f.BitBtn11, f.BitBtn12};
  return all[n - 1];
}

void TestExportWindow::buttonsShowTheirTextAsHint()
{
  const QStringList hints = {"Export to Excel file (XLS)", "Export to BMP image",
                             "Export to JPEG image", "Export to PDF file"};
  for (int n = 1; n <= 12; ++n)
    QCOMPARE(button(n)->toolTip(), hints[(n - 1) % 4]);
  QCOMPARE(m_form->Inspectionreport1->text(), QStringLiteral("Inspection report..."));
}

void TestExportWindow::linearChartToXls()
{
  TForm1& f = *m_form;
  load(counts(36));
  f.Chart1->bottomAxis().setRange(10, 12);  // the export ignores what the axes show
  m_prompts->saveAnswers.enqueue(output("linear"));
  f.BitBtn1->click();

  QVERIFY2(m_prompts->messages.isEmpty(), qPrintable(m_prompts->messages.join('\n')));
  QCOMPARE(m_prompts->saveRequests.size(), 1);
  QCOMPARE(m_prompts->saveRequests[0].folder, m_dir->filePath("Output"));
  QCOMPARE(m_prompts->saveRequests[0].filter, QStringLiteral("MS Excel Workbooks|*.xls"));
  const auto sheet = readBiff(fileBytes(output("linear.xls")));
  QVERIFY(sheet);
  QCOMPARE(sheet->rows, 36);
  QCOMPARE(sheet->columns, 2);
  QCOMPARE(sheet->cellCount(), 72);
  for (int r = 0; r < 36; ++r) {
    QCOMPARE(sheet->cell(r, 0)->number, double(r + 1));
    QCOMPARE(sheet->cell(r, 1)->number, 5.0 + 0.01 * r);
  }

  // The next CSV save starts where it always does.
  QCOMPARE(f.SaveDialog1Filter, QString());
  f.N131->trigger();
  QCOMPARE(m_prompts->saveRequests.size(), 2);
  QCOMPARE(m_prompts->saveRequests[1].folder, m_dir->filePath("Data"));
  QCOMPARE(m_prompts->saveRequests[1].filter, CsvFilterText);
}

void TestExportWindow::circularChartToXls()
{
  TForm1& f = *m_form;
  load(counts(36));
  ChartSeries* polar = f.CircularSeries(0);
  polar->clear();
  for (int i = 0; i < 36; ++i)
    polar->add(10.0 * i, 5.0 + 0.01 * i, QStringLiteral("05,%1").arg(i, 2, 10, QChar(u'0')));
  m_prompts->saveAnswers.enqueue(output("polar.xls"));
  f.BitBtn5->click();

  const auto sheet = readBiff(fileBytes(output("polar.xls")));
  QVERIFY(sheet);
  QCOMPARE(sheet->rows, 36);
  QCOMPARE(sheet->columns, 2);  // angle and value; the labels are not written
  QCOMPARE(sheet->cell(35, 0)->number, 350.0);
  QCOMPARE(sheet->cell(35, 1)->number, 5.35);
}

void TestExportWindow::tooManyCountsAreRefusedBeforeTheDialog()
{
  TForm1& f = *m_form;
  load(counts(65536));
  f.BitBtn1->click();
  QCOMPARE(m_prompts->saveRequests.size(), 0);
  QCOMPARE(m_prompts->messages.size(), 1);
  QVERIFY2(m_prompts->messages[0].contains("\"Save...\""), qPrintable(m_prompts->messages[0]));
  QCOMPARE(QDir(m_dir->filePath("Output")).entryList(QDir::Files), QStringList());

  load(counts(65535));
  m_prompts->saveAnswers.enqueue(output("full.xls"));
  f.BitBtn1->click();
  QCOMPARE(m_prompts->messages.size(), 1);
  QCOMPARE(readBiff(fileBytes(output("full.xls")))->rows, 65535);
}

void TestExportWindow::namesGetTheExactExtension_data()
{
  QTest::addColumn<int>("buttonNumber");
  QTest::addColumn<QString>("chosen");
  QTest::addColumn<QString>("written");
  QTest::newRow("xls none") << 1 << "a"
                            << "a.xls";
  QTest::newRow("xls exact") << 1 << "a.xls"
                             << "a.xls";
  QTest::newRow("xls upper") << 1 << "a.XLS"
                             << "a.XLS.xls";
  QTest::newRow("bmp none") << 2 << "b"
                            << "b.bmp";
  QTest::newRow("bmp upper") << 2 << "b.BMP"
                             << "b.BMP.bmp";
  QTest::newRow("jpeg default extension") << 3 << "c"
                                          << "c.jpg";
  QTest::newRow("pdf default extension") << 4 << "d"
                                         << "d.pdf";
  QTest::newRow("pdf other extension kept") << 4 << "d.PDF"
                                            << "d.PDF";
}

void TestExportWindow::namesGetTheExactExtension()
{
  QFETCH(int, buttonNumber);
  QFETCH(QString, chosen);
  QFETCH(QString, written);
  load(counts(20));
  m_prompts->saveAnswers.enqueue(output(chosen));
  button(buttonNumber)->click();
  QVERIFY2(m_prompts->messages.isEmpty(), qPrintable(m_prompts->messages.join('\n')));
  QCOMPARE(QDir(m_dir->filePath("Output")).entryList(QDir::Files), QStringList{written});
  QVERIFY(QFileInfo(output(written)).size() > 0);
}

void TestExportWindow::restingStateAfterCancelOrFailure_data()
{
  QTest::addColumn<int>("buttonNumber");
  QTest::addColumn<bool>("fail");
  for (int n : {1, 2, 3, 4, 5, 6, 7, 8}) {
    const QByteArray name = "BitBtn" + QByteArray::number(n);
    QTest::newRow(name + " cancelled") << n << false;
    QTest::newRow(name + " failed") << n << true;
  }
}

void TestExportWindow::restingStateAfterCancelOrFailure()
{
  QFETCH(int, buttonNumber);
  QFETCH(bool, fail);
  TForm1& f = *m_form;
  load(counts(36));
  if (buttonNumber >= 5)
    f.N22->trigger();
  const ChartLook linear = lookOf(*f.Chart1);
  const ChartLook circular = lookOf(*f.Chart2);
  QVERIFY(linear.gradient && linear.titleVisible);
  const QString missing = m_dir->filePath("Output/no such folder/x");
  m_prompts->saveAnswers.enqueue(fail ? std::optional<QString>(missing) : std::nullopt);

  button(buttonNumber)->click();

  QCOMPARE(m_prompts->saveRequests.size(), 1);
  QCOMPARE(m_prompts->saveRequests[0].folder, m_dir->filePath("Output"));
  if (fail) {
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY2(m_prompts->messages[0].contains(QDir::toNativeSeparators(missing)),
             qPrintable(m_prompts->messages[0]));
  } else {
    QCOMPARE(m_prompts->messages.size(), 0);
  }
  QCOMPARE(QDir(m_dir->filePath("Output")).entryList(QDir::Files | QDir::Hidden), QStringList());
  QVERIFY(lookOf(*f.Chart1) == linear);
  QVERIFY(lookOf(*f.Chart2) == circular);
  QCOMPARE(f.SaveDialog1Filter, QString());
  QVERIFY(!button(buttonNumber)->hasFocus());
  f.N131->trigger();  // the CSV save finds the dialog at rest
  QCOMPARE(m_prompts->saveRequests.size(), 2);
  QCOMPARE(m_prompts->saveRequests[1].folder, m_dir->filePath("Data"));
  QCOMPARE(m_prompts->saveRequests[1].filter, CsvFilterText);
}

void TestExportWindow::lookDuringPictureExport_data()
{
  QTest::addColumn<int>("buttonNumber");
  QTest::addColumn<bool>("titleHidden");
  QTest::addColumn<bool>("marginsEven");
  QTest::newRow("linear JPEG keeps its title") << 3 << false << false;
  QTest::newRow("linear PDF without title") << 4 << true << false;
  QTest::newRow("circular JPEG with even margins") << 7 << false << true;
  QTest::newRow("circular PDF with even margins") << 8 << false << true;
}

void TestExportWindow::lookDuringPictureExport()
{
  QFETCH(int, buttonNumber);
  QFETCH(bool, titleHidden);
  QFETCH(bool, marginsEven);
  TForm1& f = *m_form;
  load(counts(36));
  Chart* chart = buttonNumber <= 4 ? static_cast<Chart*>(f.Chart1) : f.Chart2;
  if (buttonNumber > 4)
    f.N22->trigger();
  const ChartLook before = lookOf(*chart);
  std::optional<ChartLook> during;
  m_prompts->onSave = [&] { during = lookOf(*chart); };
  m_prompts->saveAnswers.enqueue(output("pic"));
  button(buttonNumber)->click();

  QVERIFY(during);
  QVERIFY(!during->gradient);
  QCOMPARE(during->titleVisible, before.titleVisible && !titleHidden);
  const QMargins m = during->margins;
  QCOMPARE(m.left(), marginsEven ? before.margins.right() : before.margins.left());
  QVERIFY(lookOf(*chart) == before);
  QCOMPARE(m_prompts->messages.size(), 0);
}

void TestExportWindow::picturesAtOnScreenSize_data()
{
  QTest::addColumn<int>("buttonNumber");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("format");
  QTest::newRow("linear BMP") << 2 << "l.bmp" << QByteArray("bmp");
  QTest::newRow("linear JPEG") << 3 << "l.jpg" << QByteArray("jpeg");
  QTest::newRow("circular BMP") << 6 << "c.bmp" << QByteArray("bmp");
  QTest::newRow("circular JPEG") << 7 << "c.jpg" << QByteArray("jpeg");
}

void TestExportWindow::picturesAtOnScreenSize()
{
  QFETCH(int, buttonNumber);
  QFETCH(QString, name);
  QFETCH(QByteArray, format);
  TForm1& f = *m_form;
  load(counts(36));
  if (buttonNumber > 4)
    f.N22->trigger();
  const QWidget* chart = buttonNumber <= 4 ? static_cast<QWidget*>(f.Chart1) : f.Chart2;
  m_prompts->saveAnswers.enqueue(output(name));
  button(buttonNumber)->click();
  QImageReader reader(output(name));
  QCOMPARE(reader.format(), format);
  const QImage image = reader.read();
  QCOMPARE(image.size(), chart->size());
  if (buttonNumber <= 4)
    QVERIFY(!image.isGrayscale());  // the navy line is there: a colour picture
}

void TestExportWindow::existingPictureIsReplacedOnlyWhenConfirmed()
{
  TForm1& f = *m_form;
  load(counts(36));
  QVERIFY(QDir().mkpath(m_dir->filePath("Output")));
  putFile(output("old.pdf"), "keep me");
  m_prompts->saveAnswers << output("old") << std::nullopt;
  m_prompts->questionAnswers << Prompts::Answer::No;
  f.BitBtn4->click();
  QCOMPARE(m_prompts->questions.size(), 1);
  QVERIFY(m_prompts->questions[0].text.contains("old.pdf already exists"));
  QCOMPARE(m_prompts->saveRequests.size(), 2);  // "No" goes back to the dialog
  QCOMPARE(fileBytes(output("old.pdf")), QByteArray("keep me"));

  m_prompts->saveAnswers << output("old.pdf");
  m_prompts->questionAnswers << Prompts::Answer::Yes;
  f.BitBtn4->click();
  QVERIFY(fileBytes(output("old.pdf")).startsWith("%PDF-1.4"));
}

void TestExportWindow::statusBarSetExportsTheMapOutsideTheLinearView()
{
  TForm1& f = *m_form;
  load(counts(36));
  f.N23->trigger();  // a contour view
  for (int n = 1; n <= 4; ++n) {
    QSignalSpy mapClicked(button(n + 8), &QPushButton::clicked);
    button(n)->click();
    QCOMPARE(mapClicked.size(), 1);
  }
  f.N21->trigger();
  QSignalSpy mapClicked(f.BitBtn9, &QPushButton::clicked);
  f.BitBtn1->click();
  QCOMPARE(mapClicked.size(), 0);
  QCOMPARE(m_prompts->saveRequests.size(), 1);  // the linear chart's data
}

void TestExportWindow::realDialogsBelongToTheWindow_data()
{
  QTest::addColumn<int>("buttonNumber");
  QTest::addColumn<QString>("filter");
  QTest::addColumn<QString>("written");
  QTest::newRow("XLS") << 1 << "MS Excel Workbooks (*.xls)"
                       << "real.xls";
  QTest::newRow("JPEG") << 3 << "JPEG files (*.jpg)"
                        << "real.jpg";
  QTest::newRow("PDF") << 4 << "PDF files (*.pdf)"
                       << "real.pdf";
}

void TestExportWindow::realDialogsBelongToTheWindow()
{
  QFETCH(int, buttonNumber);
  QFETCH(QString, filter);
  QFETCH(QString, written);
  QtPrompts prompts;
  TForm1 form(prompts, *m_clock);
  prompts.setOwner(&form);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  const QString path = m_dir->filePath("input.csv");
  putFile(path, counts(36));
  form.LoadMeasurementFile(path);

  struct Seen {
    QWidget* parent = nullptr;
    bool modal = false;
    QString folder;
    QString filter;
  } seen;
  QTimer poll;
  poll.setInterval(5);
  connect(&poll, &QTimer::timeout, this, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog)
      return;
    poll.stop();
    seen = {dialog->parentWidget(), dialog->isModal(), dialog->directory().absolutePath(),
            dialog->selectedNameFilter()};
    dialog->selectFile(QStringLiteral("real"));
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
  });
  poll.start();
  QPushButton* buttons[] = {form.BitBtn1, nullptr, form.BitBtn3, form.BitBtn4};
  buttons[buttonNumber - 1]->click();

  QCOMPARE(seen.parent, &form);
  QVERIFY(seen.modal);
  QCOMPARE(seen.folder, m_dir->filePath("Output"));
  QCOMPARE(seen.filter, filter);
  QVERIFY(QFileInfo(output(written)).size() > 0);
}

QTEST_MAIN(TestExportWindow)
#include "test_export_window.moc"
