// The file exchange end to end in the main window: the simulated instrument on
// its pseudo-terminal, Connect from the device dialog, download, the way back
// to the list, deletions, and what the window does when the instrument goes
// silent, sends noise or is unplugged halfway.

#include "shell/grid_view.h"
#include "device/com_port.h"
#include "shell/device_dialog.h"
#include "device/file_exchange.h"
#include "device/instrument_protocol.h"
#include "serial_pty.h"
#include "common/clock.h"
#include "shell/main_window.h"
#include "support/main_window_fixture.h"
#include "support/scripted_com_backend.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

namespace {

const QString Device = QStringLiteral(" RZ-37m  SN00417");

// Three measurement files for the simulated instrument: A with two records of
// 5 and 3 counts, B with 4 counts, C with 1.
void writeFiles(const QString& folder)
{
  const auto write = [&](const QString& name, const QStringList& lines) {
    QFile f(folder + u'/' + name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
  };
  write("A.csv",
        {"10:00:00;05,43", "10:00:01;05,50", "10:00:02;-1,25", "10:00:03;12,00", "10:00:04;07,07",
         "              ", "10:05:00;03,30", "10:05:01;03,31", "10:05:02;03,32"});
  write("B.csv", {"11:00:00;01,00", "11:00:01;02,00", "11:00:02;03,00", "11:00:03;04,00"});
  write("C.csv", {"12:00:00;09,99"});
}

QStringList allCells(const MeasurementGrid& grid)
{
  QStringList out;
  for (const GridRow& row : grid.rows())
    out << row.cell[0] + u'|' + row.cell[1];
  return out;
}

class Sim {
 public:
  bool start(const QStringList& args)
  {
    m_process.start(QStringLiteral(RZ37M_BIN_DIR "/rz37m-sim"), args);
    if (!m_process.waitForStarted(5000))
      return false;
    while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
    }
    m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_path.isEmpty();
  }
  ~Sim()
  {
    m_process.kill();
    m_process.waitForFinished(5000);
  }
  const QString& path() const { return m_path; }
  // How often the log names a command so far.
  int logged(const QString& text)
  {
    m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
    return static_cast<int>(m_log.count(text));
  }

 private:
  QProcess m_process;
  QString m_path;
  QString m_log;
};

}  // namespace

class TestFileExchangeWindow : public QObject {
  Q_OBJECT

  MainWindowFixture m_window{QDateTime(QDate(2024, 3, 3), QTime(9, 5, 7))};
  ScriptedPrompts& m_prompts = m_window.prompts;
  FixedClock& m_clock = m_window.clock;
  std::unique_ptr<Sim> m_sim;
  QTemporaryDir m_files;

  TForm1& f() { return m_window.f(); }

  void startSim(const QStringList& faults = {})
  {
    QVERIFY(m_files.isValid());
    writeFiles(m_files.path());
    QStringList args{"--files", m_files.path()};
    for (const QString& fault : faults)
      args << "--fault" << fault;
    m_sim = std::make_unique<Sim>();
    QVERIFY(m_sim->start(args));
  }

  // Connect as the device dialog does, with the simulated instrument listed.
  void connectInstrument()
  {
    pressConnect();
    QVERIFY(f().ComPort1->Connected());
    QTRY_COMPARE(f().StatusBar1->currentMessage(), connectedStatus());
  }
  void pressConnect()
  {
    QTableWidget* list = f().Form3->StringGrid1;
    list->setItem(0, 0, new QTableWidgetItem(Device));
    list->setItem(0, 1, new QTableWidgetItem(m_sim->path()));
    list->setItem(0, 2, new QTableWidgetItem(QStringLiteral("03.03.2024  09:05:07")));
    list->setCurrentCell(0, 0);
    f().Form3->StringGrid1SelectCell(1);
    f().Form3->Button1Click();
  }

  QString connectedStatus()
  {
    return u' ' + Device + QStringLiteral(", connected on ") + f().ComPort1->Port();
  }

