#pragma once
// The stress database window: the table of steel grades and their conversion laws.

#include <QDialog>

class TForm4 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm4(QWidget* parent = nullptr);
};
