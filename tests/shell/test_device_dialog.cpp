// The device dialog over pseudo-terminal instruments: the list and its
// buttons, the port watch, connecting and disconnecting, a refused port and the
// clock setting, driven through the main window as the user drives it.

#include "charts/chart.h"
#include "shell/grid_view.h"
#include "shell/device_dialog.h"
#include "device/device_probe.h"
#include "device/file_exchange.h"
#include "device/port_enumeration.h"
#include "shell/main_window.h"
#include "shell/panel.h"
#include "support/scripted_prompts.h"
#include "device/test_device_probe_instrument.h"

#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QByteArray Rz37Identity = QByteArrayLiteral("7\r\nRZ-37m #12345\r\n");
const QByteArray Rz48Identity = QByteArrayLiteral("7\r\nRZ-48 #00417\r\n");
const QByteArray ClockAnswer = QByteArrayLiteral("1\r\nDate:03.03.2024\r\nTime:09:05:07\r\n");
const QString DeviceClock = QStringLiteral("03.03.2024  09:05:07");

// The main window with its device dialog, instruments on pseudo-terminals and
// a port list the test controls.
struct Bench {
  ScriptedPrompts prompts;
  InstrumentClock clock{QDateTime(QDate(2024, 3, 3), QTime(9, 5, 7))};
  TForm1 form{prompts, clock};
  TForm3 dialog{&form};
  FakePortEnumeration* ports = new FakePortEnumeration;
  std::vector<std::unique_ptr<PtyInstrument>> instruments;

  Bench()
  {
    form.Form3 = &dialog;
    dialog.setListHeaders(" Device name", " Port", " Date and time");
    dialog.setPortEnumeration(std::unique_ptr<PortEnumeration>(ports));
    clock.attach(*form.ComPort1);
  }
  PtyInstrument& plug(const QByteArray& identity, const QByteArray& clockAnswer)
  {
    instruments.push_back(PtyInstrument::create(identity, clockAnswer));
    PtyInstrument& device = *instruments.back();
    clock.instruments << &device;
    ports->next.candidates << device.path();
    ports->next.serialPortCount = static_cast<int>(instruments.size()) + 1;  // + a ttyS port
    return device;
  }
  void unplugAll()
  {
    ports->next.candidates.clear();
    ports->next.serialPortCount = 1;
  }
  QString row(int r) const
  {
    QStringList cells;
    for (int c = 0; c < 3; ++c) {
      const QTableWidgetItem* item = dialog.StringGrid1->item(r - 1, c);
      cells << (item ? item->text() : QString());
    }
    return cells.join(QLatin1Char('|'));
  }
  QStringList rows() const
  {
    QStringList all;
    for (int r = 1; r <= dialog.StringGrid1->rowCount(); ++r)
      all << row(r);
    return all;
  }
  void select(int r) { dialog.StringGrid1->setCurrentCell(r - 1, 0); }
  // Whether row r carries the green bar at its left edge.
  bool greenBar(int r)
  {
    QTableWidget* list = dialog.StringGrid1;
    const QRect cell = list->visualItemRect(list->item(r - 1, 0));
    const QImage image = list->viewport()->grab().toImage();
    return image.pixelColor(1, cell.center().y()) == QColor(0, 255, 0);
  }
};

// A simulated instrument in its own process.
class Simulator {
 public:
  explicit Simulator(QStringList args)
  {
    m_process.start(QStringLiteral(RZ37M_BIN_DIR "/rz37m-sim"), args << "--quiet");
    m_process.waitForStarted(5000);
    while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
    }
    m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
  }
  ~Simulator()
  {
    m_process.kill();
    m_process.waitForFinished(5000);
  }
  const QString& path() const { return m_path; }

 private:
  QProcess m_process;
  QString m_path;
};

// Fixed time; a pause lasts until the answer has stopped growing, at most as
// long as asked (the whole pause only for an instrument that stays silent).
class SettlingClock : public FixedClock {
 public:
  using FixedClock::FixedClock;
  TCustomComPort* port = nullptr;
  void sleep(int ms) override
  {
    FixedClock::sleep(ms);
    QElapsedTimer waited;
    waited.start();
    int queued = 0;
    qint64 lastGrowth = 0;
    while (waited.elapsed() < ms && port->Connected()) {
      const int now = port->QueuedInputCount();
      if (now != queued) {
        queued = now;
        lastGrowth = waited.elapsed();
      } else if (queued > 0 && waited.elapsed() - lastGrowth >= 5) {
        return;
      }
      QTest::qWait(1);
    }
  }
};

}  // namespace

