// File > "Inspection report..." in the window: the small dialog and what it
// remembers, the PDF written, and the statistics label's tip.

#include "charts/chart.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "shell/main_window.h"
#include "shell/report_dialog.h"
#include "support/main_window_fixture.h"
#include "support/scripted_prompts.h"
#include "support/test_files.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QByteArray records(int count, int countsEach)
{
  QByteArray out;
  for (int r = 0; r < count; ++r) {
    if (r > 0)
      out += QByteArray(14, ' ') + "\r\n";
    for (int i = 0; i < countsEach; ++i)
      out += countLine(i, "0" + QByteArray::number(5 + (i + r) % 4) + ",50");
  }
  return out;
}

int pdfPages(const QByteArray& pdf)
{
  const auto m = QRegularExpression(QStringLiteral("/Type /Pages[^>]*/Count (\\d+)"))
                     .match(QString::fromLatin1(pdf));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

}  // namespace

class TestReportWindow : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init();
  void cleanup();

  void nothingToReportWithoutData();
  void cancelledDialogWritesNothing();
  void writesTheReportAndRemembersThePeople();
  void longFilesGetMorePages_data();
  void longFilesGetMorePages();
  void failedWriteSaysWhereAndWhy();
  void realDialogStartsWithTheLastAnswers();
  void statisticsLabelTip();

 private:
  void load(const QByteArray& lines);
  QString output(const QString& name) const { return m_dir->filePath("Output/" + name); }

  MainWindowFixture m_window{QDateTime(QDate(2026, 12, 7), QTime(10, 0))};
  ScriptedPrompts* const m_prompts = &m_window.prompts;
  std::unique_ptr<TForm1>& m_form = m_window.form;
  std::unique_ptr<QTemporaryDir>& m_dir = m_window.dir;
  QList<ReportPeople> m_asked;
  std::optional<ReportPeople> m_answer;
};

void TestReportWindow::init()
{
  m_window.startInNewFolder();
  m_asked.clear();
  m_answer = ReportPeople{"Survey", "Pipe 7", "I. Petrov"};
  m_form->AskReportPeople = [this](const ReportPeople& last) {
    m_asked << last;
    return m_answer;
  };
  m_form->show();
}

void TestReportWindow::cleanup()
{
  m_window.stop();
}

void TestReportWindow::load(const QByteArray& lines)
{
  const QString path = m_dir->filePath("pipe.csv");
  putFile(path, lines);
  m_form->LoadMeasurementFile(path);
  QVERIFY(m_form->State.DataLoaded);
}

void TestReportWindow::nothingToReportWithoutData()
{
  m_form->Inspectionreport1->trigger();
  QCOMPARE(m_asked.size(), 0);
  QCOMPARE(m_prompts->messages.size(), 1);
  QVERIFY(m_prompts->messages[0].contains("Open a measurement file"));
}

void TestReportWindow::cancelledDialogWritesNothing()
{
  load(records(2, 10));
  m_answer.reset();
  m_form->Inspectionreport1->trigger();
  QCOMPARE(m_asked.size(), 1);
  QCOMPARE(m_prompts->saveRequests.size(), 0);
  QVERIFY(!QFileInfo::exists(m_dir->filePath("Config.ini")));

  m_answer = ReportPeople{"T", "O", "P"};
  m_form->Inspectionreport1->trigger();  // the file dialog cancelled
  QCOMPARE(m_prompts->saveRequests.size(), 1);
  QCOMPARE(QDir(m_dir->filePath("Output")).entryList(QDir::Files), QStringList());
}

