// The real Qt dialogs behind the Prompts seam: which answer each way out of a
// question gives, the order of its buttons, and where a box opens while the
// stay-on-top "Connect to device" window is up.

#include "common/clock.h"
#include "data/measurement_file.h"
#include "device/com_port.h"
#include "device/file_exchange.h"
#include "device/port_enumeration.h"
#include "shell/device_dialog.h"
#include "shell/grid_view.h"
#include "device/com_port.h"
#include "device/file_exchange.h"
#include "shell/main_window.h"
#include "shell/qt_prompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using Answer = Prompts::Answer;
Q_DECLARE_METATYPE(Prompts::Answer)

namespace {

// Runs `act` on the first modal window that opens after this call, from the
// event loop that window runs; each act is used once.
void whenModalOpens(std::function<void(QWidget*)> act)
{
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible())
      return;
    poll->stop();
    poll->deleteLater();
    act(modal);
  });
  poll->start();
}

// The buttons of a message box from left to right, by caption.
QStringList buttonsLeftToRight(QMessageBox* box)
{
  QList<QAbstractButton*> buttons = box->buttons();
  std::sort(buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
    return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
  });
  QStringList out;
  for (QAbstractButton* b : buttons)
    out << b->text().remove(u'&');
  return out;
}

QAbstractButton* buttonNamed(QMessageBox* box, const QString& caption)
{
  for (QAbstractButton* b : box->buttons())
    if (b->text().remove(u'&') == caption)
      return b;
  return nullptr;
}

}  // namespace

class TestQtPrompts : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void cleanup()
  {
    // A failed check must not leave a box that blocks the next test.
    if (QWidget* modal = QApplication::activeModalWidget())
      modal->close();
  }

  // Yes appends, No rewrites, Retry asks again; every other way out of the
  // "Saving..." question writes nothing, so it must not read as one of them.
  void savingQuestionAnswers_data()
  {
    QTest::addColumn<QString>("way");
    QTest::addColumn<Answer>("expected");
    QTest::newRow("Yes") << "Yes" << Answer::Yes;
    QTest::newRow("No") << "No" << Answer::No;
    QTest::newRow("Retry") << "Retry" << Answer::Retry;
    QTest::newRow("Escape") << "Escape" << Answer::Closed;
    QTest::newRow("close box") << "close" << Answer::Closed;
    QTest::newRow("Return takes the default") << "Return" << Answer::Yes;
  }
  void savingQuestionAnswers()
  {
    QFETCH(QString, way);
    QFETCH(Answer, expected);
    QtPrompts prompts;
    QStringList order;
    QString title;
    whenModalOpens([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      order = buttonsLeftToRight(box);
      title = box->windowTitle();
      if (way == QLatin1String("Escape"))
        QTest::keyClick(box, Qt::Key_Escape);
      else if (way == QLatin1String("Return"))
        QTest::keyClick(box, Qt::Key_Return);
      else if (way == QLatin1String("close"))
        box->close();  // what the title bar's close box sends
      else
        buttonNamed(box, way)->click();
    });
    const Answer a = prompts.question(SavingCaption, appendQuestionText(QStringLiteral("a.csv")),
                                      {Answer::Yes, Answer::No, Answer::Retry}, Answer::Yes,
                                      Prompts::Icon::Warning, SavingQuestionHeight);
    QCOMPARE(a, expected);
    QCOMPARE(order, (QStringList{"Yes", "No", "Retry"}));
    QCOMPARE(title, QStringLiteral("Saving..."));
  }

  // "Delete all" through the real box: No is the default, Escape deletes nothing.
  void deleteAllAsksFirst_data()
  {
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
  }
  void deleteAllAsksFirst()
  {
    QFETCH(int, key);
    QtPrompts prompts;
    FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
    TForm1 form(prompts, clock);
    prompts.setOwner(&form);
    form.show();
    form.Grid.replaceRows({{{FileNameHeader, SizeHeader}},
                           {{"A        .DAT", "0,309"}},
                           {{"B        .DAT", "0,245"}},
                           {{"C        .DAT", "1,000"}}});
    form.StringGrid1->setEnabled(true);
    QString text;
    QStringList order;
    whenModalOpens([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      text = box->text();
      order = buttonsLeftToRight(box);
      QTest::keyClick(box, Qt::Key(key));
    });
    form.MenuItem23Click();
    QCOMPARE(text,
             QStringLiteral("Delete all 3 files on the instrument? They cannot be recovered."));
    QCOMPARE(order, (QStringList{"Yes", "No"}));
    QVERIFY(!form.Exchange->underWay());
    QCOMPARE(int(form.State.DialogueState), 2);
    QVERIFY(form.StringGrid1->isEnabled());
    QVERIFY(!form.ComPort1->Connected());
  }

  // While "Connect to device" is up, a box or a file dialog opens above it,
  // modal to it, not underneath it with the main window as parent.
  void dialogsOpenAboveTheDeviceDialog_data()
  {
    QTest::addColumn<QString>("kind");
    QTest::newRow("message") << "message";
    QTest::newRow("question") << "question";
    QTest::newRow("open dialog") << "open";
    QTest::newRow("save dialog") << "save";
    QTest::newRow("port error after Refresh list") << "refresh";
  }
  void dialogsOpenAboveTheDeviceDialog()
  {
    QFETCH(QString, kind);
    QtPrompts prompts;
    FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
    TForm1 form(prompts, clock);
    prompts.setOwner(&form);
    form.show();
    TForm3 dialog(&form);
    form.Form3 = &dialog;
    dialog.setPortEnumeration(std::make_unique<FakePortEnumeration>());
    dialog.showAtMainWindowCentre();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    QPointer<QWidget> parent;
    bool modal = false;
    whenModalOpens([&](QWidget* w) {
      parent = w->parentWidget();
      modal = w->isModal();
      if (auto* files = qobject_cast<QFileDialog*>(w))
        files->reject();
      else
        w->close();
    });
    const Prompts::FileRequest request{"Open file", QDir::tempPath(), QString(), CsvFilter};
    if (kind == QLatin1String("message")) {
      prompts.message(QStringLiteral("COM Port Error: Unable to open com port on /dev/ttyUSB0"),
                      QStringLiteral("Connect to device"), Prompts::Icon::Error);
    } else if (kind == QLatin1String("question")) {
      prompts.question(SavingCaption, QStringLiteral("?"), {Answer::Yes, Answer::No}, Answer::No,
                       Prompts::Icon::Question, 0);
    } else if (kind == QLatin1String("open")) {
      QVERIFY(!prompts.openFile(request));
    } else if (kind == QLatin1String("save")) {
      QVERIFY(!prompts.saveFile(request));
    } else {
      form.State.SelectedPort = QStringLiteral("/nonexistent/ttyUSB7");
      dialog.Button3Click();
    }
    QCOMPARE(parent.data(), static_cast<QWidget*>(&dialog));
    QVERIFY(modal);
  }

  // With no window on top, the main window is the parent as before.
  void dialogsOpenOverTheOwnerOtherwise()
  {
    QtPrompts prompts;
    QWidget owner;
    prompts.setOwner(&owner);
    owner.show();
    QPointer<QWidget> parent;
    whenModalOpens([&](QWidget* w) {
      parent = w->parentWidget();
      w->close();
    });
    prompts.message(QStringLiteral("x"), QStringLiteral("Open file"), Prompts::Icon::Error);
    QCOMPARE(parent.data(), &owner);
  }
};

QTEST_MAIN(TestQtPrompts)
#include "test_qt_prompts.moc"
