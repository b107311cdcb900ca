#pragma once
// The commands of rz37m-tool over the same core the application uses. Each
// writes its result to out and, on a file or data error, one line to err.

#include "cli_options.h"

#include <QTextStream>

enum CliExit { CliOk = 0, CliDataError = 1, CliUsageError = 2 };

int runCliCommand(const CliOptions& options, QTextStream& out, QTextStream& err);
