#pragma once
// rz37m-tool edit: inserts separators into and deletes counts from a measurement
// file with the window's own editing commands, prints the grid and saves it.

#include <QStringList>
#include <QTextStream>

// Whether the arguments (after the program name) ask for `edit`.
bool isCliEditCommand(const QStringList& args);

// Runs `edit` with the arguments after the command name. Exit status as the
// other commands: 0 done, 1 a file or data error, 2 a usage error.
int runCliEdit(const QStringList& args, QTextStream& out, QTextStream& err);

QString cliEditUsage();
