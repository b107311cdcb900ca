// rz37m-manuals: turns a manual's Markdown source into the PDF shipped beside
// the program. It runs at build time, so it needs no display.
//
//   rz37m-manuals SOURCE.md OUTPUT.pdf

#include "manual_pdf.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
  // Fonts are all it needs of the window system; never a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: rz37m-manuals SOURCE.md OUTPUT.pdf\n");
    return 2;
  }
  QString error;
  if (!writeManualPdf(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), &error)) {
    std::fprintf(stderr, "rz37m-manuals: %s\n", qPrintable(error));
    return 1;
  }
  return 0;
}
