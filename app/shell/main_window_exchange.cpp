// The instrument's file exchange in the main window: the receive handler that
// collects and cuts the answers, the download from the file list, the way back
// to the list, "Delete file" and "Delete all".
//
// Every request remembers how the window looked before it, so that a request
// that fails (no answer, a damaged answer, the instrument unplugged, a write
// refused) gives the user the window back as it was instead of leaving the
// grid disabled or the status frozen.

#include "charts/chart.h"
#include "common/clock.h"
#include "common/prompts.h"
#include "device/com_port.h"
#include "device/device_probe.h"
#include "device/file_exchange.h"
#include "shell/device_dialog.h"
#include "shell/grid_view.h"
#include "shell/main_window.h"
#include "shell/view_rebuild.h"

#include <QMenu>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>

namespace {

using Request = FileExchange::Request;

const QString DeletingStatus = QStringLiteral(" Deleting...");
const QString NoAnswerStatus = QStringLiteral(" The instrument did not answer");
const QString DamagedStatus = QStringLiteral(" The instrument's answer could not be read");
const QString LostStatus = QStringLiteral(" Connection to the instrument lost");
const QString ExchangeCaption = QStringLiteral("Instrument");
const QString ConnectAgain = QStringLiteral("connect again with File > \"Receive data\"");
constexpr int CommandPauseMs = 20;

// Column 0 of the device list's current row: the connected instrument.
QString deviceName(TForm1& f)
{
  if (f.Form3 == nullptr || f.Form3->StringGrid1 == nullptr)
    return QString();
  const QTableWidgetItem* item = f.Form3->StringGrid1->item(f.Form3->StringGrid1->currentRow(), 0);
  return item != nullptr ? item->text() : QString();
}

QString connectedStatus(TForm1& f)
{
  return u' ' + deviceName(f) + QStringLiteral(", connected on ") + f.ComPort1->Port();
}

void send(TForm1& f, const QByteArray& item)
{
  f.ComPort1->WriteString(item);
}

// A command that names a file: the digit, a pause, the name, a carriage return.
void sendFileCommand(TForm1& f, char command, const QString& fileName)
{
  send(f, instrument::commandBytes(command));
  f.clock().sleep(CommandPauseMs);
  send(f, instrument::toWire(fileName));
  send(f, QByteArray(1, instrument::CarriageReturn));
}

void emptyReceiveBuffer(TForm1& f)
{
  f.State.ReceiveBuffer.clear();
  f.Exchange->scanner().reset();
}

// How to give the window back as it is now.
std::function<void()> windowAsItIs(TForm1& f)
{
  QMenu* popup = f.StringGrid1->popupMenu();
  const bool dataLoaded = f.State.DataLoaded;
  const bool rangeSelect = f.Grid.rangeSelect();
  const bool saveEnabled = f.N13->isEnabled();
  const bool gridEnabled = f.StringGrid1->isEnabled();
  const QString status = f.StatusBar1->currentMessage();
  return [&f, popup, dataLoaded, rangeSelect, saveEnabled, gridEnabled, status] {
    f.State.DialogueState = Idle;
    emptyReceiveBuffer(f);
    f.StringGrid1->setPopupMenu(popup);
    f.State.DataLoaded = dataLoaded;
    f.Grid.setRangeSelect(rangeSelect);
    f.N13->setEnabled(saveEnabled);
    f.StringGrid1->setEnabled(gridEnabled);
    f.StatusBar1->showMessage(status);
  };
}

// Ends the exchange under way, gives the window back and says what happened.
void failExchange(TForm1& f, const QString& status, const QString& text)
{
  f.Exchange->abandon();
  f.StatusBar1->showMessage(status);
  f.prompts().message(text, ExchangeCaption, Prompts::Icon::Warning);
}

QString whatWasAsked(TForm1& f, Request request)
{
  switch (request) {
    case Request::Content:
      return QStringLiteral("the download of ") + f.State.LoadingFileName.trimmed();
    case Request::Deletion:
      return QStringLiteral("the deletion");
    default:
      return QStringLiteral("the file list");
  }
}

void failWrite(TForm1& f, const EComPort& error)
{
  failExchange(f, LostStatus,
               error.message() +
                   QStringLiteral("\n\nThe instrument could not be reached. Check "
                                  "its cable, then ") +
                   ConnectAgain + u'.');
}

// Opens the port when it is closed (the device dialog's port watch closes it).
bool openPort(TForm1& f)
{
  try {
    f.ComPort1->Open();
    return true;
  } catch (const EComPort& error) {
    f.prompts().message(portErrorMessage(error), ExchangeCaption, Prompts::Icon::Error);
    return false;
  }
}

void handleListing(TForm1& f)
{
  f.Grid.setRowHidden(1, false);
  f.State.ReceiveBuffer = instrument::cutAnswer(
      f.State.ReceiveBuffer, instrument::ListingHeaderLength, instrument::ListingTrailerLength);
  f.Exchange->scanner().reset();
  const QVector<instrument::FileEntry> files = instrument::listingEntries(f.State.ReceiveBuffer);

  QVector<GridRow> rows(files.isEmpty() ? MeasurementGrid::FileListRows : files.size() + 1);
  rows[0] = f.Grid.rows().value(0);
  for (qsizetype i = 0; i < files.size(); ++i)
    rows[i + 1].cell = {files[i].name, files[i].size};
  f.SetStatisticsLabel(QString());
  // File-list rows are no measurements: saving them would write them as counts.
  f.N13->setEnabled(false);

  const ListingStep step = afterListing(f.State.DialogueState, rows[1].cell[0]);
  f.State.DialogueState = step.state;
  if (step.fileListLook)
    rows[0].cell = {FileNameHeader, SizeHeader};
  f.Grid.replaceRows(rows);
  if (step.fileListLook) {
    f.StringGrid1->setPopupMenu(f.PopupMenu2);
    f.StatusBar1->showMessage(connectedStatus(f));
  }
  if (step.enableGrid)
    f.StringGrid1->setEnabled(true);
  if (step.deleteFirst) {
    sendFileCommand(f, instrument::DeleteCommand, rows[1].cell[0]);
    f.Exchange->next(Request::Deletion);
  } else if (f.State.DialogueState == Idle) {
    f.Exchange->finish();
  }
}

void clearLinearSeries(TForm1& f)
{
  for (int s : {0, 1})
    if (ChartSeries* series = f.Chart1->series(s))
      series->clear();
}

void handleContent(TForm1& f)
{
  f.State.ReceiveBuffer = instrument::cutAnswer(
      f.State.ReceiveBuffer, instrument::ContentHeaderLength, instrument::ContentTrailerLength);
  f.Exchange->scanner().reset();
  QVector<GridRow> rows = instrument::contentRows(f.State.ReceiveBuffer);
  const int damaged = instrument::firstUnreadableCount(rows);
  if (damaged >= 0) {
    failExchange(
        f, DamagedStatus,
        QStringLiteral("The file %1 arrived damaged: count %2 does not hold a number (\"%3\").\n\n"
                       "Nothing was changed. Download the file again; if it fails again, %4.")
            .arg(f.State.LoadingFileName.trimmed())
            .arg(damaged - 1)
            .arg(rows[damaged].cell[1], ConnectAgain));
    return;
  }
  clearLinearSeries(f);
  f.Grid.replaceRows(std::move(rows));
  f.Grid.setRowHidden(1, false);
  f.Exchange->finish();
  f.DataFileName = f.State.LoadingFileName.trimmed();
  const QString status = deviceName(f) + u'\\' + f.State.LoadingFileName +
                         QStringLiteral(" _____  Records count: ") +
                         QString::number(f.Grid.countRecords());
  f.rebuild().enterMeasurementMode(status, false);
}

void handleDeletion(TForm1& f)
{
  emptyReceiveBuffer(f);
  const DeletionStep step = afterDeletion(f.State.DialogueState, f.Grid.RowCount());
  f.State.DialogueState = step.state;
  if (step.enableGrid)
    f.StringGrid1->setEnabled(true);
  if (step.sendListing) {
    send(f, instrument::commandBytes(instrument::DirectoryCommand));
    f.Exchange->next(Request::Listing);
  }
}

// The answer is complete: hand it to its handler. True when one took it.
bool handleAnswer(TForm1& f)
{
  bool handled = false;
  if (f.State.ReceiveBuffer.startsWith(QChar::fromLatin1(instrument::DirectoryCommand))) {
    handleListing(f);
    handled = true;
  }
  if (f.State.ReceiveBuffer.startsWith(QChar::fromLatin1(instrument::ContentCommand))) {
    handleContent(f);
    handled = true;
  }
  if (f.State.ReceiveBuffer.contains(instrument::FileDeleted)) {
    handleDeletion(f);
    handled = true;
  }
  return handled;
}

// The instrument's own words in an answer, when it has any: its printable
// lines without the command digit and the prompt.
QString wordsOf(const QString& answer)
{
  QStringList words;
  for (const QString& line : QString(answer).remove(instrument::Prompt).split(u'\n')) {
    const QString t = line.trimmed();
    const bool printable =
        std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u' ' && c <= u'~'; });
    if (printable && t.size() > 1)
      words << t;
  }
  const QString text = words.join(u' ');
  return text.size() > 80 ? text.left(77) + QStringLiteral("...") : text;
}

