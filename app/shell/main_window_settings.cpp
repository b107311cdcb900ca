// The settings file Config.ini beside the program: applied once at start-up by
// the clicks a user would make, so that every side effect of a command happens
// as it would by hand, and written whole when the main window closes.

#include "common/profile_settings.h"
#include "common/program_folder.h"
#include "common/prompts.h"
#include "shell/main_window.h"
#include "shell/panel.h"
#include "shell/stress_db_window.h"

#include <QAction>
#include <QActionGroup>
#include <QStatusBar>

namespace {

// A check item whose stored state differs from the one it starts with gets
// the user's click.
void clickTo(QAction* item, bool on)
{
  if (item->isChecked() != on)
    item->trigger();
}

QList<QAction*> viewItems(const TForm1& f)
{
  return {f.N21, f.N22, f.N23, f.N24, f.N25, f.N26, f.N27, f.N28};
}

}  // namespace

void TForm1::ApplySettingsFile()
{
  const QString path = ProgramFolder::file(SettingsFileName);
  QString reason;
  const Profile profile = Profile::read(path, &reason);
  if (!reason.isEmpty())
    StatusBar1->showMessage(QStringLiteral("The settings file %1 could not be read (%2); the "
                                           "default settings are used.")
                                .arg(path, reason));
  Settings = ReadProfileSettings(profile, ProgramFolder::dataFolder());
  const ProfileSettings& s = Settings;

  ApplyGraphColor(s.General);
  ApplyAverageColor(s.PolarMean);
  clickTo(N31, s.Points);
  clickTo(N32, s.Mean);
  clickTo(Converttostress1, s.CvtToStress);
  if (Form4)
    Form4->ApplyStoredItem(s.StressDBItem);
  clickTo(N33, s.Approximate);
  clickTo(N34, s.Transpose);
  clickTo(N35, s.Pages);
  clickTo(N3D1, s.Grid3D);
  clickTo(N8, s.Smooth3D);
  clickTo(G1, s.Transparent3D);
  OpenDialog1InitialDir = s.DB;
  SaveDialog1InitialDir = s.DB;
  if (s.Full)
    showMaximized();
  // Any other number leaves "Linear chart" checked.
  if (s.Page >= 1 && s.Page <= 8)
    viewItems(*this)[s.Page - 1]->trigger();
}

bool TForm1::StoreSettingsFile()
{
  ProfileSettings s = Settings;
  s.General = Panel8->color();
  s.PolarMean = Panel9->color();
  const QList<QAction*> views = viewItems(*this);
  for (int i = 0; i < views.size(); ++i)
    if (views[i]->isChecked())
      s.Page = i + 1;
  s.Points = N31->isChecked();
  s.Mean = N32->isChecked();
  s.CvtToStress = Converttostress1->isChecked();
  s.StressDBItem = Stress.AppliedStressItem;
  s.Approximate = N33->isChecked();
  s.Transpose = N34->isChecked();
  s.Pages = N35->isChecked();
  s.Grid3D = N3D1->isChecked();
  s.Smooth3D = N8->isChecked();
  s.Transparent3D = G1->isChecked();
  s.Full = isMaximized();
  s.DB = SettingsFolder(OpenDialog1InitialDir.isEmpty() ? ProgramFolder::dataFolder()
                                                        : OpenDialog1InitialDir);

  const QString path = ProgramFolder::file(SettingsFileName);
  QString reason;
  if (WriteProfileSettings(s, Profile::read(path)).save(path, &reason))
    return true;
  prompts().message(
      QStringLiteral("The settings could not be saved to %1: %2\n\nThe file there was left as "
                     "it was, so the next start uses the settings it holds. To keep the "
                     "settings of a session, make the program's folder writable for your user.")
          .arg(path, reason),
      QStringLiteral("Settings"), Prompts::Icon::Warning);
  return false;
}
