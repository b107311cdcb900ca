#include "shell/startup.h"

#include "common/clock.h"
#include "common/file_size_signal.h"
#include "data/measurement_grid.h"
#include "shell/about_window.h"
#include "shell/device_dialog.h"
#include "shell/main_window.h"
#include "shell/qt_prompts.h"
#include "shell/single_instance.h"
#include "shell/stress_db_window.h"

#include <QApplication>
#include <QScreen>

#include <clocale>

namespace {
const QString ApplicationTitle = QStringLiteral("RZ-37m connect");
constexpr int SplashMilliseconds = 1000;
}  // namespace

int runApplication(int argc, char** argv)
{
  ignoreFileSizeSignal();
  // A second copy ends at once, before it touches the display.
  const std::unique_ptr<InstanceLock> instanceMutex = makeInstanceLock(InstanceMutexName);
  if (!instanceMutex->acquire())
    return 0;

  QApplication app(argc, argv);
  // Numbers are converted by the program's own helpers; keep the C library's
  // number formats fixed as well, whatever the user's regional settings.
  std::setlocale(LC_NUMERIC, "C");

  SystemClock clock;
  TForm2 splash;
  splash.showSplash();
  clock.sleep(SplashMilliseconds);

  // The title only; a display name would be appended to every window's caption
  // ("About - RZ-37m connect"), where the captions are to read as they are.
  QApplication::setApplicationName(ApplicationTitle);

  QtPrompts prompts;
  TForm1 form1(prompts, clock);
  prompts.setOwner(&form1);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    form1.move(screen->availableGeometry().center() - form1.rect().center());
  form1.show();
  form1.About = &splash;
  TForm3 form3(&form1);
  form1.Form3 = &form3;
  TForm4 form4(&form1);
  form1.Form4 = &form4;

  form1.Grid.setCell(0, 0, FileNameHeader);
  form1.Grid.setCell(0, 1, SizeHeader);
  form3.setListHeaders(QStringLiteral(" Device name"), QStringLiteral(" Port"),
                       QStringLiteral(" Date and time"));
  form1.State.SelectedPort = NoPortSelected;
  form1.State.DialogueState = 2;
  form1.ApplySettingsFile();

  splash.restyleAsAbout();
  return QApplication::exec();
}