class TestDeviceDialog : public QObject {
  Q_OBJECT
 private slots:
  void receiveDataListsInstruments_data();
  void receiveDataListsInstruments();
  void portWatch();
  void connectAndDisconnect();
  void refusedPort();
  void portHeldByAnotherProgram();
  void synchronizeClock();
  void simulatedInstruments();
};

void TestDeviceDialog::receiveDataListsInstruments_data()
{
  QTest::addColumn<QList<QByteArray>>("identities");
  QTest::addColumn<QList<QByteArray>>("clocks");
  QTest::addColumn<QStringList>("expected");  // per row: device|port|clock, "%n" the n-th port
  QTest::addColumn<QList<bool>>("connectable");
  QTest::addColumn<bool>("syncEnabled");

  QTest::newRow("RZ-37m and RZ-48")
      << QList<QByteArray>{Rz37Identity, Rz48Identity}
      << QList<QByteArray>{ClockAnswer, ClockAnswer}
      << QStringList{" RZ-37m  SN12345|%1|" + DeviceClock, " RZ-48  SN00417|%2|" + DeviceClock}
      << QList<bool>{true, true} << true;
  QTest::newRow("one without a clock answer")
      << QList<QByteArray>{Rz37Identity, Rz37Identity} << QList<QByteArray>{ClockAnswer, {}}
      << QStringList{" RZ-37m  SN12345|%1|" + DeviceClock, " RZ-37m  SN12345|%2|No answer"}
      << QList<bool>{true, false} << false;
  QTest::newRow("silent but there")
      << QList<QByteArray>{{}} << QList<QByteArray>{{}} << QStringList{" Unknown|%1|No answer"}
      << QList<bool>{false} << false;
  QTest::newRow("none") << QList<QByteArray>{} << QList<QByteArray>{}
                        << QStringList{"No device found||"} << QList<bool>{false} << false;
}

void TestDeviceDialog::receiveDataListsInstruments()
{
  QFETCH(QList<QByteArray>, identities);
  QFETCH(QList<QByteArray>, clocks);
  QFETCH(QStringList, expected);
  QFETCH(QList<bool>, connectable);
  QFETCH(bool, syncEnabled);

  Bench b;
  b.unplugAll();
  for (qsizetype i = 0; i < identities.size(); ++i)
    b.plug(identities[i], clocks[i]);
  QCOMPARE(b.dialog.StringGrid1->rowCount(), TForm3::InitialRows);

  b.form.N11Click();
  QVERIFY(b.dialog.isVisible());
  QVERIFY(b.dialog.Timer1->isActive());
  QVERIFY(!b.form.N13->isEnabled());
  for (qsizetype i = 0; i < expected.size(); ++i)
    for (size_t p = 0; p < b.instruments.size(); ++p)
      expected[i].replace(QStringLiteral("%") + QString::number(p + 1), b.instruments[p]->path());
  QCOMPARE(b.rows(), expected);
  QCOMPARE(b.dialog.Button2->isEnabled(), syncEnabled);
  for (qsizetype r = connectable.size(); r >= 1; --r) {
    b.select(static_cast<int>(r));
    QCOMPARE(b.dialog.Button1->isEnabled(), connectable[r - 1]);
    QCOMPARE(b.dialog.Button1->text(), QStringLiteral("Connect"));
  }
  for (const auto& device : b.instruments)
    QCOMPARE(device->received, QByteArray("71"));
  QVERIFY(!b.form.ComPort1->Connected());
}

