#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include "settings/switch_store.h"
#include "ui/app/app_command_line.h"
#include "ui/app/recent_databases.h"
#include "ui/app/window_geometry.h"

using namespace ostrel;
using ui::ParseAppCommandLine;
using ui::RecentDatabases;

class TestAppStart : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;

    QString Touch(const QString& name) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path;
    }

  private slots:
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("help");
        QTest::addColumn<bool>("version");
        const QString cwd = QDir::currentPath();
        QTest::newRow("none") << QStringList{} << ""
                              << "" << false << false;
        QTest::newRow("absolute") << QStringList{"/data/a.mdb"} << "/data/a.mdb"
                                  << "" << false << false;
        QTest::newRow("relative, made absolute") << QStringList{"sub/../a.mdb"} << cwd + "/a.mdb"
                                                 << "" << false << false;
        QTest::newRow("file URL") << QStringList{"file:///data/My%20Db.accdb"}
                                  << "/data/My Db.accdb"
                                  << "" << false << false;
        QTest::newRow("after --") << QStringList{"--", "-odd.mdb"} << cwd + "/-odd.mdb"
                                  << "" << false << false;
        QTest::newRow("help wins") << QStringList{"--bogus", "-h", "a", "b"} << ""
                                   << "" << true << false;
        QTest::newRow("version") << QStringList{"--version"} << ""
                                 << "" << false << true;
        QTest::newRow("unknown") << QStringList{"--colour", "a.mdb"} << ""
                                 << "unknown option --colour" << false << false;
        QTest::newRow("two databases") << QStringList{"a.mdb", "b.mdb"} << ""
                                       << "more than one database named: b.mdb" << false << false;
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, database);
        QFETCH(QString, error);
        QFETCH(bool, help);
        QFETCH(bool, version);
        const ui::AppCommandLine line = ParseAppCommandLine(arguments);
        QCOMPARE(line.database, database);
        QCOMPARE(line.error, error);
        QCOMPARE(line.help, help);
        QCOMPARE(line.version, version);
        QCOMPARE(ui::AsksForHelpOrVersion(arguments), help || version);
    }

    void recentListOrderLimitAndGoneFiles() {
        const QString ini = dir_.filePath("recent.ini");
        const RecentDatabases recent(ini);
        QStringList made;
        for (int i = 0; i < 10; ++i) {
            made.prepend(Touch(QStringLiteral("db%1.mdb").arg(i)));
            recent.Add(made.constFirst());
        }
        QCOMPARE(recent.Entries(), made.mid(0, RecentDatabases::kLimit));

        // Opened again: moves to the front, held once.
        recent.Add(made.at(5));
        QStringList expected = made.mid(0, RecentDatabases::kLimit);
        expected.move(5, 0);
        QCOMPARE(recent.Entries(), expected);

        // A file that is gone is dropped, from the file as well.
        QFile::remove(expected.at(1));
        const QString gone = expected.takeAt(1);
        QCOMPARE(recent.Entries(), expected);
        const QSettings stored(ini, QSettings::IniFormat);
        QVERIFY(!stored.allKeys().join('\n').contains(gone));
    }

    void recentListLivesApartFromTheSwitches() {
        const QString ini = dir_.filePath("shared.ini");
        settings::SwitchStore switches(ini);
        switches.SaveReportSwitch("Table DateCreated", false);
        const RecentDatabases recent(ini);
        recent.Add(Touch("kept.mdb"));
        switches.SaveReportSwitch("Query SQL", false);  // a later store keeps the list
        QCOMPARE(recent.Entries(), QStringList({dir_.filePath("kept.mdb")}));

        QSettings stored(ini, QSettings::IniFormat);
        stored.beginGroup("Config");
        QCOMPARE(stored.childKeys(), QStringList({"Query SQL", "Table DateCreated"}));
        stored.endGroup();
        QCOMPARE(stored.value("RecentDatabases/File1").toString(), dir_.filePath("kept.mdb"));
        switches.Refresh();
        QVERIFY(!switches.GetReportSwitch("Table DateCreated"));
        QVERIFY(switches.GetReportSwitch("Table Name"));
    }

    void windowsAreKeptWithinTheScreen() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget window;
        window.resize(area.width() * 2, area.height() * 2);
        window.move(area.right() - 10, area.bottom() - 10);
        ui::FitToScreen(window);
        QVERIFY(window.width() < area.width());
        QVERIFY(window.height() < area.height());
        QVERIFY(area.contains(window.geometry()));

        // Never below the window's minimum.
        QWidget small;
        small.setMinimumSize(area.width() + 50, 100);
        small.resize(area.width() + 100, 200);
        ui::FitToScreen(small);
        QCOMPARE(small.width(), area.width() + 50);
    }
};

QTEST_MAIN(TestAppStart)
#include "test_app_start.moc"