void failUnreadable(TForm1& f)
{
  const QString words = wordsOf(f.State.ReceiveBuffer);
  const QString said =
      words.isEmpty() ? QString() : QStringLiteral(" It answered: \"%1\".").arg(words);
  failExchange(f, DamagedStatus,
               QStringLiteral("The instrument's answer to %1 could not be read.%2\n\n"
                              "Nothing was changed. Try again; if it fails again, %3.")
                   .arg(whatWasAsked(f, f.Exchange->pending()), said, ConnectAgain));
}

void requestFile(TForm1& f, int row)
{
  const QString name = f.Grid.cell(row, 0);
  int bytes = 0;
  if (!instrument::sizeInBytes(f.Grid.cell(row, 1), &bytes)) {
    f.prompts().message(QStringLiteral("The size of %1 in the instrument's list (\"%2\") is not a "
                                       "number, so the file was not requested.\n\nTo list the "
                                       "files anew, %3.")
                            .arg(name.trimmed(), f.Grid.cell(row, 1), ConnectAgain),
                        ExchangeCaption, Prompts::Icon::Warning);
    return;
  }
  emptyReceiveBuffer(f);
  if (!openPort(f))
    return;
  f.Exchange->begin(Request::Content, windowAsItIs(f));
  try {
    send(f, instrument::commandBytes(instrument::ContentCommand));
    f.clock().sleep(CommandPauseMs);
    f.State.LoadingFileName = name;
    f.State.ExpectedBytes = bytes;
    send(f, instrument::toWire(name));
    send(f, QByteArray(1, instrument::CarriageReturn));
  } catch (const EComPort& error) {
    failWrite(f, error);
    return;
  }
  f.StatusBar1->showMessage(LoadingStatus);
  f.State.ReceivedBytes = 0;
  f.StringGrid1->setPopupMenu(f.PopupMenu1);
  f.Grid.setRangeSelect(true);
  f.State.DataLoaded = true;
  f.N13->setEnabled(true);
}

