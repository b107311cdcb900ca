#pragma once
// The folder of the running program, where the settings file, the stress table
// and the Data and Output folders live. Tests point it at a temporary folder.

#include <QString>

namespace ProgramFolder {

QString path();                           // without a trailing slash
QString file(const QString& name);        // a file beside the program
QString dataFolder();                     // "Data" beside the program, created when missing
QString outputFolder();                   // "Output" beside the program, created when missing
void setOverride(const QString& folder);  // empty: back to the executable's folder

}  // namespace ProgramFolder