  void activate(int row)
  {
    f().StringGrid1->selectGridRows(row, row);
    f().StringGrid1DblClick();
  }

  // The window shows the listing of A, B, C, usable.
  void verifyFileListOfThree()
  {
    QCOMPARE(f().Grid.cell(0, 0), QStringLiteral(" File name"));
    QCOMPARE(f().Grid.cell(0, 1), QStringLiteral(" Size, bytes"));
    QCOMPARE(f().Grid.RowCount(), 4);
    QStringList names;
    for (int r = 1; r <= 3; ++r)
      names << f().Grid.cell(r, 0);
    QCOMPARE(names, (QStringList{"A        .csv", "B        .csv", "C        .csv"}));
    QVERIFY(!f().State.DataLoaded);
    QVERIFY(f().StringGrid1->isEnabled());
    QCOMPARE(f().StringGrid1->popupMenu(), f().PopupMenu2);
    QVERIFY(!f().Grid.rangeSelect());
    QCOMPARE(int(f().State.DialogueState), 2);
    // Only measurements can be saved; file-list rows would be written as counts.
    QVERIFY(!f().N13->isEnabled());
  }

 private Q_SLOTS:
  void init()
  {
    m_window.start();
    f().Form3 = new TForm3(&f());
    f().ComPort1->setBaudRate(br115200);  // as the device list's probe leaves it
  }
  void cleanup()
  {
    m_window.stop();
    m_sim.reset();
  }

  void connectShowsTheListing()
  {
    startSim();
    connectInstrument();
    QTRY_COMPARE(f().Grid.RowCount(), 4);
    verifyFileListOfThree();
    int bytes = 0;
    QVERIFY(instrument::sizeInBytes(f().Grid.cell(1, 1), &bytes));
    QCOMPARE(bytes, 27 + 9 * 16 + 2 + 136);  // the size is the length of its answer
    QVERIFY(m_prompts.messages.isEmpty());
  }

  void downloadEntersMeasurementMode()
  {
    startSim();
    connectInstrument();
    QTRY_COMPARE(f().Grid.RowCount(), 4);
    QStringList shown;
    connect(f().StatusBar1, &QStatusBar::messageChanged, this,
            [&](const QString& text) { shown << text; });
    activate(1);
    QCOMPARE(f().StatusBar1->currentMessage().left(14), QStringLiteral(" Loading file:"));
    QCOMPARE(f().State.LoadingFileName, QStringLiteral("A        .csv"));
    QTRY_COMPARE(f().Grid.cell(0, 0), QStringLiteral(" Time"));

    QCOMPARE(f().Grid.RowCount(), 11);
    QCOMPARE(f().Grid.cell(1, 0), QStringLiteral("Return"));
    QCOMPARE(f().Grid.cell(2, 0), QStringLiteral("1) 10:00:00"));
    QCOMPARE(f().Grid.cell(4, 1), QStringLiteral("-1,25"));
    QVERIFY(f().Grid.cell(7, 0).isEmpty() && f().Grid.cell(7, 1).isEmpty());
    QCOMPARE(f().Grid.cell(10, 0), QStringLiteral("9) 10:05:02"));
    QCOMPARE(f().Grid.cell(10, 1), QStringLiteral("03,32"));
    QVERIFY(!f().Grid.isRowHidden(1));
    QCOMPARE(f().State.RecordsCount, 2);
    QVERIFY(f().State.DataLoaded);
    QCOMPARE(f().StringGrid1->popupMenu(), f().PopupMenu1);
    QVERIFY(f().N13->isEnabled());
    QCOMPARE(f().StatusBar1->currentMessage(),
             Device + QStringLiteral("\\A        .csv _____  Records count: 2"));

    // Every progress text is a percentage that never passes 100.
    int last = -1;
    for (const QString& text : shown) {
      if (!text.startsWith(QStringLiteral(" Loading file: ")))
        continue;
      QVERIFY2(text.endsWith(u'%'), qPrintable(text));
      const int percent = text.mid(15, text.size() - 16).toInt();
      QVERIFY2(percent >= last && percent <= 100, qPrintable(text));
      last = percent;
    }
    QCOMPARE(last, 100);

    // A count row in measurement mode sends nothing.
    const int reads = m_sim->logged(QStringLiteral("5 read"));
    activate(3);
    QTest::qWait(50);
    QCOMPARE(m_sim->logged(QStringLiteral("5 read")), reads);
    QVERIFY(f().State.DataLoaded);

    // Enter on the return row reconnects and shows the file list again, also
    // when the device dialog's button reads "Disconnect" for this instrument.
    f().Form3->StringGrid1SelectCell(1);
    QCOMPARE(f().Form3->Button1->text(), QStringLiteral("Disconnect"));
    f().StringGrid1->selectGridRows(1, 1);
    f().StringGrid1->setFocus();
    QTest::keyClick(f().StringGrid1, Qt::Key_Return);
    QTRY_COMPARE(f().Grid.cell(0, 0), QStringLiteral(" File name"));
    verifyFileListOfThree();
    QCOMPARE(f().StatusBar1->currentMessage(), connectedStatus());
    QVERIFY(m_prompts.messages.isEmpty());
  }

