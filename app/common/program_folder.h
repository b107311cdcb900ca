#pragma once
// The folder of the running program, where the settings file, the stress table
// and the Data and Output folders live. Tests point it at a temporary folder.

#include <QString>

namespace ProgramFolder {

QString path();                           // without a trailing slash
QString file(const QString& name);        // a file beside the program (see below)
QString dataFolder();                     // "Data" beside the program, created when missing
QString outputFolder();                   // "Output" beside the program, created when missing
void setOverride(const QString& folder);  // empty: back to the executable's folder

// A system-wide installation keeps the program in a folder its users cannot
// write. Then the files the program writes - Config.ini, Stress_DB.csv, Data
// and Output - live in the user's folder $XDG_DATA_HOME/Norvane/RZ-37m (the
// folder a per-user installation uses), and Config.ini and Stress_DB.csv are
// first copied there from the installed defaults. file() of any other name
// (the manuals) still answers beside the program.
QString userFolder();
QString writableFolder();  // path() when it can be written, else userFolder()

}  // namespace ProgramFolder
