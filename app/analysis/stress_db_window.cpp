#include "analysis/stress_db_window.h"

TForm4::TForm4(QWidget* parent) : QDialog(parent)
{
  setWindowTitle(QStringLiteral("RZ-37m connect stress DB"));
  resize(640, 360);
}