  void deleteOne()
  {
    startSim();
    connectInstrument();
    QTRY_COMPARE(f().Grid.RowCount(), 4);
    f().StringGrid1->selectGridRows(2, 2);
    f().MenuItem22Click();
    QCOMPARE(f().StatusBar1->currentMessage(), QStringLiteral(" Deleting..."));
    QVERIFY(!f().StringGrid1->isEnabled());
    QTRY_COMPARE(f().Grid.RowCount(), 3);
    QCOMPARE(m_sim->logged(QStringLiteral("6 delete \"B        .csv\"")), 1);
    QCOMPARE(f().Grid.cell(1, 0), QStringLiteral("A        .csv"));
    QCOMPARE(f().Grid.cell(2, 0), QStringLiteral("C        .csv"));
    QVERIFY(f().StringGrid1->isEnabled());
    QCOMPARE(f().StatusBar1->currentMessage(), connectedStatus());
  }

  void deleteAll()
  {
    startSim();
    connectInstrument();
    QTRY_COMPARE(f().Grid.RowCount(), 4);
    const int listings = m_sim->logged(QStringLiteral("4 directory"));
    m_prompts.questionAnswers << Prompts::Answer::Yes;
    f().MenuItem23Click();
    QCOMPARE(m_prompts.questions.size(), 1);
    QCOMPARE(m_prompts.questions[0].text,
             QStringLiteral("Delete all 3 files on the instrument? They cannot be recovered."));
    QCOMPARE(m_prompts.questions[0].defaultButton, Prompts::Answer::No);
    QTRY_COMPARE(m_sim->logged(QStringLiteral("4 directory, 0 file(s)")), 1);
    QTRY_COMPARE(f().Grid.RowCount(), 32);
    QCOMPARE(m_sim->logged(QStringLiteral("6 delete")), 3);
    QCOMPARE(m_sim->logged(QStringLiteral("6 delete \"A        .csv\"")), 1);
    QCOMPARE(m_sim->logged(QStringLiteral("6 delete \"B        .csv\"")), 1);
    QCOMPARE(m_sim->logged(QStringLiteral("6 delete \"C        .csv\"")), 1);
    QCOMPARE(m_sim->logged(QStringLiteral("4 directory")), listings + 3);
    QCOMPARE(int(f().State.DialogueState), 2);
    QVERIFY(f().StringGrid1->isEnabled());
    for (int r = 1; r < 32; ++r)
      QVERIFY(f().Grid.cell(r, 0).isEmpty() && f().Grid.cell(r, 1).isEmpty());

    // "Delete all" on the empty list sends nothing and keeps the window usable.
    f().MenuItem23Click();
    QTest::qWait(50);
    QCOMPARE(m_sim->logged(QStringLiteral("6 delete")), 3);
    QVERIFY(f().StringGrid1->isEnabled());
    QCOMPARE(int(f().State.DialogueState), 2);
  }

