// The main window's side of the device link: opening the device dialog and
// clearing the views before an exchange with an instrument.

#include "charts/chart.h"
#include "common/prompts.h"
#include "device/com_port.h"
#include "device/device_probe.h"
#include "shell/device_dialog.h"
#include "shell/main_window.h"
#include "shell/panel.h"

#include <QMenu>
#include <QScrollBar>
#include <QTimer>

void TForm1::N11Click()
{
  Form3->showAtMainWindowCentre();
  State.SerialValueCount = static_cast<unsigned char>(Form3->RefreshDeviceList(0));
  if (State.SelectedPort != NoPortSelected) {
    // The probe left the port closed and named after the last port it asked.
    try {
      ComPort1->setPort(State.SelectedPort);
      ComPort1->Open();
    } catch (const EComPort& error) {
      prompts().message(portErrorMessage(error), QStringLiteral("Connect to device"),
                        Prompts::Icon::Error);
    }
  }
  N13->setEnabled(false);
  Form3->Timer1->start();
}

void TForm1::ClearViews()
{
  ScrollBar7->setEnabled(false);
  ScrollBar7->setMaximum(1);
  // The record shown goes with the records: never "Record 4 of 1".
  ScrollBar7->setValue(1);
  Panel22->setCaption(QStringLiteral("1"));
  Panel21->setCaption(QStringLiteral(" Record                    of 1"));
  Panel23->setCaption(QStringLiteral("Range [0000..0000]  L=0000"));

  Chart1->undoZoom();
  for (int i = 0; i <= 3; ++i)
    LinearSeries(i)->clear();
  Chart2->undoZoom();
  CircularSeries(0)->clear();
  CircularSeries(1)->clear();
  // One point far outside the axis keeps the empty circular chart drawn.
  CircularSeries(0)->add(0, 999);

  Chart1->leftAxis().setRange(0, 20);
  Chart2->leftAxis().setRange(0, 20);
  Chart1->bottomAxis().setRange(0, 100);
}
