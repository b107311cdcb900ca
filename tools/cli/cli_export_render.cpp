// picture and report: an off-screen main window loads the file and is set up
// as a user would set it up, so the pictures are the window's own.

#include "cli_commands.h"
#include "cli_export.h"

#include "analysis/stress_table.h"
#include "charts/chart.h"
#include "charts/chart_export.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "common/prompts.h"
#include "shell/main_window.h"
#include "shell/stress_db_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// Dialogs are never shown; messages go to the error stream.
class ToolPrompts : public Prompts {
 public:
  explicit ToolPrompts(QTextStream& err) : m_err(err) {}
  std::optional<QString> openFile(const FileRequest&) override { return std::nullopt; }
  std::optional<QString> saveFile(const FileRequest&) override { return std::nullopt; }
  void message(const QString& text, const QString&, Icon) override
  {
    m_err << QString(text).replace(u'\n', u' ').simplified() << Qt::endl;
    ++messages;
  }
  Answer question(const QString&, const QString&, const QList<Answer>&, Answer, Icon, int) override
  {
    return Answer::Closed;
  }
  std::optional<unsigned> chooseColor(unsigned) override { return std::nullopt; }
  int messages = 0;

 private:
  QTextStream& m_err;
};

bool applyStress(const ExportCliOptions& o, TForm1& form, TForm4& form4, QTextStream& err)
{
  if (o.stressRow == 0)
    return true;
  const QString db = o.stressDb.isEmpty() ? ProgramFolder::file(StressTableFileName) : o.stressDb;
  QString reason;
  const auto items = ReadStressItems(db, &reason);
  if (items)
    form4.Table.replaceItems(*items);
  if (!items || !ApplyStressItem(form4.Table, o.stressRow, &form.Stress, &reason)) {
    err << db << ": " << reason.section(u'\n', 0, 0).simplified() << Qt::endl;
    return false;
  }
  form.Converttostress1->setChecked(true);
  form.Converttostress1Click();
  return true;
}

bool setUp(const ExportCliOptions& o, TForm1& form, TForm4& form4, ToolPrompts& prompts,
           QTextStream& err)
{
  if (!QFileInfo::exists(o.file)) {
    err << o.file << ": no such file" << Qt::endl;
    return false;
  }
  form.LoadMeasurementFile(o.file);
  if (prompts.messages > 0 || !form.State.DataLoaded)
    return false;
  if (o.removeTrend) {
    form.N33->setChecked(true);
    form.N33Click();
  }
  return applyStress(o, form, form4, err);
}

int picture(const ExportCliOptions& o, TForm1& form, QTextStream& out, QTextStream& err)
{
  const auto format = pictureFormatOf(o.out);
  if (!format) {
    err << "rz37m-tool: " << o.out << ": the picture's name must end in .bmp, .jpg, .png or .pdf"
        << Qt::endl;
    return CliUsageError;
  }
  Chart* chart = form.Chart1;
  bool adjustMargins = false;
  if (o.view == ExportCliOptions::View::Circular) {
    form.N22->trigger();
    chart = form.Chart2;
    adjustMargins = true;
  } else if (o.view != ExportCliOptions::View::Linear) {
    err << "rz37m-tool: the map views are not drawn by this build" << Qt::endl;
    return CliDataError;
  }
  QApplication::processEvents();
  if (o.width > 0) {
    chart->setFixedSize(o.width, o.height);
    QApplication::processEvents();
  }
  const bool hideTitle = chart == form.Chart1 && *format == PictureFormat::Pdf;
  const ExportLook look(*chart, adjustMargins, hideTitle);
  QString error;
  if (!saveChartPictureFile(*chart, o.out, *format, &error)) {
    err << error << Qt::endl;
    return CliDataError;
  }
  out << "size=" << chart->width() << 'x' << chart->height() << '\n';
  return CliOk;
}

int report(const ExportCliOptions& o, TForm1& form, QTextStream& out, QTextStream& err)
{
  QString error;
  if (!form.WriteInspectionReport(o.out, {o.title, o.object, o.operatorName}, &error)) {
    err << error << Qt::endl;
    return CliDataError;
  }
  out << "written=" << QDir::toNativeSeparators(o.out) << '\n';
  return CliOk;
}

// The off-screen platform's notes (size hints, runtime folder) are not the
// user's business; real failures are reported by the commands themselves.
void quietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& text)
{
  if (type == QtCriticalMsg || type == QtFatalMsg)
    QTextStream(stderr) << text << Qt::endl;
}

}  // namespace

int runRenderedCommand(const ExportCliOptions& o, int argc, char** argv)
{
  const bool surface =
      o.command == ExportCliOptions::Command::Picture && o.view == ExportCliOptions::View::Surface;
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") &&
      (!surface || qEnvironmentVariableIsEmpty("DISPLAY")))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(quietQtNotes);
  QApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  ToolPrompts prompts(err);
  SystemClock clock;
  TForm1 form(prompts, clock);
  TForm4 form4(&form);
  form.Form4 = &form4;
  form.show();
  QApplication::processEvents();
  if (!setUp(o, form, form4, prompts, err))
    return CliDataError;
  if (o.command == ExportCliOptions::Command::Picture)
    return picture(o, form, out, err);
  return report(o, form, out, err);
}
