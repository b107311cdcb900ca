#pragma once
// The device dialog "Connect to device": the instruments found on the serial
// ports, each with its model, serial number, port and clock; connecting to one
// of them, disconnecting, and setting the clocks of all of them. While it is
// open it watches the serial ports once a second and probes again when a port
// comes or goes.

#include <QDialog>

#include <memory>

class PortEnumeration;
class QPushButton;
class QTableWidget;
class QTimer;
class TForm1;
class TPanel;

class TForm3 : public QDialog {
  Q_OBJECT
 public:
  static constexpr int ClientWidth = 337;
  static constexpr int ClientHeight = 198;
  static constexpr int InitialRows = 36;

  explicit TForm3(TForm1* form);
  ~TForm3() override;

  // The header row of the instrument list.
  void setListHeaders(const QString& name, const QString& port, const QString& clock);
  // Where the candidate ports come from (the computer's own by default).
  void setPortEnumeration(std::unique_ptr<PortEnumeration> ports);

  // Shows the dialog, without blocking, at the centre of the main window.
  void showAtMainWindowCentre();

  // Probes every candidate port when the number of serial ports differs from
  // `known`; returns that number.
  int RefreshDeviceList(int known);

  // Connect or Disconnect, as the caption says.
  void Button1Click();
  // Connect to the instrument of the selected row: what the main window's
  // "Return" row runs, whatever the caption shows (the connected row reads
  // "Disconnect", and the way back to the file list must not disconnect).
  void ConnectSelected();
  void Button2Click();  // "Synchronize clock"
  void Button3Click();  // "Refresh list"
  void Timer1Timer();
  void FormClose();
  // Every way the dialog closes (Connect, the title bar, Esc) ends here.
  void done(int result) override;
  void StringGrid1DblClick();
  void StringGrid1KeyPress(QChar key);
  void StringGrid1SelectCell(int row);

  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  TPanel* Panel1 = nullptr;
  QTableWidget* StringGrid1 = nullptr;
  QTableWidget* DeviceList = nullptr;  // the same list, for the main window's repaint
  QTimer* Timer1 = nullptr;

  // Whether a probe or a clock setting is under way (its pauses keep the
  // window painting, and the handlers wait their turn).
  bool busy() const { return m_busy; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createControls();
  void fitToFont();
  QString cellText(int row, int col) const;
  void setCellText(int row, int col, const QString& text, const QString& tip = {});
  void probeAll(const QStringList& candidates);
  void endExchange();
  void disconnectInstrument();
  void reopenSelectedPort();
  void showPortError(const QString& message);

  TForm1& m_form;
  std::unique_ptr<PortEnumeration> m_ports;
  bool m_busy = false;
};
