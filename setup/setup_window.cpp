#include "setup_window.h"

#include "install_checks.h"
#include "registry.h"
#include "setup_command.h"
#include "setup_messages.h"
#include "setup_pictures.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStorageInfo>
#include <QTreeView>

namespace {

QLabel* label(QWidget* parent, const QString& text, const QRect& geometry, bool wrap = false)
{
  auto* l = new QLabel(text, parent);
  l->setGeometry(geometry);
  l->setWordWrap(wrap);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return l;
}

QPushButton* button(QWidget* parent, const QString& text, int x)
{
  auto* b = new QPushButton(text, parent);
  b->setGeometry(x, 8, x == 8 ? 73 : 75, 25);
  return b;
}

QCheckBox* option(QWidget* parent, const QString& text, int y)
{
  auto* c = new QCheckBox(text, parent);
  c->setGeometry(16, y, 345, 21);
  return c;
}

}  // namespace

TForm1::TForm1(SetupContext context, SetupShell& shell, QWidget* parent)
    : QWidget(parent), m_context(std::move(context)), m_shell(shell)
{
  buildWindow();
  buildPages();
  buildButtons();
  if (InstallRegistry(m_context.paths.registryFolder()).installed())
    startRemoveMode();
  else
    startInstallMode();
}

void TForm1::buildWindow()
{
  setWindowTitle(SetupCaption);
  // A fixed dialog without a close button: the program ends through its buttons.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowStaysOnTopHint);
  setFixedSize(615, 230);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(221, 221, 221));
  setPalette(pal);
  setAutoFillBackground(true);
  QFont f = font();
  f.setPointSize(8);
  setFont(f);

  SetupImage = new SetupPicture(this);
  SetupImage->setGeometry(0, 0, 230, 230);
  StepLabel = new QLabel(QStringLiteral("NORVANE"), this);
  StepLabel->setGeometry(0, 4, 233, 20);
  StepLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  StepLabel->setStyleSheet(QStringLiteral("color: #a0a0a0; font-weight: bold; font-size: 12px;"));
  MainPanel = new QWidget(this);
  MainPanel->setGeometry(230, 0, 385, 230);
  StepControl = new QStackedWidget(MainPanel);
  StepControl->setGeometry(0, 0, 385, 189);
  BtnsPanel = new QWidget(MainPanel);
  BtnsPanel->setGeometry(0, 189, 385, 41);
}

void TForm1::buildPages()
{
  PageCaptions = {QStringLiteral("NORVANE"), QStringLiteral("Choose install directory"),
                  QStringLiteral("Installing..."), QStringLiteral("Finish")};
  auto* page1 = new QWidget;
  InstructionsLabel = label(page1, QStringLiteral("Welcome to RZ-37m connect software installer!"),
                            QRect(8, 12, 361, 81), true);
  Memo1 = new QPlainTextEdit(page1);
  Memo1->setGeometry(8, 88, 361, 89);
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  auto* page2 = new QWidget;
  Label1 = label(page2, QStringLiteral("Choose directory to install RZ-37m connect software"),
                 QRect(8, 8, 361, 20));
  InstallDriveComboBox = new QComboBox(page2);
  InstallDriveComboBox->setGeometry(8, 32, 361, 22);
  InstallDirList = new QTreeView(page2);
  InstallDirList->setGeometry(8, 56, 361, 57);
  InstallDirList->setHeaderHidden(true);
  InstallDirLabel =
      label(page2, QStringLiteral("RZ-37m software will be installed by following path: "),
            QRect(8, 120, 361, 33), true);

  auto* page3 = new QWidget;
  Animate1 = new SetupAnimation(page3);
  Animate1->setGeometry(0, 0, 385, 140);
  FilesProgressBar = new QProgressBar(page3);
  FilesProgressBar->setGeometry(8, 144, 358, 13);
  FilesProgressBar->setTextVisible(false);
  FilesProgressBar->setMaximum(85);

  auto* page4 = new QWidget;
  FinalLabel = label(page4, QStringLiteral("RZ-37m connect software successfully installed."),
                     QRect(8, 8, 361, 137), true);
  CheckBox1 = option(page4, QStringLiteral("Create desktop Icon"), 48);
  CheckBox2 = option(page4, QStringLiteral("Launch RZ-37m connect application"), 80);
  CheckBox3 = option(page4, QStringLiteral("Open RZ-37m connect application manual"), 112);
  for (QWidget* page : {page1, page2, page3, page4})
    StepControl->addWidget(page);

  m_dirModel = new QFileSystemModel(this);
  m_dirModel->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
  m_dirModel->setReadOnly(true);
  InstallDirList->setModel(m_dirModel);
  for (int c = 1; c < m_dirModel->columnCount(); ++c)
    InstallDirList->hideColumn(c);
  connect(InstallDirList, &QTreeView::clicked, this,
          [this](const QModelIndex& index) { setInstallFolder(m_dirModel->filePath(index)); });
  connect(InstallDriveComboBox, &QComboBox::activated, this,
          [this] { InstallDriveComboBoxChange(); });
}