void TestDeviceDialog::portWatch()
{
  Bench b;
  PtyInstrument& first = b.plug(Rz37Identity, ClockAnswer);
  b.plug(Rz48Identity, ClockAnswer);
  b.form.N11Click();
  b.select(2);

  // The same number of ports: nothing is asked.
  b.dialog.Timer1Timer();
  QCOMPARE(first.received, QByteArray("71"));

  // A port comes: every port is probed again, the selected row stays.
  PtyInstrument& third = b.plug(Rz37Identity, {});
  b.dialog.Timer1Timer();
  QCOMPARE(first.received, QByteArray("7171"));
  QCOMPARE(b.rows().size(), 3);
  QCOMPARE(b.row(3), " RZ-37m  SN12345|" + third.path() + "|No answer");
  QCOMPARE(b.dialog.StringGrid1->currentRow(), 1);
  QVERIFY(!b.dialog.Button2->isEnabled());

  // All go: one row says so, nothing can be connected or set.
  b.unplugAll();
  b.dialog.Timer1Timer();
  QCOMPARE(b.rows(), QStringList{"No device found||"});
  QVERIFY(!b.dialog.Button1->isEnabled());
  QVERIFY(!b.dialog.Button2->isEnabled());
  QCOMPARE(b.form.State.SerialValueCount, 1);

  // Esc closes the dialog, and the watch with it.
  QTest::keyClick(&b.dialog, Qt::Key_Escape);
  QVERIFY(!b.dialog.isVisible());
  QVERIFY(!b.dialog.Timer1->isActive());
}

void TestDeviceDialog::connectAndDisconnect()
{
  Bench b;
  b.plug(Rz37Identity, ClockAnswer);
  PtyInstrument& second = b.plug(Rz48Identity, ClockAnswer);
  b.form.N11Click();
  b.select(2);
  b.form.Chart1->leftAxis().setRange(-5, 70);
  b.form.Chart1->bottomAxis().setRange(300, 900);
  b.form.ScrollBar7->setEnabled(true);
  b.form.ScrollBar7->setMaximum(7);
  b.form.ScrollBar7->setValue(4);
  QCOMPARE(b.form.Panel22->caption(), QStringLiteral("4"));
  b.form.StatusBar1->showMessage("old status");
  for (int i = 0; i <= 3; ++i)
    b.form.LinearSeries(i)->add(5, 7);
  b.form.CircularSeries(0)->add(30, 7);
  b.form.CircularSeries(1)->add(30, 7);

  // Enter on the list connects to the selected instrument and asks for its files.
  QTest::keyClick(b.dialog.StringGrid1, Qt::Key_Return);
  QCOMPARE(b.form.State.SelectedPort, second.path());
  QVERIFY(b.form.ComPort1->Connected());
  QCOMPARE(b.form.ComPort1->Port(), second.path());
  QCOMPARE(second.received + second.pty.readFor(3, 500), QByteArray("714"));
  QVERIFY(!b.dialog.isVisible());
  QVERIFY(!b.dialog.Timer1->isActive());
  QVERIFY(b.form.StringGrid1->isEnabled());
  QVERIFY(!b.form.State.DataLoaded);
  // The views were cleared for the exchange.
  QVERIFY(b.form.StatusBar1->currentMessage().isEmpty());
  QVERIFY(!b.form.ScrollBar7->isEnabled());
  QCOMPARE(b.form.ScrollBar7->maximum(), 1);
  QCOMPARE(b.form.Panel21->caption(), QStringLiteral(" Record                    of 1"));
  QCOMPARE(b.form.Panel22->caption(), QStringLiteral("1"));  // never "Record 4 of 1"
  QCOMPARE(b.form.Panel23->caption(), QStringLiteral("Range [0000..0000]  L=0000"));
  QCOMPARE(b.form.Chart1->leftAxis().minimum(), 0.0);
  QCOMPARE(b.form.Chart1->leftAxis().maximum(), 20.0);
  QCOMPARE(b.form.Chart1->bottomAxis().minimum(), 0.0);
  QCOMPARE(b.form.Chart1->bottomAxis().maximum(), 100.0);
  for (int i = 0; i <= 3; ++i)
    QCOMPARE(b.form.LinearSeries(i)->count(), 0);
  QCOMPARE(b.form.CircularSeries(1)->count(), 0);
  QCOMPARE(b.form.CircularSeries(0)->count(), 1);
  QCOMPARE(b.form.CircularSeries(0)->x(0), 0.0);
  QCOMPARE(b.form.CircularSeries(0)->y(0), 999.0);

  // Opened again: the connected row reads "Disconnect" and carries the green
  // bar; the probe closed the port, "Receive data" opens it again.
  b.form.N11Click();
  QVERIFY(b.form.ComPort1->Connected());
  QCOMPARE(b.form.ComPort1->Port(), second.path());
  b.select(1);
  QCOMPARE(b.dialog.Button1->text(), QStringLiteral("Connect"));
  b.select(2);
  QCOMPARE(b.dialog.Button1->text(), QStringLiteral("Disconnect"));
  QVERIFY(b.greenBar(2));
  QVERIFY(!b.greenBar(1));

  // Disconnect in the middle of a download: the port closed, the grid back to
  // an empty, disabled file list, and the download's silence is no failure.
  b.form.Grid.setCell(3, 0, "Data1.txt");
  bool restored = false;
  b.form.Exchange->begin(FileExchange::Request::Content, [&] { restored = true; });
  b.dialog.Button1->click();
  b.clock.sleep(FileExchange::SilenceLimitMs);
  QVERIFY(!b.form.Exchange->checkSilence());
  QVERIFY(!restored);
  QVERIFY(b.prompts.messages.isEmpty());
  QVERIFY(!b.form.ComPort1->Connected());
  QCOMPARE(b.form.State.SelectedPort, NoPortSelected);
  QVERIFY(!b.form.StringGrid1->isEnabled());
  QCOMPARE(b.form.Grid.RowCount(), MeasurementGrid::FileListRows);
  QCOMPARE(b.form.Grid.cell(0, 0), FileNameHeader);
  QCOMPARE(b.form.Grid.cell(0, 1), SizeHeader);
  QCOMPARE(b.form.Grid.cell(3, 0), QString());
  QVERIFY(!b.greenBar(2));
}