  // An answer that stops short: the grid and status come back as they were
  // before the request, with a message saying what to do.
  void answerThatStopsShort_data()
  {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("download");
    QTest::newRow("download without its prompt") << "no-prompt" << true;
    QTest::newRow("deletion without its prompt") << "no-prompt" << false;
    QTest::newRow("noise instead of the file") << "garbage" << true;
  }
  void answerThatStopsShort()
  {
    QFETCH(QString, fault);
    QFETCH(bool, download);
    startSim({fault});
    // The listing the instrument would have sent, put in place as Connect leaves it.
    f().ComPort1->setPort(m_sim->path());
    f().ComPort1->Open();
    f().Grid.replaceRows({{{" File name", " Size, bytes"}},
                          {{"A        .csv", "0,309"}},
                          {{"B        .csv", "0,245"}}});
    f().StringGrid1->setEnabled(true);
    f().StatusBar1->showMessage(QStringLiteral(" connected"));
    const QStringList rowsBefore = allCells(f().Grid);

    f().StringGrid1->selectGridRows(1, 1);
    if (download)
      f().StringGrid1DblClick();
    else
      f().MenuItem22Click();
    QTRY_VERIFY(!f().State.ReceiveBuffer.isEmpty());
    QTest::qWait(20);
    QVERIFY(m_prompts.messages.isEmpty());

    m_clock.sleep(FileExchange::SilenceLimitMs - 1);
    QVERIFY(!f().Exchange->checkSilence());
    m_clock.sleep(1);
    QVERIFY(f().Exchange->checkSilence());

    QCOMPARE(m_prompts.messages.size(), 1);
    QVERIFY2(m_prompts.messages[0].contains(QStringLiteral("Receive data")),
             qPrintable(m_prompts.messages[0]));
    QCOMPARE(f().StatusBar1->currentMessage(), QStringLiteral(" The instrument did not answer"));
    QCOMPARE(allCells(f().Grid), rowsBefore);
    QVERIFY(!f().State.DataLoaded);
    QVERIFY(f().StringGrid1->isEnabled());
    QCOMPARE(f().StringGrid1->popupMenu(), f().PopupMenu2);
    QVERIFY(!f().Grid.rangeSelect());
    QCOMPARE(int(f().State.DialogueState), 2);
    QVERIFY(f().State.ReceiveBuffer.isEmpty());
    QVERIFY(!f().Exchange->underWay());
  }

  // Noise in answer to Connect's listing request: said after ten seconds.
  void noiseAfterConnect()
  {
    startSim({"garbage"});
    pressConnect();
    QTRY_VERIFY(!f().State.ReceiveBuffer.isEmpty());
    m_clock.sleep(FileExchange::SilenceLimitMs);
    QVERIFY(f().Exchange->checkSilence());
    QCOMPARE(m_prompts.messages.size(), 1);
    QVERIFY2(m_prompts.messages[0].contains(QStringLiteral("file list")),
             qPrintable(m_prompts.messages[0]));
    QCOMPARE(f().StatusBar1->currentMessage(), QStringLiteral(" The instrument did not answer"));
    QVERIFY(f().StringGrid1->isEnabled());
    QVERIFY(f().State.ReceiveBuffer.isEmpty());
  }

  void unplugMidDownload()
  {
    startSim({"drop"});
    connectInstrument();
    QTRY_COMPARE(f().Grid.RowCount(), 4);
    const QStringList rowsBefore = allCells(f().Grid);
    activate(1);
    QTRY_VERIFY(!f().ComPort1->Connected());
    QCOMPARE(m_prompts.messages.size(), 1);
    QVERIFY2(m_prompts.messages[0].contains(QStringLiteral("lost")),
             qPrintable(m_prompts.messages[0]));
    QVERIFY(m_prompts.messages[0].contains(QStringLiteral("A")));
    QCOMPARE(allCells(f().Grid), rowsBefore);
    QVERIFY(!f().State.DataLoaded);
    QVERIFY(f().StringGrid1->isEnabled());
    QCOMPARE(f().StringGrid1->popupMenu(), f().PopupMenu2);
    QVERIFY(f().StatusBar1->currentMessage().contains(QStringLiteral("lost")));

    // A later request tells the user the port cannot be opened; nothing else changes.
    activate(1);
    QCOMPARE(m_prompts.messages.size(), 2);
    QCOMPARE(allCells(f().Grid), rowsBefore);
  }
};