void returnToFileList(TForm1& f)
{
  emptyReceiveBuffer(f);
  if (!openPort(f) || f.Form3 == nullptr)
    return;
  f.Form3->ConnectSelected();
  // Connect failed: the measurements stay, as they were.
  if (!f.ComPort1->Connected() && !f.Grid.isFileListHeader())
    return;
  f.rebuild().leaveMeasurementMode();
  if (f.ComPort1->Connected())
    f.Exchange->begin(Request::Listing, windowAsItIs(f));
}

void startDeletion(TForm1& f, unsigned char state, const QString& fileName)
{
  if (!openPort(f))
    return;
  f.Exchange->begin(Request::Deletion, windowAsItIs(f));
  emptyReceiveBuffer(f);
  f.State.DialogueState = state;
  f.StringGrid1->setEnabled(false);
  try {
    sendFileCommand(f, instrument::DeleteCommand, fileName);
  } catch (const EComPort& error) {
    failWrite(f, error);
    return;
  }
  f.StatusBar1->showMessage(DeletingStatus);
}

void instrumentSilent(TForm1& f, Request request)
{
  const QString what =
      f.State.ReceiveBuffer.isEmpty()
          ? QStringLiteral("The instrument did not answer %1: nothing arrived for %2 seconds.")
          : QStringLiteral(
                "The instrument's answer to %1 stopped before it was complete, and "
                "nothing more arrived for %2 seconds.");
  failExchange(f, NoAnswerStatus,
               what.arg(whatWasAsked(f, request)).arg(FileExchange::SilenceLimitMs / 1000) +
                   QStringLiteral("\n\nNothing was changed. Check that the instrument is "
                                  "switched on and its cable is plugged in, then %1.")
                       .arg(ConnectAgain));
}