void TestDeviceDialog::refusedPort()
{
  Bench b;
  PtyInstrument& refused = b.plug(Rz37Identity, ClockAnswer);
  b.form.ComPort1->setBackend(std::make_unique<RefusingBackend>(refused.path()));
  b.form.N11Click();

  const QString group = portGroup(refused.path());
  QCOMPARE(b.rows(), QStringList{" No permission|" + refused.path() + "|Join group " + group});
  QVERIFY(b.dialog.StringGrid1->item(0, 0)->toolTip().contains("usermod -aG " + group));
  QVERIFY(b.dialog.Button1->isEnabled());

  // Connect says what happened and how to fix it; the dialog stays open.
  b.dialog.Button1Click();
  QCOMPARE(b.prompts.messages.size(), 1);
  QVERIFY(b.prompts.messages[0].startsWith("COM Port Error: Unable to open com port on " +
                                           refused.path()));
  QVERIFY(b.prompts.messages[0].contains("group \"" + group + "\""));
  QVERIFY(b.dialog.isVisible());
  QVERIFY(!b.form.ComPort1->Connected());
  QCOMPARE(b.form.State.SelectedPort, refused.path());
  QVERIFY(refused.received.isEmpty());
}

// A port another program holds open: listed as such with what to do, Connect
// off for it, and neither Connect nor a refresh disturbs the instrument that
// is connected.
void TestDeviceDialog::portHeldByAnotherProgram()
{
  Bench b;
  PtyInstrument& free = b.plug(Rz37Identity, ClockAnswer);
  PtyInstrument& held = b.plug(Rz48Identity, ClockAnswer);
  TComPort other;  // the other program
  other.setPort(held.path());
  other.Open();
  b.form.N11Click();
  QCOMPARE(b.rows(), (QStringList{" RZ-37m  SN12345|" + free.path() + "|" + DeviceClock,
                                  " Port in use|" + held.path() + "|Close the other program"}));
  QVERIFY(b.dialog.StringGrid1->item(1, 0)->toolTip().contains("Close it"));
  b.select(1);
  b.dialog.Button1Click();
  QCOMPARE(b.form.State.SelectedPort, free.path());
  QVERIFY(b.form.ComPort1->Connected());

  b.form.N11Click();
  b.select(2);
  QVERIFY(!b.dialog.Button1->isEnabled());
  b.dialog.Button1Click();  // what the main window's "Return" row runs
  QCOMPARE(b.form.State.SelectedPort, free.path());
  QVERIFY(b.form.ComPort1->Connected());
  QCOMPARE(b.form.ComPort1->Port(), free.path());
  b.dialog.Button3Click();
  QVERIFY2(b.prompts.messages.isEmpty(), qPrintable(b.prompts.messages.join('\n')));
  QVERIFY(held.received.isEmpty());

  // Let go, the port is listed and connectable at the next refresh.
  other.Close();
  b.dialog.Button3Click();
  QCOMPARE(b.row(2), " RZ-48  SN00417|" + held.path() + "|" + DeviceClock);
  b.select(2);
  QVERIFY(b.dialog.Button1->isEnabled());
  QVERIFY(b.prompts.messages.isEmpty());
}

