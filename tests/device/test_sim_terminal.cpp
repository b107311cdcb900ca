// rz37m-sim as a program: a serial port opened on the terminal it prints gets
// the instrument's answers byte for byte; its link, its line check, its
// dropped-link fault and its stop signal.

#include "device/com_port.h"
#include "sim_answers.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

class RunningSim {
 public:
  explicit RunningSim(const QStringList& args)
  {
    m_process.start(QStringLiteral(RZ37M_BIN_DIR "/rz37m-sim"), args);
    if (!m_process.waitForStarted(5000))
      return;
    while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
    }
    m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    m_process.setReadChannel(QProcess::StandardError);
  }
  ~RunningSim()
  {
    if (m_process.state() != QProcess::NotRunning) {
      m_process.kill();
      m_process.waitForFinished(5000);
    }
  }
  const QString& path() const { return m_path; }
  QProcess& process() { return m_process; }
  // Waits for the log to mention `text`, at most waitMs for each new line.
  bool logged(const QString& text, int waitMs = 5000)
  {
    while (!m_log.contains(text)) {
      if (!m_process.waitForReadyRead(waitMs) && m_process.bytesAvailable() == 0)
        return false;
      m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
    }
    return true;
  }
  bool finished()
  {
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(5000);
  }
  int stop()
  {
    ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
    m_process.waitForFinished(5000);
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
  }

 private:
  QProcess m_process;
  QString m_path;
  QString m_log;
};

// A client as the program is one: the port at 115200 baud, answers collected
// by the receive handler.
struct Client {
  TComPort port;
  QByteArray received;
  QList<TComErrors> errors;

  explicit Client(const QString& path, TBaudRate rate = br115200)
  {
    port.OnRxChar = [this](TCustomComPort& sender, int count) {
      QByteArray text;
      sender.ReadString(text, count);
      received += text;
    };
    port.OnError = [this](TCustomComPort&, TComErrors e) { errors << e; };
    port.setPort(path);
    port.setBaudRate(rate);
    port.Open();
  }
  void send(const QList<QByteArray>& writes)
  {
    received.clear();
    for (const QByteArray& w : writes)
      port.WriteString(w);
  }
};

}  // namespace

class TestSimTerminal : public QObject {
  Q_OBJECT

 private slots:
  void answersOnItsTerminal();
  void wrongLineNotUnderstood();
  void linkDroppedMidDownload();
  void portClosedMidAnswer();
};

void TestSimTerminal::answersOnItsTerminal()
{
  QTemporaryDir dir;
  const QString link = dir.filePath(QStringLiteral("rz48"));
  RunningSim sim({QStringLiteral("--model"), QStringLiteral("RZ-48"), QStringLiteral("--serial"),
                  QStringLiteral("00042"), QStringLiteral("--link"), link});
  QVERIFY2(sim.path().startsWith("/dev/pts/"), qPrintable(sim.path()));
  QCOMPARE(QFileInfo(link).symLinkTarget(), sim.path());

  Client client(link);
  const QByteArray identity =
      identificationAnswer(QStringLiteral("RZ-48"), QStringLiteral("00042"));
  client.send({"7"});
  QTRY_COMPARE(client.received, identity);

  SimFileSet files = demoFiles();
  client.send({"4"});
  QTRY_VERIFY(client.received.contains(Prompt));
  QCOMPARE(client.received, listingAnswer(files));

  const SimFile weld = *files.find(QStringLiteral("WELD_SEAM.DAT"));
  client.send({"5", weld.name.toLatin1(), "\r"});
  QTRY_VERIFY(client.received.contains(Prompt));
  QCOMPARE(client.received, contentAnswer(weld));

  client.send({"6", weld.name.toLatin1(), "\r"});
  QTRY_VERIFY(client.received.contains(Prompt));
  QCOMPARE(client.received, deletedAnswer());
  files.remove(weld.name);
  client.send({"4"});
  QTRY_VERIFY(client.received.contains(Prompt));
  QCOMPARE(client.received, listingAnswer(files));

  // The clock, set as the program sets it, then read back.
  client.send({"2", "03", "03", "24", "0", "3", "09", "05", "07", "1"});
  QTRY_VERIFY(client.received.endsWith("\r\n") && client.received.contains("Time:"));
  QVERIFY2(client.received.startsWith("1\r\nDate:03.03.2024\r\nTime:09:05:0"),
           client.received.constData());

  client.port.Close();
  QCOMPARE(sim.stop(), 0);
  QVERIFY(!QFileInfo(link).isSymLink());  // the stop signal removes the link
}

void TestSimTerminal::wrongLineNotUnderstood()
{
  RunningSim sim({});
  Client client(sim.path(), br9600);
  client.send({"4"});
  QVERIFY(sim.logged(QStringLiteral("9600 8N1")));
  QVERIFY(sim.logged(QStringLiteral("not understood")));
  QCOMPARE(client.received, QByteArray());

  client.port.setBaudRate(br115200);  // at once, on the open port
  client.send({"4"});
  QTRY_VERIFY(client.received.contains(Prompt));
  QCOMPARE(client.received, listingAnswer(demoFiles()));
}

void TestSimTerminal::linkDroppedMidDownload()
{
  QTemporaryDir dir;
  const QString link = dir.filePath(QStringLiteral("rz37m"));
  RunningSim sim(
      {QStringLiteral("--fault"), QStringLiteral("drop"), QStringLiteral("--link"), link});
  Client client(sim.path());
  client.send({"5", "PIPE_6X12.DAT", "\r"});
  QTRY_COMPARE(client.errors.size(), 1);
  QVERIFY(client.errors.first().has(ceIO));
  QVERIFY(!client.received.contains(Prompt));
  QVERIFY(sim.finished());
  QCOMPARE(sim.process().exitCode(), 3);
  QVERIFY(!QFileInfo(link).isSymLink());
  client.port.Close();
}

// The program closes the port in the middle of a long answer: what the line
// would have carried meanwhile is lost, and the next session after the
// answer's wire time hears only its own answers.
void TestSimTerminal::portClosedMidAnswer()
{
  QTemporaryDir dir;
  QFile big(dir.filePath(QStringLiteral("BIG.csv")));
  QVERIFY(big.open(QIODevice::WriteOnly));
  // 3200 counts: about 51 kB, more than the port's buffer and the
  // pseudo-terminal's queue take in before and after the close together.
  for (int i = 0; i < 3200; ++i)
    big.write(QByteArray("10:00:") + QByteArray::number(i % 60).rightJustified(2, '0') +
              ";05,43\r\n");
  big.close();
  RunningSim sim({QStringLiteral("--files"), dir.path()});
  {
    Client client(sim.path());
    client.send({"5", "BIG      .csv", "\r"});
    // Closed as soon as the instrument has the request; meanwhile the port
    // takes no more than its input buffer.
    QVERIFY(sim.logged(QStringLiteral("5 read")));
    client.port.Close();
  }
  // The log says so once the answer's time on the wire has passed.
  QVERIFY(sim.logged(QStringLiteral("lost: nobody read the port"), 20000));

  Client again(sim.path());
  again.send({"7"});
  const QByteArray identity =
      identificationAnswer(QStringLiteral("RZ-37m"), QStringLiteral("00417"));
  QTRY_COMPARE(again.received, identity);
  again.port.Close();
}

QTEST_GUILESS_MAIN(TestSimTerminal)
#include "test_sim_terminal.moc"
