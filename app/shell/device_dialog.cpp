#include "shell/device_dialog.h"

#include "common/prompts.h"
#include "device/com_port.h"
#include "device/device_probe.h"
#include "device/file_exchange.h"
#include "device/instrument_protocol.h"
#include "device/port_enumeration.h"
#include "shell/grid_view.h"
#include "shell/main_window.h"
#include "shell/panel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int RowHeight = 16;
constexpr int FrameWidth = 12;
constexpr int PanelHeight = 160;
constexpr int WatchIntervalMs = 1000;
constexpr int BarWidth = 3;
const QString ConnectCaption = QStringLiteral("Connect");
const QString DisconnectCaption = QStringLiteral("Disconnect");

// The default cell, and a green bar at the left edge of the connected
// instrument's row.
class DeviceListDelegate : public QStyledItemDelegate {
 public:
  DeviceListDelegate(const AppState& state, QTableWidget* list)
      : QStyledItemDelegate(list), m_state(state), m_list(list)
  {
  }
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override
  {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != 0)
      return;
    const QTableWidgetItem* port = m_list->item(index.row(), 1);
    if (port == nullptr || port->text() != m_state.SelectedPort)
      return;
    painter->fillRect(QRect(option.rect.left(), option.rect.top(), BarWidth, RowHeight),
                      QColor(0, 255, 0));
  }

 private:
  const AppState& m_state;
  QTableWidget* m_list;
};

}  // namespace

TForm3::TForm3(TForm1* form)
    : QDialog(form, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      m_form(*form),
      m_ports(std::make_unique<SystemPortEnumeration>())
{
  setWindowTitle(QStringLiteral("Connect to device"));
  setModal(false);
  setFixedSize(ClientWidth, ClientHeight);
  createControls();
}

TForm3::~TForm3() = default;

void TForm3::createControls()
{
  Button1 = new QPushButton(ConnectCaption, this);
  Button1->setGeometry(32, 8, 73, 21);
  Button2 = new QPushButton(QStringLiteral("Synchronize clock"), this);
  Button2->setGeometry(112, 8, 113, 21);
  Button3 = new QPushButton(QStringLiteral("Refresh list"), this);
  Button3->setGeometry(232, 8, 73, 21);
  for (QPushButton* b : {Button1, Button2, Button3})
    b->setAutoDefault(false);

  Panel1 = new TPanel(this);
  Panel1->setGeometry(0, ClientHeight - PanelHeight, ClientWidth, PanelHeight);
  Panel1->setColor(0xC0C0C0);

  StringGrid1 = new QTableWidget(InitialRows, 3, Panel1);
  DeviceList = StringGrid1;
  StringGrid1->setGeometry(FrameWidth, FrameWidth, ClientWidth - 2 * FrameWidth,
                           PanelHeight - 2 * FrameWidth);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  StringGrid1->verticalHeader()->setDefaultSectionSize(RowHeight);
  StringGrid1->horizontalHeader()->setFixedHeight(RowHeight + 1);
  StringGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  StringGrid1->setWordWrap(false);
  StringGrid1->setItemDelegate(new DeviceListDelegate(m_form.State, StringGrid1));
  StringGrid1->installEventFilter(this);
  // The table's first data row is the list's row 1.
  StringGrid1->setCurrentCell(0, 0);

  fitToFont();

  Timer1 = new QTimer(this);
  Timer1->setInterval(WatchIntervalMs);

  connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
  connect(Timer1, &QTimer::timeout, this, &TForm3::Timer1Timer);
  connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, [this] { StringGrid1DblClick(); });
  connect(StringGrid1, &QTableWidget::currentCellChanged, this,
          [this](int row) { StringGrid1SelectCell(row + 1); });
}

