#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "ui/app/single_instance.h"

using ostrel::ui::SingleInstance;

class TestSingleInstance : public QObject {
    Q_OBJECT

  private slots:
    void onlyOneHolderAtATime() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ostrel2.lock");
        {
            SingleInstance first(path);
            QVERIFY(first.TryAcquire());
            QVERIFY(first.TryAcquire());  // asking again keeps it
            SingleInstance second(path);
            QVERIFY(!second.TryAcquire());
        }
        SingleInstance afterwards(path);
        QVERIFY(afterwards.TryAcquire());
    }

    void aLockLeftByACrashedCopyDoesNotBlock() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ostrel2.lock");
        // A process id that is not running.
        qint64 pid = 999999;
        while (::kill(static_cast<pid_t>(pid), 0) == 0) {
            --pid;
        }
        QFile stale(path);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(pid) + "\nostrel2\n\n");
        stale.close();
        SingleInstance next(path);
        QVERIFY(next.TryAcquire());
    }

    void anOldLockOfARunningCopyStillBlocks() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ostrel2.lock");
        SingleInstance first(path);
        QVERIFY(first.TryAcquire());
        // Lock files are not stale by age: pretend it is a day old.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                 QFileDevice::FileModificationTime));
        file.close();
        SingleInstance second(path);
        QVERIFY(!second.TryAcquire());
    }

    void theDefaultLockIsInTheRuntimeFolder() {
        QVERIFY(SingleInstance::DefaultLockPath().endsWith("/ostrel2.lock"));
    }

    void aSecondProgramEndsAtOnce() {
        QTemporaryDir runtime;
        QTemporaryDir config;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        const QString lock = runtime.filePath("ostrel2.lock");

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(OSTREL_PROGRAM), {});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), 10000);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(OSTREL_PROGRAM), {});
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        // The first copy crashes and leaves its lock behind: the next starts.
        first.kill();
        QVERIFY(first.waitForFinished(5000));
        QVERIFY(QFile::exists(lock));
        QProcess third;
        third.setProcessEnvironment(env);
        third.start(QStringLiteral(OSTREL_PROGRAM), {});
        QVERIFY(third.waitForStarted());
        QVERIFY(!third.waitForFinished(1500));  // still running
        third.kill();
        third.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
