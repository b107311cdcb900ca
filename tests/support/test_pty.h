#pragma once
// A fresh pseudo-terminal for a test, or the test program stops saying why.

#include "serial_pty.h"

#include <memory>

inline std::unique_ptr<PseudoTerminal> newTerminal()
{
  auto pty = std::make_unique<PseudoTerminal>();
  QString error;
  if (!pty->open(&error))
    qFatal("%s", qPrintable(error));
  return pty;
}