void TForm3::fitToFont()
{
  // The list's columns were laid out for a small system font; with today's
  // fonts the serial number, a device path and the seconds would be cut off.
  // Each column is made wide enough for its longest usual text, never
  // narrower than the original, and the window grows to match.
  const QFontMetrics fm(StringGrid1->font());
  const int pad = 2 * fm.horizontalAdvance(QLatin1Char(' ')) + 8;
  const int widths[3] = {
      std::max(110, fm.horizontalAdvance(QStringLiteral(" RZ-37m  SN00000")) + pad),
      std::max(51, fm.horizontalAdvance(QStringLiteral("/dev/ttyUSB00")) + pad),
      std::max({128, fm.horizontalAdvance(QStringLiteral("00.00.0000  00:00:00")) + pad,
                fm.horizontalAdvance(CloseOtherProgramText) + pad})};
  int listWidth =
      2 * StringGrid1->frameWidth() + StringGrid1->verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < 3; ++c) {
    StringGrid1->setColumnWidth(c, widths[c]);
    listWidth += widths[c];
  }
  const int width = std::max(ClientWidth, listWidth + 2 * FrameWidth);
  setFixedSize(width, ClientHeight);
  Panel1->setGeometry(0, ClientHeight - PanelHeight, width, PanelHeight);
  StringGrid1->setGeometry(FrameWidth, FrameWidth, width - 2 * FrameWidth,
                           PanelHeight - 2 * FrameWidth);
  const int shift = (width - ClientWidth) / 2;
  Button1->move(32 + shift, 8);
  Button2->move(112 + shift, 8);
  Button3->move(232 + shift, 8);
}

void TForm3::setListHeaders(const QString& name, const QString& port, const QString& clock)
{
  StringGrid1->setHorizontalHeaderLabels({name, port, clock});
}

void TForm3::setPortEnumeration(std::unique_ptr<PortEnumeration> ports)
{
  m_ports = std::move(ports);
}

void TForm3::showAtMainWindowCentre()
{
  const QRect main = m_form.frameGeometry();
  move(main.center() - QPoint(width() / 2, height() / 2));
  show();
}

// List rows count from 1 (row 0 is the header); the table's rows from 0.
QString TForm3::cellText(int row, int col) const
{
  const QTableWidgetItem* item = StringGrid1->item(row - 1, col);
  return item != nullptr ? item->text() : QString();
}

void TForm3::setCellText(int row, int col, const QString& text, const QString& tip)
{
  QTableWidgetItem* item = StringGrid1->item(row - 1, col);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    StringGrid1->setItem(row - 1, col, item);
  }
  item->setText(text);
  item->setToolTip(tip);
}

int TForm3::RefreshDeviceList(int known)
{
  const SerialPortScan scan = m_ports->scan();
  const int n = scan.serialPortCount;
  if (n != known)
    probeAll(scan.candidates);
  StringGrid1SelectCell(StringGrid1->currentRow() + 1);
  return n;
}

void TForm3::probeAll(const QStringList& candidates)
{
  m_busy = true;
  bool clockSettingAllowed = true;
  // Renaming an open port would reopen it, and a refusal there would end the
  // whole refresh; every port is opened by its own probe instead.
  m_form.ClosePort();
  DeviceProbe probe(*m_form.ComPort1, m_form.clock());
  int found = 0;
  for (const QString& name : candidates) {
    ++found;
    StringGrid1->setRowCount(found);
    const PortProbeResult r = probe.probe(name);
    const QString tip =
        r.accessDenied ? accessAdvice(name) : (r.inUse ? inUseAdvice(name) : QString());
    if (r.device)
      setCellText(found, 0, *r.device, tip);
    if (r.port)
      setCellText(found, 1, *r.port, tip.isEmpty() ? name : tip);
    if (r.clock)
      setCellText(found, 2, *r.clock, tip);
    if (r.clock == NoAnswerText)
      clockSettingAllowed = false;
  }
  if (found == 0) {
    clockSettingAllowed = false;
    StringGrid1->setRowCount(1);
    setCellText(1, 0, NoDeviceFoundText);
    setCellText(1, 1, QString());
    setCellText(1, 2, QString());
  }
  Button2->setEnabled(clockSettingAllowed);
  m_busy = false;
}

void TForm3::StringGrid1SelectCell(int row)
{
  // A port another program holds cannot be connected until it is let go.
  if (cellText(row, 2) == NoAnswerText || cellText(row, 0) == NoDeviceFoundText ||
      cellText(row, 0) == PortInUseText || cellText(row, 1).isEmpty()) {
    // The caption of a row selected before must not stay: "Disconnect" on a
    // row that cannot be connected would disconnect the instrument in use.
    Button1->setEnabled(false);
    Button1->setText(ConnectCaption);
    return;
  }
  Button1->setEnabled(true);
  Button1->setText(cellText(row, 1) == m_form.State.SelectedPort ? DisconnectCaption
                                                                 : ConnectCaption);
}

void TForm3::Timer1Timer()
{
  if (m_busy)
    return;
  const int row = StringGrid1->currentRow();
  m_form.State.SerialValueCount =
      static_cast<unsigned char>(RefreshDeviceList(m_form.State.SerialValueCount));
  if (row >= 0 && row < StringGrid1->rowCount())
    StringGrid1->setCurrentCell(row, 0);
}