void instrumentLost(TForm1& f)
{
  const QString port = f.ComPort1->Port();
  const bool underWay = f.Exchange->underWay();
  const Request request = f.Exchange->pending();
  f.ClosePort();
  if (!underWay)
    return;
  failExchange(f, LostStatus,
               QStringLiteral("The connection to the instrument on %1 was lost during %2; the "
                              "port is closed.\n\nEverything shown before is kept. Plug the "
                              "instrument in again, then %3.")
                   .arg(port, whatWasAsked(f, request), ConnectAgain));
}

}  // namespace

void TForm1::EndExchange()
{
  Exchange->finish();
  State.DialogueState = Idle;
  emptyReceiveBuffer(*this);
}

void TForm1::ListingRequested()
{
  emptyReceiveBuffer(*this);
  State.DialogueState = Idle;
  Exchange->begin(Request::Listing, windowAsItIs(*this));
}

void TForm1::ConnectFileExchange()
{
  Exchange = new FileExchange(clock(), this);
  connect(Exchange, &FileExchange::silence, this,
          [this](FileExchange::Request request) { instrumentSilent(*this, request); });
  ComPort1->OnRxChar = [this](TCustomComPort&, int count) { ComPort1RxChar(count); };
  // The adapter was unplugged: the port's event thread has stopped. Closing
  // waits for that thread, so it is done once the hand-over has returned.
  ComPort1->OnError = [this](TCustomComPort&, TComErrors errors) {
    if (errors.has(ceIO))
      QTimer::singleShot(0, this, [this] { instrumentLost(*this); });
  };
}

void TForm1::ComPort1RxChar(int Count)
{
  QByteArray bytes;
  ComPort1->ReadString(bytes, Count);
  if (bytes.isEmpty())
    return;
  Exchange->heard();
  if (Exchange->pending() == Request::Content) {
    State.ReceivedBytes += static_cast<int>(bytes.size());
    StatusBar1->showMessage(loadingStatusText(State.ReceivedBytes, State.ExpectedBytes));
  }
  const qsizetype before = State.ReceiveBuffer.size();
  // The listing that Connect asked for is watched from its first byte on. It
  // is never a step of a "Delete all" that Connect or a failure has ended.
  if (before == 0 && !Exchange->underWay() && !State.DataLoaded) {
    State.DialogueState = Idle;
    Exchange->begin(Request::Listing, windowAsItIs(*this));
  }
  State.ReceiveBuffer += instrument::fromWire(bytes);
  try {
    if (!Exchange->scanner().found(State.ReceiveBuffer, before)) {
      if (Exchange->underWay() && State.ReceiveBuffer.size() > FileExchange::MaxAnswerLength)
        failUnreadable(*this);
      return;
    }
    if (!handleAnswer(*this) && Exchange->underWay())
      failUnreadable(*this);
  } catch (const EComPort& error) {
    failWrite(*this, error);
  }
}

void TForm1::StringGrid1DblClick()
{
  const int row = StringGrid1->currentGridRow();
  const QString name = Grid.cell(row, 0);
  if (name.isEmpty() || Exchange->pending() == Request::Content)
    return;
  if (!State.DataLoaded) {
    requestFile(*this, row);
    return;
  }
  // In measurement mode only the return row does something: a count row of a
  // file opened from disk has no business with the serial port.
  if (row == 1 && name == ReturnText) {
    StringGrid1->setPopupMenu(PopupMenu2);
    returnToFileList(*this);
  }
}

void TForm1::MenuItem21Click()
{
  StringGrid1DblClick();
}

void TForm1::MenuItem22Click()
{
  const QString name = Grid.cell(StringGrid1->currentGridRow(), 0);
  if (name.isEmpty() || State.DataLoaded || Exchange->underWay())
    return;
  startDeletion(*this, Idle, name);
}

void TForm1::MenuItem23Click()
{
  if (State.DataLoaded || Exchange->underWay())
    return;
  const QString first = Grid.cell(1, 0);
  if (first.isEmpty()) {
    StatusBar1->showMessage(QStringLiteral(" No files to delete"));
    return;
  }
  // One click would otherwise erase every stored measurement for good.
  int files = 0;
  for (int r = 1; r < Grid.RowCount() && !Grid.cell(r, 0).isEmpty(); ++r)
    ++files;
  const auto answer = prompts().question(
      QStringLiteral("Delete all"),
      QStringLiteral("Delete all %1 files on the instrument? They cannot be recovered.").arg(files),
      {Prompts::Answer::Yes, Prompts::Answer::No}, Prompts::Answer::No, Prompts::Icon::Warning);
  if (answer != Prompts::Answer::Yes)
    return;
  startDeletion(*this, DeleteAllStep, first);
}
