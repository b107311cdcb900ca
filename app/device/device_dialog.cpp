#include "device/device_dialog.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
  setWindowTitle(QStringLiteral("Connect to device"));
  auto* layout = new QVBoxLayout(this);
  DeviceList = new QTableWidget(0, 3, this);
  DeviceList->verticalHeader()->hide();
  DeviceList->setSelectionBehavior(QAbstractItemView::SelectRows);
  DeviceList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  layout->addWidget(DeviceList);
  resize(420, 200);
}

void TForm3::setListHeaders(const QString& name, const QString& port, const QString& clock)
{
  DeviceList->setHorizontalHeaderLabels({name, port, clock});
}
