// Downloads a 20 000-count file from the simulated instrument, without pacing,
// into the main window, and prints how long the window spent handling the
// receive events (cutting the answer and entering measurement mode included)
// against the time the same answer takes on the wire at 115 200 baud.
//
//   bench_download_from_sim [runs]     (default 3)

#include "common/clock.h"
#include "common/prompts.h"
#include "device/com_port.h"
#include "device/instrument_protocol.h"
#include "shell/grid_view.h"
#include "shell/main_window.h"
#include "shell/view_rebuild.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include "silent_prompts.h"
#include "wait_for.h"

#include <cstdio>

namespace {

constexpr int Counts = 20000;
constexpr int RecordLength = 1000;        // a separator after every thousand counts
constexpr double WireBitsPerByte = 10.0;  // 8N1: start, 8 data, stop
constexpr double BaudRate = 115200.0;

bool writeBigFile(const QString& path)
{
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly))
    return false;
  QByteArray out;
  out.reserve(Counts * 17);
  for (int i = 0; i < Counts; ++i) {
    if (i > 0 && i % RecordLength == 0)
      out += "              \r\n";
    const int s = i % 86400;
    const int centi = 500 + (i * 37) % 1500;
    out += QStringLiteral("%1:%2:%3;%4,%5\r\n")
               .arg(s / 3600, 2, 10, QChar(u'0'))
               .arg(s / 60 % 60, 2, 10, QChar(u'0'))
               .arg(s % 60, 2, 10, QChar(u'0'))
               .arg(centi / 100, 2, 10, QChar(u'0'))
               .arg(centi % 100, 2, 10, QChar(u'0'))
               .toLatin1();
  }
  return f.write(out) == out.size();
}

struct Run {
  long long answerBytes = 0;
  int events = 0;
  double handlingMs = 0;   // every receive event, the last one included
  double lastEventMs = 0;  // the last event: cutting, grid rows, measurement mode
  double elapsedMs = 0;    // from the request to measurement mode
};

// At the wire's own pace the answer comes in small receive events. The time
// the prompt search takes over all of them: only the new bytes, against the
// whole buffer on every event.
void printPromptSearch(const QString& answer, int eventBytes)
{
  instrument::PromptScanner scanner;
  QString buffer;
  QElapsedTimer t;
  t.start();
  for (qsizetype at = 0; at < answer.size(); at += eventBytes) {
    const qsizetype before = buffer.size();
    buffer += answer.mid(at, eventBytes);
    scanner.found(buffer, before);
  }
  const double newOnlyMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
  buffer.clear();
  int hits = 0;
  t.start();
  for (qsizetype at = 0; at < answer.size(); at += eventBytes) {
    buffer += answer.mid(at, eventBytes);
    hits += buffer.contains(instrument::Prompt) ? 1 : 0;
  }
  const double wholeMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
  std::printf("prompt search, events of %d bytes: new bytes only %.1f ms, whole buffer %.1f ms%s\n",
              eventBytes, newOnlyMs, wholeMs, hits == 1 ? "" : " (prompt count differs)");
}

}  // namespace

int main(int argc, char** argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 3;

  QTemporaryDir dir;
  if (!dir.isValid() || !writeBigFile(dir.filePath(QStringLiteral("BIG.csv")))) {
    std::fprintf(stderr, "cannot write the measurement file\n");
    return 1;
  }
  QProcess sim;
  sim.start(QStringLiteral(RZ37M_BIN_DIR "/rz37m-sim"),
            {QStringLiteral("--files"), dir.path(), QStringLiteral("--quiet")});
  if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(10000)) {
    std::fprintf(stderr, "rz37m-sim did not start\n");
    return 1;
  }
  const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();

  SilentPrompts prompts;
  SystemClock clock;
  TForm1 form(prompts, clock);
  form.ComPort1->setPort(path);
  form.ComPort1->setBaudRate(br115200);
  form.ComPort1->Open();
  form.ComPort1->WriteString("4");
  form.StringGrid1->setEnabled(true);
  if (!waitFor(
          app, [&] { return form.Grid.RowCount() == 2; }, 10000)) {
    std::fprintf(stderr, "no file list\n");
    return 1;
  }
  const QVector<GridRow> fileList = form.Grid.rows();

  Run current;
  const TRxCharEvent handler = form.ComPort1->OnRxChar;
  form.ComPort1->OnRxChar = [&](TCustomComPort& sender, int count) {
    QElapsedTimer t;
    t.start();
    handler(sender, count);
    const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
    current.handlingMs += ms;
    current.lastEventMs = ms;
    ++current.events;
  };

  std::printf("download of %d counts from rz37m-sim without pacing, %d run(s)\n", Counts, runs);
  std::printf("%4s %10s %7s %12s %12s %12s %12s %12s %8s\n", "run", "bytes", "events",
              "handling ms", "last ev. ms", "entry ms", "elapsed ms", "wire ms", "ratio");
  double worstRatio = 0;
  for (int r = 1; r <= runs; ++r) {
    form.Grid.replaceRows(fileList);
    form.State.DataLoaded = false;
    form.StringGrid1->setEnabled(true);
    current = Run{};
    form.StringGrid1->selectGridRows(1, 1);
    QElapsedTimer elapsed;
    elapsed.start();
    form.StringGrid1DblClick();
    current.answerBytes = form.State.ExpectedBytes;
    if (!waitFor(
            app, [&] { return form.Grid.cell(0, 0) == TimeHeader; }, 60000)) {
      std::fprintf(stderr, "the download did not complete\n");
      return 1;
    }
    current.elapsedMs = static_cast<double>(elapsed.nsecsElapsed()) / 1e6;
    // Entering measurement mode once more on the same grid: its share of the last event.
    QElapsedTimer entry;
    entry.start();
    form.rebuild().enterMeasurementMode(form.StatusBar1->currentMessage(), false);
    const double entryMs = static_cast<double>(entry.nsecsElapsed()) / 1e6;
    const double wireMs =
        static_cast<double>(current.answerBytes) * WireBitsPerByte / BaudRate * 1000.0;
    const double ratio = current.handlingMs / wireMs * 100.0;
    worstRatio = std::max(worstRatio, ratio);
    std::printf("%4d %10lld %7d %12.1f %12.1f %12.1f %12.1f %12.0f %7.2f%%\n", r,
                current.answerBytes, current.events, current.handlingMs, current.lastEventMs,
                entryMs, current.elapsedMs, wireMs, ratio);
  }
  std::printf("rows in the grid: %d, records: %d\n", form.Grid.RowCount(), form.State.RecordsCount);
  const QString answer = instrument::buildContentAnswer(
      QStringLiteral("BIG      .csv"),
      {QVector<instrument::Count>(Counts, {QStringLiteral("12:00:00"), QStringLiteral("05.43")})});
  for (int eventBytes : {16, 64, 1024})
    printPromptSearch(answer, eventBytes);
  std::printf(
      "handling ms: all receive events, measurement mode included; last ev.: the one that\n"
      "cuts the answer and enters measurement mode; entry: measurement mode alone\n");
  std::printf("worst ratio %.2f%% of the wire time (target: at most 2%%)\n", worstRatio);
  form.ComPort1->Close();
  sim.kill();
  sim.waitForFinished(5000);
  return 0;
}