// Answers the simulator does not give, written by hand on a pseudo-terminal.
class TestCraftedAnswers : public QObject {
  Q_OBJECT

  MainWindowFixture m_window{QDateTime(QDate(2024, 3, 3), QTime(9, 5, 7))};
  ScriptedPrompts& m_prompts = m_window.prompts;
  FixedClock& m_clock = m_window.clock;
  std::unique_ptr<TForm1>& m_form = m_window.form;
  PseudoTerminal m_pty;

  // ZERO.DAT of this size listed first, then the others.
  void listFile(const QString& size, const QVector<instrument::FileEntry>& others = {})
  {
    m_form->ComPort1->setPort(m_pty.terminalPath());
    m_form->ComPort1->Open();
    m_form->ComPort1->WriteString("4");
    QCOMPARE(m_pty.readFor(1, 2000), QByteArray("4"));
    const QVector<instrument::FileEntry> files =
        QVector<instrument::FileEntry>{{instrument::padFileName("ZERO", "DAT"), size}} + others;
    QVERIFY(m_pty.writeAll(instrument::toWire(instrument::buildListingAnswer(files)), 2000));
    QTRY_COMPARE(m_form->Grid.cell(1, 1), size);
    m_form->StringGrid1->setEnabled(true);
    m_form->StringGrid1->selectGridRows(1, 1);
  }

 private Q_SLOTS:
  void init()
  {
    QString error;
    QVERIFY2(m_pty.open(&error), qPrintable(error));
    m_window.start();
    m_form->ComPort1->setBaudRate(br115200);
  }
  void cleanup()
  {
    m_window.stop();
    m_pty.close();
  }

  // A listed size of zero: the progress counts bytes, nothing divides by zero.
  void zeroSizeShowsBytes()
  {
    listFile(QStringLiteral("0"));
    m_form->StringGrid1DblClick();
    QCOMPARE(m_pty.readFor(15, 2000), QByteArray("5ZERO     .DAT\r"));
    // The progress goes with the download, whatever the status bar says meanwhile.
    m_form->StatusBar1->clearMessage();
    const QByteArray answer = instrument::toWire(
        instrument::buildContentAnswer("ZERO     .DAT", {{{"12:30:05", "-1.25"}}}));
    QVERIFY(m_pty.writeAll(answer.left(100), 2000));
    QTRY_COMPARE(m_form->StatusBar1->currentMessage(), QStringLiteral(" Loading file: 100 bytes"));
    QVERIFY(m_pty.writeAll(answer.mid(100), 2000));
    QTRY_COMPARE(m_form->Grid.cell(2, 0), QStringLiteral("1) 12:30:05"));
    QCOMPARE(m_form->Grid.cell(2, 1), QStringLiteral("-1,25"));
    QCOMPARE(m_form->Grid.RowCount(), 3);
  }

  // A size that is not a number: nothing at all is sent.
  void unreadableSizeSendsNothing()
  {
    listFile(QStringLiteral("1.234"));
    m_form->StringGrid1DblClick();
    QCOMPARE(m_prompts.messages.size(), 1);
    QVERIFY(m_prompts.messages[0].contains(QStringLiteral("1.234")));
    QCOMPARE(m_pty.readFor(1, 50), QByteArray());
    QVERIFY(!m_form->State.DataLoaded);
  }