void TestDeviceDialog::synchronizeClock()
{
  Bench b;
  const QByteArray oldClock = "1\r\nDate:01.01.2000\r\nTime:00:00:00\r\n";
  PtyInstrument& first = b.plug(Rz37Identity, oldClock);
  PtyInstrument& second = b.plug(Rz48Identity, oldClock);
  first.settable = second.settable = true;
  b.form.N11Click();
  QCOMPARE(b.row(1).section('|', 2), QStringLiteral("01.01.2000  00:00:00"));
  b.form.StringGrid1->setEnabled(true);

  b.dialog.Button2->click();
  // Sunday 3 March 2024, 09:05:07, and the refresh reads the clocks back.
  for (PtyInstrument* device : {&first, &second})
    QCOMPARE(device->received, QByteArray("71"
                                          "203032403090507"
                                          "71"));
  QCOMPARE(b.row(1), " RZ-37m  SN12345|" + first.path() + "|" + DeviceClock);
  QCOMPARE(b.row(2), " RZ-48  SN00417|" + second.path() + "|" + DeviceClock);
  QVERIFY(b.dialog.Button2->isEnabled());
  QVERIFY(!b.form.StringGrid1->isEnabled());
  QVERIFY(!b.form.ComPort1->Connected());
  QVERIFY(b.prompts.messages.isEmpty());
}

void TestDeviceDialog::simulatedInstruments()
{
  Simulator rz37({"--model", "RZ-37m", "--serial", "12345"});
  Simulator rz48({"--model", "RZ-48", "--serial", "00417"});
  Simulator silent({"--fault", "no-clock"});
  QVERIFY(!rz37.path().isEmpty() && !rz48.path().isEmpty() && !silent.path().isEmpty());

  ScriptedPrompts prompts;
  SettlingClock clock(QDateTime(QDate(2024, 3, 3), QTime(9, 5, 7)));
  TForm1 form(prompts, clock);
  clock.port = form.ComPort1;
  TForm3 dialog(&form);
  form.Form3 = &dialog;
  QTemporaryDir noAdapters;
  // Found as the start script makes them known: through the extra ports.
  dialog.setPortEnumeration(
      std::make_unique<SystemPortEnumeration>(noAdapters.path(), rz37.path() + ':' + rz48.path()));
  form.N11Click();

  auto row = [&](int r) {
    QStringList cells;
    for (int c = 0; c < 3; ++c)
      cells << dialog.StringGrid1->item(r - 1, c)->text();
    return cells;
  };
  QCOMPARE(dialog.StringGrid1->rowCount(), 2);
  QCOMPARE(row(1).mid(0, 2), (QStringList{" RZ-37m  SN12345", rz37.path()}));
  QCOMPARE(row(2).mid(0, 2), (QStringList{" RZ-48  SN00417", rz48.path()}));
  QVERIFY(dialog.Button2->isEnabled());

  // Set both clocks to the computer's; the refresh reads them back.
  dialog.Button2Click();
  for (int r = 1; r <= 2; ++r)
    QVERIFY2(row(r)[2].startsWith("03.03.2024  09:05:"), qPrintable(row(r)[2]));

  // A third instrument that keeps its clock to itself: picked up by the watch.
  dialog.setPortEnumeration(std::make_unique<SystemPortEnumeration>(
      noAdapters.path(), rz37.path() + ':' + rz48.path() + ':' + silent.path()));
  dialog.Timer1Timer();
  QCOMPARE(dialog.StringGrid1->rowCount(), 3);
  QCOMPARE(row(3), (QStringList{" RZ-37m  SN00417", silent.path(), "No answer"}));
  QVERIFY(!dialog.Button2->isEnabled());
  dialog.StringGrid1->setCurrentCell(2, 0);
  QVERIFY(!dialog.Button1->isEnabled());
}

QTEST_MAIN(TestDeviceDialog)
#include "test_device_dialog.moc"
