// Soak run of the file exchange: downloads a file from the simulated
// instrument again and again through the main window's own exchange code,
// without pacing; one download in ten meets a fault picked at random (the link
// dropped halfway, an answer without its prompt, line noise, the instrument
// killed mid-answer). Prints the downloads done, the faults met, the messages
// shown, and the open file descriptors and resident memory at the start and
// the end, with a line every tenth of the run, so growth shows.
//
//   bench_soak [downloads] [seed]     (default 1000, seed 14)

#include "common/clock.h"
#include "device/com_port.h"
#include "device/file_exchange.h"
#include "shell/grid_view.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include "silent_prompts.h"
#include "wait_for.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <random>

namespace {

constexpr int Counts = 2000;
constexpr int FaultEvery = 10;
const char* const FaultNames[] = {"drop", "no-prompt", "garbage", "kill"};
constexpr int Kill = 3;

// Real time, which a fault run moves on past the silence limit at once
// instead of waiting ten seconds for it.
class SoakClock : public Clock {
 public:
  QDateTime now() const override { return QDateTime::currentDateTime().addMSecs(m_ahead); }
  void sleep(int ms) override { m_real.sleep(ms); }
  void advance(qint64 ms) { m_ahead += ms; }

 private:
  SystemClock m_real;
  qint64 m_ahead = 0;
};

class CountingPrompts : public SilentPrompts {
 public:
  void message(const QString& text, const QString&, Icon) override
  {
    ++messages;
    last = text;
  }
  int messages = 0;
  QString last;
};

bool writeFile(const QString& path)
{
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly))
    return false;
  QByteArray out;
  for (int i = 0; i < Counts; ++i) {
    if (i == Counts / 2)
      out += "              \r\n";
    out += QStringLiteral("10:%1:%2;%3,%4\r\n")
               .arg(i / 60 % 60, 2, 10, QChar(u'0'))
               .arg(i % 60, 2, 10, QChar(u'0'))
               .arg(3 + i % 7, 2, 10, QChar(u'0'))
               .arg(i % 100, 2, 10, QChar(u'0'))
               .toLatin1();
  }
  return f.write(out) == out.size();
}

int openDescriptors()
{
  return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                              .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                              .size());
}

long residentKiB()
{
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly))
    return -1;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').first().toLong();
  return -1;
}

// The simulator on a fixed link, so the window's port name never changes.
class Simulator {
 public:
  Simulator(QString files, QString link) : m_files(std::move(files)), m_link(std::move(link)) {}
  ~Simulator() { stop(false); }

  bool start(const char* fault)
  {
    stop(false);
    QStringList args{QStringLiteral("--files"), m_files, QStringLiteral("--link"), m_link,
                     QStringLiteral("--quiet")};
    if (fault)
      args << QStringLiteral("--fault") << QString::fromLatin1(fault);
    m_proc = std::make_unique<QProcess>();
    m_proc->setStandardErrorFile(QProcess::nullDevice());
    m_proc->start(QStringLiteral(RZ37M_BIN_DIR "/rz37m-sim"), args);
    return m_proc->waitForStarted(5000) && m_proc->waitForReadyRead(10000) &&
           m_proc->canReadLine() && !m_proc->readLine().trimmed().isEmpty();
  }
  // A kill leaves the instrument's side of the line without a word.
  void stop(bool kill)
  {
    if (!m_proc)
      return;
    if (kill)
      m_proc->kill();
    else
      m_proc->terminate();
    m_proc->waitForFinished(5000);
    m_proc.reset();
  }

 private:
  QString m_files;
  QString m_link;
  std::unique_ptr<QProcess> m_proc;
};

struct Tally {
  int done = 0;
  int faults = 0;
  int faultsFailed = 0;    // faults that ended the download with a message
  int unexpected = 0;      // downloads without a fault that did not come in
  int lostAfterFault = 0;  // faulted downloads that neither came in nor failed
  int perKind[4] = {};
};

void printLine(const char* when, int i, const Tally& t, const CountingPrompts& p)
{
  std::printf("%-6s %5d downloads  %4d done  %3d faults  %4d messages  %3d fds  %7ld KiB\n", when,
              i, t.done, t.faults, p.messages, openDescriptors(), residentKiB());
  std::fflush(stdout);
}

// The window connected to the simulator on its link, with the file list that
// every download starts from.
struct Soak {
  Soak(QApplication& a, Simulator& s) : app(a), sim(s) {}
  QApplication& app;
  Simulator& sim;
  CountingPrompts prompts;
  SoakClock clock;
  TForm1 form{prompts, clock};
  QVector<GridRow> fileList;
  Tally tally;

  bool connect(const QString& link)
  {
    form.ComPort1->setPort(link);
    form.ComPort1->setBaudRate(br115200);
    form.ComPort1->Open();
    form.ComPort1->WriteString("4");
    form.StringGrid1->setEnabled(true);
    if (!waitFor(
            app, [&] { return form.Grid.RowCount() == 2; }, 10000))
      return false;
    fileList = form.Grid.rows();
    return true;
  }

