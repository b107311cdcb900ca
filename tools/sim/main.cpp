// rz37m-sim: an RZ-37m or RZ-48 instrument on a pseudo-terminal, for tests,
// demonstrations and training without hardware.
//
//   rz37m-sim [--model RZ-37m|RZ-48] [--serial NNNNN] [--files DIR] [--link PATH]
//             [--pace] [--fault no-clock|drop|no-prompt|garbage]... [--any-line] [--quiet]
//
// The first line of the output is the terminal's path; the log of commands
// goes to the error output. SIGINT or SIGTERM ends it and removes the link.

#include "common/clock.h"
#include "sim_files.h"
#include "sim_instrument.h"
#include "sim_terminal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>

namespace {

struct Faults {
  const char* name;
  SimFault fault;
};
constexpr Faults FaultNames[] = {
    {"no-clock", SimFault::NoClock},
    {"drop", SimFault::Drop},
    {"no-prompt", SimFault::NoPrompt},
    {"garbage", SimFault::Garbage},
};

// Reads the options into settings; false with a message on a bad one.
bool readOptions(const QCommandLineParser& parser, SimSettings* settings, QString* error)
{
  if (parser.isSet(QStringLiteral("model"))) {
    settings->model = parser.value(QStringLiteral("model"));
    if (settings->model != QLatin1String("RZ-37m") && settings->model != QLatin1String("RZ-48")) {
      *error = QStringLiteral("--model must be RZ-37m or RZ-48, not \"%1\"").arg(settings->model);
      return false;
    }
  }
  if (parser.isSet(QStringLiteral("serial"))) {
    settings->serial = parser.value(QStringLiteral("serial"));
    if (!QRegularExpression(QStringLiteral("^[0-9]{5}$")).match(settings->serial).hasMatch()) {
      *error =
          QStringLiteral("--serial must be 5 digits, as 00417, not \"%1\"").arg(settings->serial);
      return false;
    }
  }
  for (const QString& kind : parser.values(QStringLiteral("fault"))) {
    bool known = false;
    for (const Faults& f : FaultNames) {
      if (kind == QLatin1String(f.name)) {
        settings->faults.append(f.fault);
        known = true;
      }
    }
    if (!known) {
      *error = QStringLiteral("--fault must be no-clock, drop, no-prompt or garbage, not \"%1\"")
                   .arg(kind);
      return false;
    }
  }
  return true;
}

SimFileSet loadFiles(const QCommandLineParser& parser, QTextStream& log)
{
  if (!parser.isSet(QStringLiteral("files")))
    return demoFiles();
  QStringList problems;
  SimFileSet files = folderFiles(parser.value(QStringLiteral("files")), &problems);
  for (const QString& p : problems)
    log << p << Qt::endl;
  if (files.files().isEmpty())
    log << "the instrument holds no files" << Qt::endl;
  return files;
}

}  // namespace

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("rz37m-sim"));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Plays an RZ-37m or RZ-48 instrument on a pseudo-terminal. The first line printed is the "
      "terminal's path; open it as a serial port at 115200 baud, 8N1."));
  parser.addHelpOption();
  parser.addOptions({
      {QStringLiteral("model"), QStringLiteral("RZ-37m (default) or RZ-48."),
       QStringLiteral("model")},
      {QStringLiteral("serial"), QStringLiteral("5-digit serial number (default 00417)."),
       QStringLiteral("NNNNN")},
      {QStringLiteral("files"),
       QStringLiteral("Folder of measurement .csv files to hold instead of the demo set; "
                      "deleting only removes them from the simulator."),
       QStringLiteral("DIR")},
      {QStringLiteral("link"),
       QStringLiteral("Also reach the terminal through a symbolic link at PATH."),
       QStringLiteral("PATH")},
      {QStringLiteral("pace"), QStringLiteral("Answer at 115 200 baud in USB adapter packets.")},
      {QStringLiteral("fault"),
       QStringLiteral("no-clock, drop (link lost halfway through a download), "
                      "no-prompt or garbage; may be repeated."),
       QStringLiteral("KIND")},
      {QStringLiteral("any-line"),
       QStringLiteral("Answer whatever speed and framing the port is set to.")},
      {QStringLiteral("quiet"), QStringLiteral("Do not log the commands.")},
  });
  parser.process(app);

  QTextStream log(stderr);
  SimSettings settings;
  QString error;
  if (!readOptions(parser, &settings, &error)) {
    log << error << Qt::endl;
    return 2;
  }
  SimTerminal terminal;
  if (!installStopSignals(&error) || !terminal.open(&error)) {
    log << error << Qt::endl;
    return 1;
  }
  if (parser.isSet(QStringLiteral("link")) &&
      !terminal.makeLink(parser.value(QStringLiteral("link")), &error)) {
    log << error << Qt::endl;
    return 1;
  }
  std::printf("%s\n", terminal.path().toLocal8Bit().constData());
  std::fflush(stdout);

  SystemClock clock;
  SimInstrument instrument(settings, loadFiles(parser, log), clock);
  SimLineOptions options;
  options.pace = parser.isSet(QStringLiteral("pace"));
  options.anyLine = parser.isSet(QStringLiteral("any-line"));
  options.quiet = parser.isSet(QStringLiteral("quiet"));
  log << settings.model << " #" << settings.serial << " ready on " << terminal.path() << Qt::endl;
  return terminal.run(instrument, options, log);
}