  // A deletion the instrument refuses: its words are shown, the list is usable.
  void refusedDeletion()
  {
    listFile(QStringLiteral("0,200"));
    const QStringList before = allCells(m_form->Grid);
    m_form->MenuItem22Click();
    QVERIFY(!m_form->StringGrid1->isEnabled());
    QCOMPARE(m_pty.readFor(15, 2000), QByteArray("6ZERO     .DAT\r"));
    QVERIFY(m_pty.writeAll("6\r\nFile not found!\r\nCommand:", 2000));
    QTRY_COMPARE(m_prompts.messages.size(), 1);
    QVERIFY2(m_prompts.messages[0].contains(QStringLiteral("\"File not found!\"")),
             qPrintable(m_prompts.messages[0]));
    QVERIFY(m_form->StringGrid1->isEnabled());
    QCOMPARE(allCells(m_form->Grid), before);
    QCOMPARE(int(m_form->State.DialogueState), 2);
  }

  // An instrument that never answers Connect's "4" is reported after ten
  // seconds, and the window is usable again.
  void silenceAfterConnect()
  {
    m_form->Form3 = new TForm3(m_form.get());
    QTableWidget* list = m_form->Form3->StringGrid1;
    list->setItem(0, 0, new QTableWidgetItem(QStringLiteral(" RZ-37m  SN00417")));
    list->setItem(0, 1, new QTableWidgetItem(m_pty.terminalPath()));
    list->setItem(0, 2, new QTableWidgetItem(QStringLiteral("03.03.2024  09:05:07")));
    list->setCurrentCell(0, 0);
    m_form->Form3->StringGrid1SelectCell(1);
    m_form->Form3->Button1Click();
    QCOMPARE(m_pty.readFor(1, 2000), QByteArray("4"));
    QVERIFY(m_form->Exchange->underWay());

    m_clock.sleep(FileExchange::SilenceLimitMs);
    QVERIFY(m_form->Exchange->checkSilence());
    QCOMPARE(m_prompts.messages.size(), 1);
    QVERIFY2(m_prompts.messages[0].contains(QStringLiteral("file list")),
             qPrintable(m_prompts.messages[0]));
    QCOMPARE(m_form->StatusBar1->currentMessage(),
             QStringLiteral(" The instrument did not answer"));
    QVERIFY(m_form->StringGrid1->isEnabled());
  }

  // Connect in the middle of "Delete all" ends it: the listing that follows
  // deletes nothing more.
  void connectEndsDeleteAll()
  {
    listFile(QStringLiteral("0,200"), {{instrument::padFileName("NEXT", "DAT"), "0,200"}});
    m_prompts.questionAnswers << Prompts::Answer::Yes;
    m_form->MenuItem23Click();
    QCOMPARE(m_pty.readFor(15, 2000), QByteArray("6ZERO     .DAT\r"));
    QVERIFY(
        m_pty.writeAll(instrument::toWire(instrument::buildDeletionAnswer("ZERO     .DAT")), 2000));
    QByteArray sent;
    QTRY_VERIFY((sent += m_pty.readAvailable()) == "4");
    QCOMPARE(int(m_form->State.DialogueState), 0);

    // What Connect does: ends the exchange, enables the grid, empties the buffer.
    m_form->Exchange->finish();
    m_form->StringGrid1->setEnabled(true);
    m_form->State.ReceiveBuffer.clear();
    const QString other = instrument::padFileName("OTHER", "DAT");
    QVERIFY(m_pty.writeAll(
        instrument::toWire(instrument::buildListingAnswer({{other, QStringLiteral("0,300")}})),
        2000));
    QTRY_COMPARE(m_form->Grid.cell(1, 0), other);
    QTest::qWait(20);
    QCOMPARE(m_pty.readAvailable(), QByteArray());
    QCOMPARE(int(m_form->State.DialogueState), 2);
    QCOMPARE(m_form->Grid.cell(0, 0), QStringLiteral(" File name"));
    QVERIFY(m_form->StringGrid1->isEnabled());
  }