  bool arrived() { return form.Grid.cell(0, 0) == TimeHeader && !form.Exchange->underWay(); }

  // One double-click on the listed file, as the user makes it; with a fault,
  // the simulator that has it, and a fresh one afterwards.
  bool download(int i, int fault)
  {
    if (fault >= 0 && fault != Kill) {
      form.ClosePort();
      if (!sim.start(FaultNames[fault]))
        return false;
    }
    form.Grid.replaceRows(fileList);
    form.State.DataLoaded = false;
    form.StringGrid1->setEnabled(true);
    form.StringGrid1->selectGridRows(1, 1);
    const int messagesBefore = prompts.messages;
    form.StringGrid1DblClick();
    if (fault == Kill) {
      waitFor(
          app, [&] { return form.State.ReceivedBytes > 0; }, 2000);
      sim.stop(true);
    }
    auto ended = [&] { return arrived() || prompts.messages > messagesBefore; };
    if (!waitFor(app, ended, fault >= 0 ? 300 : 20000) && fault >= 0) {
      // Nothing more will come: let the silence watch see ten seconds pass.
      clock.advance(FileExchange::SilenceLimitMs + 1000);
      form.Exchange->checkSilence();
      waitFor(app, ended, 2000);
    }
    if (fault < 0 && !arrived()) {
      ++tally.unexpected;
      std::fprintf(stderr, "download %d did not come in: %s\n", i + 1, qPrintable(prompts.last));
    }
    if (arrived())
      ++tally.done;
    if (fault < 0)
      return true;
    ++tally.faults;
    ++tally.perKind[fault];
    if (prompts.messages > messagesBefore && !form.Exchange->underWay())
      ++tally.faultsFailed;
    else if (!arrived())
      ++tally.lostAfterFault;
    form.ClosePort();
    return sim.start(nullptr);
  }
};

}  // namespace

int main(int argc, char** argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int downloads = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 1000;
  const unsigned seed = argc > 2 ? QString::fromLocal8Bit(argv[2]).toUInt() : 14u;

  QTemporaryDir dir;
  if (!dir.isValid() || !QDir(dir.path()).mkdir(QStringLiteral("files")) ||
      !writeFile(dir.filePath(QStringLiteral("files/SOAK.csv")))) {
    std::fprintf(stderr, "cannot write the measurement file\n");
    return 1;
  }
  const QString link = dir.filePath(QStringLiteral("rz37m-tty"));
  Simulator sim(dir.filePath(QStringLiteral("files")), link);
  Soak soak(app, sim);
  if (!sim.start(nullptr) || !soak.connect(link)) {
    std::fprintf(stderr, "rz37m-sim did not start or list its files\n");
    return 1;
  }
  std::printf(
      "soak: %d downloads of %d counts from rz37m-sim without pacing, one in %d with a "
      "fault, seed %u\n",
      downloads, Counts, FaultEvery, seed);
  std::mt19937 rng(seed);
  int faultAt = static_cast<int>(rng() % FaultEvery);
  int startFds = 0;
  long startRss = 0;
  QElapsedTimer total;
  total.start();
  for (int i = 0; i < downloads; ++i) {
    if (i % FaultEvery == 0 && i > 0)
      faultAt = i + static_cast<int>(rng() % FaultEvery);
    if (!soak.download(i, i == faultAt ? static_cast<int>(rng() % 4) : -1)) {
      std::fprintf(stderr, "rz37m-sim did not start\n");
      return 1;
    }
    if (i == 0) {
      startFds = openDescriptors();
      startRss = residentKiB();
      printLine("start", 1, soak.tally, soak.prompts);
    } else if ((i + 1) % std::max(1, downloads / 10) == 0) {
      printLine("", i + 1, soak.tally, soak.prompts);
    }
  }
  // Measured in the state of the start: the port open after a download.
  const int endFds = openDescriptors();
  const long endRss = residentKiB();
  printLine("end", downloads, soak.tally, soak.prompts);
  soak.form.ClosePort();
  const Tally& t = soak.tally;
  std::printf(
      "downloads done %d of %d; faults met %d (drop %d, no-prompt %d, garbage %d, kill %d), "
      "%d ended with a message, %d neither came in nor ended\n",
      t.done, downloads, t.faults, t.perKind[0], t.perKind[1], t.perKind[2], t.perKind[3],
      t.faultsFailed, t.lostAfterFault);
  std::printf("downloads without a fault that did not come in: %d\n", t.unexpected);
  std::printf(
      "messages shown %d; open file descriptors %d at the start, %d at the end; resident "
      "memory %ld KiB at the start, %ld KiB at the end (%+.1f%%)\n",
      soak.prompts.messages, startFds, endFds, startRss, endRss,
      startRss > 0 ? 100.0 * static_cast<double>(endRss - startRss) / static_cast<double>(startRss)
                   : 0.0);
  std::printf("wall time %.1f s\n", static_cast<double>(total.elapsed()) / 1000.0);
  return 0;
}