void TestReportWindow::writesTheReportAndRemembersThePeople()
{
  load(records(3, 36));
  m_prompts->saveAnswers.enqueue(output("survey"));
  m_form->Inspectionreport1->trigger();

  QVERIFY2(m_prompts->messages.isEmpty(), qPrintable(m_prompts->messages.join('\n')));
  QCOMPARE(m_prompts->saveRequests[0].folder, m_dir->filePath("Output"));
  QCOMPARE(m_prompts->saveRequests[0].proposedName, QStringLiteral("pipe_report.pdf"));
  const QByteArray pdf = fileBytes(output("survey.pdf"));
  QVERIFY(pdf.startsWith("%PDF-1.4"));
  QCOMPARE(pdfPages(pdf), 3);           // heading, linear chart, circular chart
  QVERIFY(m_form->Chart1->gradient());  // the charts look as before

  m_form->Inspectionreport1->trigger();  // the next report starts with these answers
  QCOMPARE(m_asked.size(), 2);
  QCOMPARE(m_asked[1].title, QStringLiteral("Survey"));
  QCOMPARE(m_asked[1].object, QStringLiteral("Pipe 7"));
  QCOMPARE(m_asked[1].operatorName, QStringLiteral("I. Petrov"));
}

void TestReportWindow::longFilesGetMorePages_data()
{
  QTest::addColumn<int>("recordCount");
  QTest::addColumn<int>("pages");
  QTest::newRow("one record") << 1 << 3;
  QTest::newRow("a table over two pages") << 60 << 4;
}

void TestReportWindow::longFilesGetMorePages()
{
  QFETCH(int, recordCount);
  QFETCH(int, pages);
  load(records(recordCount, 3));
  m_prompts->saveAnswers.enqueue(output("r.pdf"));
  m_form->Inspectionreport1->trigger();
  QCOMPARE(pdfPages(fileBytes(output("r.pdf"))), pages);
}

void TestReportWindow::failedWriteSaysWhereAndWhy()
{
  load(records(1, 10));
  const QString path = m_dir->filePath("Output/missing/r.pdf");
  m_prompts->saveAnswers.enqueue(path);
  m_form->Inspectionreport1->trigger();
  QCOMPARE(m_prompts->messages.size(), 1);
  QVERIFY2(m_prompts->messages[0].contains(QDir::toNativeSeparators(path)),
           qPrintable(m_prompts->messages[0]));
  QVERIFY(!QFileInfo::exists(path));
}

void TestReportWindow::realDialogStartsWithTheLastAnswers()
{
  load(records(1, 10));
  putFile(m_dir->filePath("Config.ini"), "[Report]\r\nTitle=Survey\r\nObject=Pipe 7\r\n");
  m_form->AskReportPeople = nullptr;  // the real dialog
  QStringList seen;
  QWidget* parent = nullptr;
  QTimer poll;
  poll.setInterval(5);
  connect(&poll, &QTimer::timeout, this, [&] {
    auto* dialog = qobject_cast<ReportDialog*>(QApplication::activeModalWidget());
    if (!dialog)
      return;
    poll.stop();
    parent = dialog->parentWidget();
    seen << dialog->TitleEdit->text() << dialog->ObjectEdit->text() << dialog->OperatorEdit->text();
    dialog->OperatorEdit->setText(QStringLiteral("  A. Smith "));
    dialog->accept();
  });
  poll.start();
  m_form->Inspectionreport1->trigger();
  QCOMPARE(parent, m_form.get());
  QCOMPARE(seen, (QStringList{"Survey", "Pipe 7", ""}));
  QVERIFY(fileBytes(m_dir->filePath("Config.ini")).contains("Operator=A. Smith\r\n"));
}

void TestReportWindow::statisticsLabelTip()
{
  load(records(1, 4));  // 05,50 06,50 07,50 08,50
  QCOMPARE(m_form->Label2->toolTip(), QStringLiteral("Counts: 4\nStandard deviation: 1,29 mT\n"
                                                     "Minimum at count 1, maximum at count 4"));
  // The tip follows the unit as the label does, with no new count of the rows.
  m_form->Converttostress1->trigger();
  QVERIFY2(m_form->Label2->toolTip().contains(QStringLiteral(" MPa\n")),
           qPrintable(m_form->Label2->toolTip()));
  m_form->Converttostress1->trigger();
  QVERIFY(m_form->Label2->toolTip().contains(QStringLiteral(" mT\n")));
}

QTEST_MAIN(TestReportWindow)
#include "test_report_window.moc"
