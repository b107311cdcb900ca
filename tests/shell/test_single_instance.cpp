#include "shell/single_instance.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestSingleInstance : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void secondHolderIsRefused()
  {
    QTemporaryDir dir;
    auto first = makeInstanceLock(InstanceMutexName, dir.path());
    auto second = makeInstanceLock(InstanceMutexName, dir.path());
    QVERIFY(first->acquire());
    QVERIFY(!second->acquire());
    QVERIFY(first->acquire());  // asking again keeps what it holds
  }

  // The kernel drops the lock with the process, so a killed copy never blocks
  // the next start; and while a copy runs, a second one ends at once with 0.
  void secondCopyExitsAtOnceAndACrashFreesTheLock()
  {
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString program = QStringLiteral(RZ37M_BIN_DIR "/RZ-37m");

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {});
    QVERIFY(first.waitForStarted());
    const QString lockFile = dir.path() + QStringLiteral("/MyOwnMutex.lock");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lockFile), 5000);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {});
    QVERIFY(second.waitForFinished(2000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(second.readAllStandardOutput().isEmpty());

    first.kill();
    QVERIFY(first.waitForFinished(5000));
    auto lock = makeInstanceLock(InstanceMutexName, dir.path());
    QVERIFY(lock->acquire());
  }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