  // A file opened while a download is awaited ends the download: the silence
  // later puts nothing back over the opened data, says nothing, and a count
  // row of the file sends nothing to the instrument.
  void openingAFileEndsTheDownload()
  {
    listFile(QStringLiteral("0,200"));
    m_form->StringGrid1DblClick();
    QCOMPARE(m_pty.readFor(15, 2000), QByteArray("5ZERO     .DAT\r"));
    QVERIFY(m_form->Exchange->underWay());

    m_form->LoadMeasurementFile(QStringLiteral(RZ37M_FIXTURES "/hand_written.csv"));
    const QStringList loaded = allCells(m_form->Grid);
    QCOMPARE(m_form->Grid.cell(2, 1), QStringLiteral("05,43"));
    m_clock.sleep(FileExchange::SilenceLimitMs);
    QVERIFY(!m_form->Exchange->checkSilence());
    QVERIFY(m_prompts.messages.isEmpty());
    QCOMPARE(allCells(m_form->Grid), loaded);
    QVERIFY(m_form->State.DataLoaded);
    QCOMPARE(m_form->StringGrid1->popupMenu(), m_form->PopupMenu1);
    QVERIFY(m_form->N13->isEnabled());

    m_form->StringGrid1->selectGridRows(2, 2);
    m_form->StringGrid1DblClick();
    QCOMPARE(m_pty.readFor(1, 50), QByteArray());
    QCOMPARE(allCells(m_form->Grid), loaded);
  }

  // The line fails halfway through sending a request (an adapter pulled while
  // the name goes out): the user is told the instrument could not be reached
  // and the file list stays as it was.
  void writeFailsMidRequest()
  {
    listFile(QStringLiteral("0,200"));
    const QStringList before = allCells(m_form->Grid);
    m_form->ComPort1->Close();
    auto* backend = new ScriptedComBackend;
    backend->failWritesAfter(1, EIO);  // the "5" goes, the name does not
    m_form->ComPort1->setBackend(std::unique_ptr<ComPortBackend>(backend));
    m_form->ComPort1->Open();
    m_form->StringGrid1DblClick();
    QCOMPARE(m_pty.readFor(1, 2000), QByteArray("5"));
    QCOMPARE(m_prompts.messages.size(), 1);
    QVERIFY2(m_prompts.messages[0].contains(QStringLiteral("could not be reached")),
             qPrintable(m_prompts.messages[0]));
    QCOMPARE(m_form->StatusBar1->currentMessage(),
             QStringLiteral(" Connection to the instrument lost"));
    QCOMPARE(allCells(m_form->Grid), before);
    QVERIFY(!m_form->State.DataLoaded);
    QVERIFY(!m_form->Exchange->underWay());
    QCOMPARE(m_form->StringGrid1->popupMenu(), m_form->PopupMenu2);
  }

  // A content answer with a count that is no number never reaches the grid.
  void damagedContentKeepsTheList()
  {
    listFile(QStringLiteral("0,200"));
    const QStringList before = allCells(m_form->Grid);
    m_form->StringGrid1DblClick();
    QCOMPARE(m_pty.readFor(15, 2000).size(), 15);
    QVERIFY(m_pty.writeAll(instrument::toWire(instrument::buildContentAnswer(
                               "ZERO     .DAT", {{{"12:30:05", "05.43"}, {"12:30:06", "0x.?3"}}})),
                           2000));
    QTRY_COMPARE(m_prompts.messages.size(), 1);
    QVERIFY2(m_prompts.messages[0].contains(QStringLiteral("count 2")),
             qPrintable(m_prompts.messages[0]));
    QCOMPARE(allCells(m_form->Grid), before);
    QVERIFY(!m_form->State.DataLoaded);
    QCOMPARE(m_form->StringGrid1->popupMenu(), m_form->PopupMenu2);
  }
};

int main(int argc, char** argv)
{
  QApplication app(argc, argv);
  int status = 0;
  {
    TestFileExchangeWindow t;
    status |= QTest::qExec(&t, argc, argv);
  }
  {
    TestCraftedAnswers t;
    status |= QTest::qExec(&t, argc, argv);
  }
  return status;
}

#include "test_file_exchange_window.moc"
