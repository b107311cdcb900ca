#pragma once
// The cross-subsystem sequences of the main window, each in its one fixed order:
// entering measurement mode after a load, and rebuilding the views after a Math
// option, a stress item or an edit. Handlers call these; they never repeat the
// order themselves.

#include <QString>

class TForm1;

class ViewRebuild {
 public:
  explicit ViewRebuild(TForm1& form) : m_form(form) {}

  // After a loader has filled the grid: statistics, charts, map, navigator.
  void enterMeasurementMode(const QString& statusText, bool fromFile);

  // After "Remove the trend" was toggled with data loaded.
  void afterTrendOption();

  // After "Convert to stress (MPa)" was toggled or a stress item applied.
  void afterStressOption();

  // After a stress item was applied in the stress database window (or took the
  // place of a removed one): the views, and in stress mode the statistics label
  // of the range on display, now in the new item's MPa.
  void afterStressItem();

  // After counts were inserted or deleted: from the linear chart on.
  void afterEdit();

  // Leaving measurement mode for the instrument's file list.
  void leaveMeasurementMode();

  // The main window is closing: store what must survive.
  void formClosing();

 private:
  void recordOrCircular();
  TForm1& m_form;
};
