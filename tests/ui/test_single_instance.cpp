#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
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

    void aLaterCopyHandsItsDatabaseToTheHolder() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ostrel2.lock");
        SingleInstance first(path);
        QVERIFY(first.TryAcquire());
        QSignalSpy opened(&first, &SingleInstance::openRequested);
        SingleInstance second(path);
        QVERIFY(!second.TryAcquire());
        // Any character of a path survives, a line feed included.
        for (const QString& sent : {QStringLiteral("/data/Ørsted 100%.mdb"),
                                    QStringLiteral("/odd/line\nfeed.mdb"), QString()}) {
            QVERIFY(second.HandOver(sent));
            QVERIFY(opened.wait(5000));
            QCOMPARE(opened.takeFirst().at(0).toString(), sent);
        }
        QCOMPARE(second.SocketPath(), dir.filePath("ostrel2.socket"));
    }

    void aHandOverWithNobodyListeningFailsSoon() {
        QTemporaryDir dir;
        SingleInstance nobody(dir.filePath("ostrel2.lock"));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!nobody.HandOver("/data/a.mdb", 300));
        QVERIFY(clock.elapsed() < 3000);
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

    // `ostrel2 FILE` opens FILE; a second `ostrel2 FILE` (a relative name)
    // hands it to the first and ends. What the first opened shows in its
    // recent list.
    void aSecondProgramHandsItsFileToTheFirst() {
#ifndef OSTREL_PROGRAM
        QSKIP("the program is not part of this build");
#else
        QTemporaryDir runtime;
        QTemporaryDir config;
        QTemporaryDir data;
        const QString sample = QStringLiteral(OSTREL_SOURCE_DIR "/samples/sample-business.mdb");
        const QString firstFile = data.filePath("first.mdb");
        const QString secondFile = data.filePath("second.mdb");
        QVERIFY(QFile::copy(sample, firstFile));
        QVERIFY(QFile::copy(sample, secondFile));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        const QString ini = config.filePath("Ostrel2/Ostrel2.ini");
        const auto newest = [&ini] {
            const QSettings stored(ini, QSettings::IniFormat);
            return stored.value("RecentDatabases/File1").toString();
        };

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(OSTREL_PROGRAM), {firstFile});
        QVERIFY(first.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(newest(), firstFile, 15000);

        QProcess second;
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(data.path());
        second.start(QStringLiteral(OSTREL_PROGRAM), {"second.mdb"});
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(newest(), secondFile, 10000);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        if (!first.waitForFinished(5000)) {
            first.kill();
            first.waitForFinished(5000);
        }
#endif
    }

    // --help and --version answer on the terminal, without a display; a
    // command line that cannot be understood has a status of its own.
    void helpVersionAndUsageErrorsOnTheTerminal() {
#ifndef OSTREL_PROGRAM
        QSKIP("the program is not part of this build");
#else
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        const auto run = [&env](const QStringList& arguments) {
            QProcess program;
            program.setProcessEnvironment(env);
            program.start(QStringLiteral(OSTREL_PROGRAM), arguments);
            program.waitForFinished(10000);
            return std::make_pair(program.exitCode(), QString::fromUtf8(program.readAll()));
        };
        auto [status, out] = run({"--version"});
        QCOMPARE(status, 0);
        QCOMPARE(out, QStringLiteral("ostrel2 1.0.6\n"));
        std::tie(status, out) = run({"--help"});
        QCOMPARE(status, 0);
        QVERIFY(out.startsWith("Usage: ostrel2 "));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        std::tie(status, out) = run({"--colour"});
        QCOMPARE(status, 64);
        std::tie(status, out) = run({"a.mdb", "b.mdb"});
        QCOMPARE(status, 64);
#endif
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
