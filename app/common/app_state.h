#pragma once
// The main window's shared state: what the other modules read and write
// besides the controls. Everything here lives on the user-interface thread.

#include <QString>

inline const QString NoPortSelected = QStringLiteral("No port selected");

struct AppState {
  bool DataLoaded = false;
  int RecordsCount = 0;
  double RangeMin = 0.0;
  double RangeMax = 0.0;
  double RangeMean = 0.0;
  double CurrentMean = 0.0;
  int ShownRowCount = 0;
  unsigned char DialogueState = 2;
  QString SelectedPort = NoPortSelected;
  unsigned char SerialValueCount = 0;
  QString ReceiveBuffer;
  QString LoadingFileName;
  int ExpectedBytes = 0;
  int ReceivedBytes = 0;
};
