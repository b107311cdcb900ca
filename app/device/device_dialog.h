#pragma once
// The device dialog: the instruments found on the serial ports.

#include <QDialog>

class QTableWidget;

class TForm3 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm3(QWidget* parent = nullptr);

  // The header row of the instrument list.
  void setListHeaders(const QString& name, const QString& port, const QString& clock);

  QTableWidget* DeviceList = nullptr;
};
