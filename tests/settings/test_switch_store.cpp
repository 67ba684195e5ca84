#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include "engine/switch_table.h"
#include "settings/switch_store.h"

using ostrel::engine::SwitchError;
using ostrel::settings::StoreWriteError;
using ostrel::settings::SwitchStore;

namespace {

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

}  // namespace

class TestSwitchStore : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString folder_;
    int testNumber_ = 0;
    // Every test (and data row) gets a folder of its own: Qt keeps parsed
    // settings files in a cache keyed by path, time stamp and size.
    QString Path(const QString& name = QStringLiteral("Ostrel2.ini")) const {
        return folder_ + "/" + name;
    }

  private slots:
    void init() {
        folder_ = dir_.filePath(QString::number(++testNumber_));
        QVERIFY(QDir().mkpath(folder_));
    }

    void defaultFileIsTheUsersOstrel2Ini() {
        const QString path = SwitchStore::DefaultFilePath();
        QVERIFY2(path.endsWith(QStringLiteral("/Ostrel2/Ostrel2.ini")), qPrintable(path));
    }

    void absentFileAndAbsentKeysReadAsOn() {
        const SwitchStore store(Path());
        for (const auto& info : ostrel::engine::SwitchTable()) {
            QVERIFY(store.GetReportSwitch(info.key));
        }
        QVERIFY(store.GetReportSwitch("No Such Key"));
        QVERIFY(!QFile::exists(Path()));  // reading never creates the file
    }

    void storedValuesAreReadBackUnderAnyLetterCase() {
        SwitchStore store(Path());
        store.SaveReportSwitch("Table AttachExclusive", false);
        store.SaveReportSwitch("Table ReplicaFilter", false);
        QVERIFY(!store.GetReportSwitch("Table Attachexclusive"));
        QVERIFY(!store.GetReportSwitch("table replicafilter"));
        QVERIFY(!store.GetReportSwitch("TABLE ATTACHEXCLUSIVE"));
        QVERIFY(store.GetReportSwitch("Table DateCreated"));

        // A second store on the same file sees the same values.
        const SwitchStore other(Path());
        QVERIFY(!other.GetReportSwitch("Table Attachexclusive"));
    }

    void keysWrittenInOtherCaseAreFoundAndReplacedOnce() {
        WriteFile(Path(), "[config]\ntable%20attachexclusive=False\n[Other]\nkeep=1\n");
        SwitchStore store(Path());
        QVERIFY(!store.GetReportSwitch("Table AttachExclusive"));

        // Writing under a differently cased name leaves one key, spelled as
        // the switch table spells it, and keeps the rest of the file.
        store.SaveReportSwitch("Table Attachexclusive", true);
        QSettings ini(Path(), QSettings::IniFormat);
        QStringList all = ini.allKeys();
        all.sort();
        QCOMPARE(all, QStringList({"Config/Table AttachExclusive", "Other/keep"}));
        QCOMPARE(ini.value("Config/Table AttachExclusive").toString(), QStringLiteral("True"));
        QVERIFY(store.GetReportSwitch("table attachexclusive"));
    }

    // A hand-edited file may hold the section more than once in other
    // letter cases; "Config" spelled so wins, whichever sorts first.
    void theSectionSpelledConfigWinsOverOtherSpellings_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("config after") << QByteArray(
            "[config]\nTable%20AttachExclusive=False\n[Config]\nTable%20AttachExclusive=True\n");
        QTest::newRow("CONFIG before") << QByteArray(
            "[CONFIG]\nTable%20AttachExclusive=False\n[Config]\nTable%20AttachExclusive=True\n");
    }

    void theSectionSpelledConfigWinsOverOtherSpellings() {
        QFETCH(QByteArray, content);
        WriteFile(Path(), content);
        const SwitchStore store(Path());
        QVERIFY(store.GetReportSwitch("Table AttachExclusive"));
    }

    void valuesAreStoredAsTrueAndFalseText() {
        SwitchStore store(Path());
        store.SaveReportSwitches({{"Field DataUpdatable", false}, {"Field UpdatableField", true}});
        QSettings ini(Path(), QSettings::IniFormat);
        QCOMPARE(ini.value("Config/Field DataUpdatable").toString(), QStringLiteral("False"));
        QCOMPARE(ini.value("Config/Field UpdatableField").toString(), QStringLiteral("True"));
    }

    void conversionRule_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("on");
        QTest::newRow("True") << QByteArray("True") << true;
        QTest::newRow("false any case") << QByteArray("fALSE") << false;
        QTest::newRow("TRUE") << QByteArray("TRUE") << true;
        QTest::newRow("zero") << QByteArray("0") << false;
        QTest::newRow("one") << QByteArray("1") << true;
        QTest::newRow("minus one") << QByteArray("-1") << true;
        QTest::newRow("decimal zero") << QByteArray("0.0") << false;
    }
    void conversionRule() {
        QFETCH(QByteArray, stored);
        QFETCH(bool, on);
        WriteFile(Path(), "[Config]\nQuery%20SQL=" + stored + "\n");
        const SwitchStore store(Path());
        QCOMPARE(store.GetReportSwitch("Query SQL"), on);
    }

    void unreadableValuesFailWithAMessageNamingKeyValueAndFile_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("word") << QByteArray("maybe");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("number and text") << QByteArray("1x");
    }
    void unreadableValuesFailWithAMessageNamingKeyValueAndFile() {
        QFETCH(QByteArray, stored);
        WriteFile(Path(), "[Config]\nQuery%20SQL=" + stored + "\nQuery%20Type=True\n");
        const SwitchStore store(Path());
        QVERIFY(store.GetReportSwitch("Query Type"));  // other keys still read
        try {
            store.GetReportSwitch("query sql");
            QFAIL("an unreadable value must not read as on or off");
        } catch (const SwitchError& error) {
            const QString message = QString::fromUtf8(error.what());
            QVERIFY2(message.contains("\"query sql\""), qPrintable(message));
            QVERIFY2(message.contains("\"" + stored + "\""), qPrintable(message));
            QVERIFY2(message.contains(Path()), qPrintable(message));
        }
    }

    void aDamagedFileFailsEveryReadAndIsSetAsideByTheNextWrite() {
        WriteFile(Path(), "[Config\nQuery%20SQL=False\n");
        SwitchStore store(Path());
        QVERIFY(store.LoadError().has_value());
        QVERIFY_THROWS_EXCEPTION(SwitchError, store.GetReportSwitch("Query SQL"));

        store.SaveReportSwitch("Query SQL", false);
        QVERIFY(!store.LoadError().has_value());
        QVERIFY(!store.GetReportSwitch("Query SQL"));
        QCOMPARE(ReadFile(Path() + ".damaged"), QByteArray("[Config\nQuery%20SQL=False\n"));
    }

    void aRunSeesTheValuesStoredBeforeItAndNotThoseStoredDuringIt() {
        SwitchStore store(Path());
        store.SaveReportSwitch("Index Unique", false);
        QVERIFY(!store.GetReportSwitch("Index Unique"));

        // Another program changes the file: the snapshot keeps answering from
        // what was read until the next run refreshes it.
        SwitchStore elsewhere(Path());
        elsewhere.SaveReportSwitch("Index Unique", true);
        QVERIFY(!store.GetReportSwitch("Index Unique"));
        store.Refresh();
        QVERIFY(store.GetReportSwitch("Index Unique"));
    }

    void readsDoNotTouchTheDisk() {
        SwitchStore store(Path());
        store.SaveReportSwitch("Index Unique", false);
        // Once the snapshot is taken, even a removed file changes nothing.
        QVERIFY(QFile::remove(Path()));
        for (int i = 0; i < 1000; ++i) {
            QVERIFY(!store.GetReportSwitch("Index Unique"));
        }
    }

    void writesReplaceTheFileInsteadOfRewritingIt() {
        SwitchStore store(Path());
        store.SaveReportSwitch("Query SQL", true);
        const QByteArray before = ReadFile(Path());
        // A second name for the same file: if the new content were written
        // into the file in place, this name would see it (and a crash half
        // way would leave a damaged file).
        const QString link = Path("before.ini");
        QFile::remove(link);
        QCOMPARE(::link(QFile::encodeName(Path()).constData(), QFile::encodeName(link).constData()),
                 0);
        store.SaveReportSwitch("Query SQL", false);
        QCOMPARE(ReadFile(link), before);
        QVERIFY(ReadFile(Path()) != before);
        const QStringList leftovers =
            QDir(folder_).entryList({"*.ini*"}, QDir::Files | QDir::Hidden, QDir::Name);
        QCOMPARE(leftovers, QStringList({"Ostrel2.ini", "before.ini"}));
    }

    void aFailedWriteSaysWhyAndChangesNothing() {
        // The folder for the file cannot be made: its parent is a plain file.
        WriteFile(Path("plain"), "x");
        SwitchStore store(Path("plain") + "/sub/Ostrel2.ini");
        try {
            store.SaveReportSwitch("Query SQL", false);
            QFAIL("writing below a plain file must fail");
        } catch (const StoreWriteError& error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains("cannot be stored"), error.what());
        }
        QVERIFY(store.GetReportSwitch("Query SQL"));
    }
};

QTEST_GUILESS_MAIN(TestSwitchStore)
#include "test_switch_store.moc"