void TForm1::buildButtons()
{
  FilenamesLabel = label(BtnsPanel, QStringLiteral("Copying files:"), QRect(8, 4, 369, 33), true);
  FilenamesLabel->hide();
  StepBackwardBtn = button(BtnsPanel, QStringLiteral("< Back"), 8);
  StepBackwardBtn->hide();
  ExitBtn = button(BtnsPanel, QStringLiteral("Exit"), 221);
  StepForwardBtn = button(BtnsPanel, QStringLiteral("Next >"), 301);
  RemoveBtn = button(BtnsPanel, QStringLiteral("Remove"), 301);
  RemoveBtn->hide();
  EndBtn = button(BtnsPanel, QStringLiteral("Finish"), 301);
  EndBtn->hide();
  EndBtn->raise();
  StepForwardBtn->setFocus();
  connect(StepForwardBtn, &QPushButton::clicked, this, [this] { StepForwardBtnClick(); });
  connect(StepBackwardBtn, &QPushButton::clicked, this, [this] { StepBackwardBtnClick(); });
  connect(ExitBtn, &QPushButton::clicked, this, [this] { ExitBtnClick(); });
  connect(EndBtn, &QPushButton::clicked, this, [this] { EndBtnClick(); });
  connect(RemoveBtn, &QPushButton::clicked, this, [this] { RemoveBtnClick(); });
}

void TForm1::startRemoveMode()
{
  m_removeMode = true;
  setWindowTitle(QStringLiteral("Uninstall RZ-37m connect software"));
  StepForwardBtn->hide();
  RemoveBtn->show();
  Memo1->hide();
  InstructionsLabel->setText(
      QStringLiteral("RZ-37m connect software already installed in computer.\n\n"
                     "Do you want to remove RZ-37m connect software?"));
}

void TForm1::startInstallMode()
{
  setWindowTitle(SetupCaption);
  StepForwardBtn->show();
  RemoveBtn->hide();
  InstructionsLabel->setText(
      QStringLiteral("Welcome to RZ-37m connect software installer!\n\n"
                     "Press Next to install RZ-37m software to your computer,\n"
                     "or press Exit to cancel installation.\n\nAbout computer:"));
  QString summary = systemSummary(m_context.paths, m_context.screen, m_context.inDialout);
  if (m_context.payload)
    m_missingLibraries = missingLibrariesText(*m_context.payload);
  else
    m_missingLibraries = QStringLiteral("Setup cannot install: ") + m_context.payloadError + u'.';
  if (!m_missingLibraries.isEmpty())
    summary += QStringLiteral("\r\n\r\n") + m_missingLibraries;
  Memo1->setPlainText(summary.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  fillVolumes();
  setInstallFolder(m_context.paths.dataHome);
}

void TForm1::fillVolumes()
{
  InstallDriveComboBox->clear();
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
    const QString root = v.rootPath();
    const bool system =
        root.startsWith(QStringLiteral("/proc")) || root.startsWith(QStringLiteral("/sys")) ||
        root.startsWith(QStringLiteral("/dev")) ||
        (root.startsWith(QStringLiteral("/run")) && !root.startsWith(QStringLiteral("/run/media")));
    if (v.isValid() && !system && InstallDriveComboBox->findText(root) < 0)
      InstallDriveComboBox->addItem(root);
  }
}

QString TForm1::applicationFolder() const
{
  return applicationFolderOf(m_installFolder);
}

void TForm1::setInstallFolder(const QString& folder)
{
  m_installFolder = QDir::cleanPath(folder);
  const QString volume = QStorageInfo(checkFreeSpace(m_installFolder, 0).mountRoot).rootPath();
  const int i = InstallDriveComboBox->findText(volume);
  if (i >= 0)
    InstallDriveComboBox->setCurrentIndex(i);
  QString shown = m_installFolder;
  while (!QFileInfo(shown).isDir() && shown.size() > 1)
    shown = QFileInfo(shown).path();
  m_dirModel->setRootPath(volume);
  InstallDirList->setRootIndex(m_dirModel->index(volume));
  const QModelIndex at = m_dirModel->index(shown);
  InstallDirList->setCurrentIndex(at);
  InstallDirList->scrollTo(at);
  InstallDirListChange();
}

void TForm1::closeEvent(QCloseEvent* event)
{
  // The title bar offers no close button; a window manager's close key is
  // taken as "Exit" where Exit is offered, and ignored otherwise.
  if (m_closing || ExitBtn->isVisible()) {
    m_closing = true;
    event->accept();
  } else {
    event->ignore();
  }
}

void TForm1::endProgram(int code)
{
  m_exitCode = code;
  m_closing = true;
  close();
}
