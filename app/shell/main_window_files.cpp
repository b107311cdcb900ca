// File > "Open file" and "Save..." of the main window.

#include "charts/chart.h"
#include "common/clock.h"
#include "common/formats.h"
#include "common/program_folder.h"
#include "common/prompts.h"
#include "data/measurement_file.h"
#include "shell/device_dialog.h"
#include "shell/grid_view.h"
#include "shell/main_window.h"
#include "shell/view_rebuild.h"

#include <QFileInfo>
#include <QMenu>
#include <QTableWidget>

#include <algorithm>
#include <climits>

namespace {

using Answer = Prompts::Answer;

QString folderOr(const QString& folder)
{
  return folder.isEmpty() ? ProgramFolder::dataFolder() : folder;
}

// The file chosen in the save dialog, with ".csv" added where it is missing,
// and how to write it: new, appended to or replacing an existing file.
struct SaveTarget {
  QString path;
  MeasurementWriteMode mode = MeasurementWriteMode::Create;
};

std::optional<SaveTarget> askSaveTarget(Prompts& prompts, QString folder, QString proposed)
{
  for (;;) {
    const auto chosen = prompts.saveFile({QStringLiteral("Save..."), folder, proposed, CsvFilter});
    if (!chosen)
      return std::nullopt;
    const QString path = withCsvExtension(*chosen);
    if (!QFileInfo::exists(path))
      return SaveTarget{path, MeasurementWriteMode::Create};
    const QString name = QFileInfo(path).fileName();
    const Answer a = prompts.question(SavingCaption, appendQuestionText(name),
                                      {Answer::Yes, Answer::No, Answer::Retry}, Answer::Yes,
                                      Prompts::Icon::Warning, SavingQuestionHeight);
    switch (a) {
      case Answer::Yes:
        return SaveTarget{path, MeasurementWriteMode::Append};
      case Answer::No:
        return SaveTarget{path, MeasurementWriteMode::Rewrite};
      case Answer::Retry:
        folder = QFileInfo(path).absolutePath();
        proposed = name;
        continue;
      default:
        prompts.message(notSavedText(name), SavingCaption, Prompts::Icon::Information);
        return std::nullopt;
    }
  }
}

}  // namespace

void TForm1::N12Click()
{
  OpenDialog1InitialDir = ProgramFolder::dataFolder();
  if (!State.DataLoaded)
    N13->setEnabled(false);
  const auto path = prompts().openFile(
      {QStringLiteral("Open file"), OpenDialog1InitialDir, QString(), CsvFilter});
  if (!path || !QFileInfo::exists(*path))
    return;
  LoadMeasurementFile(*path);
}

void TForm1::LoadMeasurementFile(const QString& path)
{
  // The whole file is read aside first: a file that cannot be read or holds a
  // bad line leaves the grid, the mode and the instrument link as they were.
  MeasurementFileError error;
  auto rows = readMeasurementFile(path, &error);
  if (!rows) {
    prompts().message(error.message(), QStringLiteral("Open file"), Prompts::Icon::Error);
    return;
  }

  // The opened data replace whatever an instrument was still answering.
  EndExchange();
  State.SelectedPort = NoPortSelected;
  ClosePort();
  if (Form3 && Form3->DeviceList)
    Form3->DeviceList->viewport()->update();

  StringGrid1->setEnabled(true);
  Grid.replaceRows(std::move(*rows));
  DataFileName = QFileInfo(path).fileName();
  const QString status = QFileInfo(path).fileName() + QStringLiteral("    Records count: ") +
                         QString::number(Grid.countRecords());
  rebuild().enterMeasurementMode(status, true);
}

void TForm1::N131Click()
{
  if (!State.DataLoaded)
    return;
  SaveMeasurementRows(2, Grid.RowCount() - 1);
}

void TForm1::N132Click()
{
  if (!State.DataLoaded)
    return;
  if (N21->isChecked() || N22->isChecked()) {
    // The count number shown at x is that of grid row x + 1.
    auto row = [](double x) { return std::clamp(fmt::nearestInt(x), -1, INT_MAX - 1) + 1; };
    SaveMeasurementRows(row(Chart1->bottomAxis().minimum()), row(Chart1->bottomAxis().maximum()));
  } else {
    SaveMeasurementRows(2, Grid.RowCount() - 1);
  }
}

void TForm1::SaveMeasurementRows(int firstRow, int lastRow)
{
  const auto target = askSaveTarget(prompts(), folderOr(SaveDialog1InitialDir),
                                    proposedMeasurementFileName(clock().now().date()));
  if (!target)
    return;
  MeasurementFileError error;
  if (!writeMeasurementFile(target->path, measurementLines(Grid, firstRow, lastRow), target->mode,
                            &error))
    prompts().message(error.message(), SavingCaption, Prompts::Icon::Error);
}