void TForm3::Button3Click()
{
  if (m_busy)
    return;
  m_form.State.SerialValueCount = static_cast<unsigned char>(RefreshDeviceList(0));
  reopenSelectedPort();
}

void TForm3::reopenSelectedPort()
{
  if (m_form.State.SelectedPort == NoPortSelected)
    return;
  try {
    m_form.ComPort1->setPort(m_form.State.SelectedPort);
    m_form.ComPort1->Open();
  } catch (const EComPort& error) {
    showPortError(portErrorMessage(error));
  }
}

void TForm3::showPortError(const QString& message)
{
  m_form.prompts().message(message, QStringLiteral("Connect to device"), Prompts::Icon::Error);
}

void TForm3::FormClose()
{
  if (m_form.State.SelectedPort != NoPortSelected) {
    try {
      m_form.ComPort1->setPort(m_form.State.SelectedPort);
    } catch (const EComPort& error) {
      showPortError(portErrorMessage(error));
    }
  }
  Timer1->stop();
}

void TForm3::done(int result)
{
  FormClose();
  QDialog::done(result);
}

void TForm3::StringGrid1DblClick()
{
  if (Button1->isEnabled())
    Button1Click();
}

void TForm3::StringGrid1KeyPress(QChar key)
{
  if (key == QChar(13))
    StringGrid1DblClick();
}

bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == StringGrid1 && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      StringGrid1KeyPress(QChar(13));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TForm3::Button1Click()
{
  if (m_busy)
    return;
  if (Button1->text() == DisconnectCaption)
    disconnectInstrument();
  else
    ConnectSelected();
}

void TForm3::endExchange()
{
  // The user has left whatever the instrument was still answering; its
  // silence later is no failure to report, and the grid is not put back.
  if (m_form.Exchange != nullptr)
    m_form.EndExchange();
}

void TForm3::ConnectSelected()
{
  // A row without a port, or one another program holds, names nothing to
  // connect to: the connected instrument stays as it is.
  const int row = StringGrid1->currentRow() + 1;
  if (cellText(row, 1).isEmpty() || cellText(row, 0) == PortInUseText)
    return;
  endExchange();
  m_form.ClearViews();
  m_form.StatusBar1->clearMessage();
  m_form.ClosePort();
  m_form.State.SelectedPort = cellText(row, 1);
  try {
    m_form.ComPort1->setPort(m_form.State.SelectedPort);
    m_form.ComPort1->Open();
    m_form.ComPort1->WriteString(instrument::commandBytes(instrument::DirectoryCommand));
  } catch (const EComPort& error) {
    StringGrid1->viewport()->update();
    showPortError(portErrorMessage(error));
    return;
  }
  m_form.State.DataLoaded = false;
  m_form.StringGrid1->setEnabled(true);
  close();
  // The directory's answer is handled after this returns, into an empty
  // buffer, and an instrument that never answers is reported.
  m_form.ListingRequested();
  StringGrid1->viewport()->update();
}

void TForm3::disconnectInstrument()
{
  endExchange();
  m_form.ClosePort();
  m_form.ClearViews();
  m_form.State.SelectedPort = NoPortSelected;
  m_form.State.DataLoaded = false;
  m_form.StatusBar1->clearMessage();
  m_form.StringGrid1->setEnabled(false);
  m_form.Grid.resetToFileList();
  m_form.State.ReceiveBuffer.clear();
  StringGrid1->viewport()->update();
}

void TForm3::Button2Click()
{
  if (m_busy)
    return;
  endExchange();
  m_form.ClearViews();
  m_form.StatusBar1->clearMessage();
  m_form.StringGrid1->setEnabled(false);

  QString closeFailure;
  try {
    if (m_form.ComPort1->Connected())
      m_form.ComPort1->Close();
  } catch (const EComPort& error) {
    closeFailure = error.message();
  }
  m_busy = true;
  DeviceProbe probe(*m_form.ComPort1, m_form.clock());
  for (int row = 1; row <= StringGrid1->rowCount(); ++row) {
    const QString port = cellText(row, 1);
    // An instrument that cannot be set shows its clock as it reads after the refresh.
    if (!port.isEmpty())
      probe.setClock(port);
  }
  m_busy = false;
  Button3Click();
  if (!closeFailure.isEmpty())
    showPortError(closeFailure);
}
