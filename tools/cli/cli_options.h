#pragma once
// The command line of rz37m-tool.

#include <QString>
#include <QStringList>

#include <optional>

struct CliOptions {
  enum class Command { Help, Stats, Linear, Record, Circular, Map };
  Command command = Command::Help;
  QString file;
  int record = 0;            // record: the record number K
  bool removeTrend = false;  // linear, circular, map: --trend
  int mapLines = 0;          // map: R of --grid RxC
  int mapColumns = 0;        // map: C of --grid RxC
  bool transpose = false;    // map: --transpose
  int stressRow = 0;         // --stress ROW; 0 when not given
  QString stressDb;          // --db PATH; empty: Stress_DB.csv beside the tool
};

// Reads the arguments after the program name. On a usage error nothing is
// returned and *error says what is wrong.
std::optional<CliOptions> parseCliOptions(const QStringList& args, QString* error);

QString cliUsage();
