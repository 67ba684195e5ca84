#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "engine/switch_table.h"
#include "settings/config_dialog.h"
#include "settings/switch_layout.h"
#include "settings/switch_store.h"

using ostrel::engine::SwitchTable;
using ostrel::settings::ConfigDialog;
using ostrel::settings::SwitchLayout;
using ostrel::settings::SwitchPage;
using ostrel::settings::SwitchStore;

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Stored values of the "Config" section by key, as a fresh reader sees them.
QMap<QString, QString> Stored(const QString& path) {
    QMap<QString, QString> values;
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup("Config");
    for (const QString& key : ini.childKeys()) {
        values.insert(key, ini.value(key).toString());
    }
    return values;
}

int CountTicked(const ConfigDialog& dialog) {
    int ticked = 0;
    for (int i = 0; i < ostrel::engine::kSwitchCount; ++i) {
        ticked += dialog.CheckBox(i)->isChecked() ? 1 : 0;
    }
    return ticked;
}

QPushButton* Button(const ConfigDialog& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
}

}  // namespace

class TestConfigDialog : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString path_;

  private slots:
    void init() {
        path_ = dir_.filePath("Ostrel2.ini");
        QFile::remove(path_);
    }

    void designMatchesTheSwitchTable() {
        SwitchStore store(path_);
        ConfigDialog dialog(store);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("OSTREL2 - Configuration"));
        auto* tabs = dialog.findChild<QTabWidget*>("vsTab1");
        QVERIFY(tabs != nullptr);
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i) {
            captions << tabs->tabText(i);
        }
        QCOMPARE(
            captions.join('|'),
            QStringLiteral("Database|Tables|Fields|Indexes|Relationships|Queries|Application"));
        QCOMPARE(dialog.findChildren<QCheckBox*>().size(), ostrel::engine::kSwitchCount);

        std::array<int, 7> perPage{};
        for (int i = 0; i < ostrel::engine::kSwitchCount; ++i) {
            const auto& info = SwitchLayout()[static_cast<std::size_t>(i)];
            QCOMPARE(info.key, ostrel::engine::SwitchTable()[static_cast<std::size_t>(i)].key);
            auto* box = dialog.findChild<QCheckBox*>(Text(info.checkBox));
            QVERIFY2(box == dialog.CheckBox(i), info.checkBox.data());
            QCOMPARE(box->text(), Text(info.caption));
            // On its own page, in its grid cell.
            const int page = static_cast<int>(info.page);
            ++perPage[static_cast<std::size_t>(page)];
            QCOMPARE(box->parentWidget(), tabs->widget(page));
            auto* grid = qobject_cast<QGridLayout*>(tabs->widget(page)->layout());
            int row = -1;
            int column = -1;
            int rowSpan = 0;
            int columnSpan = 0;
            grid->getItemPosition(grid->indexOf(box), &row, &column, &rowSpan, &columnSpan);
            QCOMPARE(row + 1, info.row);
            QCOMPARE(column + 1, info.column);
        }
        QCOMPARE(perPage, (std::array<int, 7>{5, 14, 15, 8, 10, 10, 14}));
        QCOMPARE(Button(dialog, "cmdStore")->text().remove('&'), QStringLiteral("Store"));
        QCOMPARE(Button(dialog, "cmdCancel")->text(), QStringLiteral("Cancel"));
        QCOMPARE(Button(dialog, "cmdSelectAll")->text().remove('&'), QStringLiteral("Select All"));
        QCOMPARE(Button(dialog, "cmdDeselectAll")->text().remove('&'),
                 QStringLiteral("Deselect All"));
    }

    void columnsLineUpAndCaptionsAreNotClipped() {
        SwitchStore store(path_);
        ConfigDialog dialog(store);
        dialog.show();
        QTabWidget* tabs = dialog.Tabs();
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            QCoreApplication::processEvents();
            for (int i = 0; i < ostrel::engine::kSwitchCount; ++i) {
                QCheckBox* box = dialog.CheckBox(i);
                if (box->parentWidget() != tabs->widget(page)) {
                    continue;
                }
                QVERIFY2(box->width() >= box->sizeHint().width(), qPrintable(box->text()));
                QVERIFY(tabs->widget(page)->rect().contains(box->geometry()));
            }
        }
        // Same column, same left edge; the next column further right.
        QCOMPARE(dialog.findChild<QCheckBox*>("chkFieldAllowZeroLength")->x(),
                 dialog.findChild<QCheckBox*>("chkFieldOrdinalPosition")->x());
        QVERIFY(dialog.findChild<QCheckBox*>("chkFieldRequired")->x() >
                dialog.findChild<QCheckBox*>("chkFieldAllowZeroLength")->x());
    }

    void keyboardOrderFollowsColumnsWithValidationRuleFirstOnFields() {
        SwitchStore store(path_);
        ConfigDialog dialog(store);
        QStringList order;
        QWidget* widget = dialog.Tabs();
        for (int steps = 0; steps < 200; ++steps) {
            widget = widget->nextInFocusChain();
            if (widget == dialog.Tabs()) {
                break;
            }
            if (qobject_cast<QCheckBox*>(widget) != nullptr ||
                qobject_cast<QPushButton*>(widget) != nullptr) {
                order << widget->objectName();
            }
        }
        QCOMPARE(order.size(), ostrel::engine::kSwitchCount + 4);
        const int fieldsStart = 5 + 14;
        QCOMPARE(order.at(0), QStringLiteral("chkDatabaseCollatingOrder"));
        QCOMPARE(order.at(5), QStringLiteral("chkTableAttachedODBC"));
        QCOMPARE(order.at(12), QStringLiteral("chkTableRecordCount"));  // column 2 after column 1
        QCOMPARE(order.at(fieldsStart), QStringLiteral("chkFieldValidationRule"));
        QCOMPARE(order.at(fieldsStart + 1), QStringLiteral("chkFieldAllowZeroLength"));
        QCOMPARE(order.at(fieldsStart + 14), QStringLiteral("chkFieldValidationText"));
        QCOMPARE(order.at(51), QStringLiteral("chkRelDiagram"));  // after chkRelTable
        QCOMPARE(order.at(61), QStringLiteral("chkParameterType"));
        QCOMPARE(order.at(62), QStringLiteral("chkFormCreated"));
        QCOMPARE(order.at(68), QStringLiteral("chkMacroActions"));  // column 2 after column 1
        QCOMPARE(order.mid(76),
                 QStringList({"cmdStore", "cmdCancel", "cmdSelectAll", "cmdDeselectAll"}));
    }

    void emptyStoreOpensAllTickedAndStoreWritesEverySwitch() {
        SwitchStore store(path_);
        ConfigDialog dialog(store);
        QCOMPARE(CountTicked(dialog), ostrel::engine::kSwitchCount);
        QTest::mouseClick(Button(dialog, "cmdStore"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const auto stored = Stored(path_);
        QCOMPARE(stored.size(), ostrel::engine::kSwitchCount);
        for (const auto& info : SwitchTable()) {
            QCOMPARE(stored.value(Text(info.key)), QStringLiteral("True"));
        }
    }

    void deselectAllClearsOnlyThePageShowingAndCancelWritesNothing() {
        SwitchStore store(path_);
        {
            ConfigDialog dialog(store);
            dialog.Tabs()->setCurrentIndex(2);  // Fields
            QTest::mouseClick(Button(dialog, "cmdDeselectAll"), Qt::LeftButton);
            QCOMPARE(CountTicked(dialog), ostrel::engine::kSwitchCount - 15);
            for (int i = 0; i < ostrel::engine::kSwitchCount; ++i) {
                const bool fields =
                    SwitchLayout()[static_cast<std::size_t>(i)].page == SwitchPage::Fields;
                QCOMPARE(dialog.CheckBox(i)->isChecked(), !fields);
            }
            QTest::mouseClick(Button(dialog, "cmdCancel"), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QVERIFY(!QFile::exists(path_));
        ConfigDialog reopened(store);
        QCOMPARE(CountTicked(reopened), ostrel::engine::kSwitchCount);
    }

    void storeAfterClearingTheDatabasePage() {
        SwitchStore store(path_);
        ConfigDialog dialog(store);
        dialog.Tabs()->setCurrentIndex(0);
        dialog.DeselectAllOnPage();
        dialog.StoreSwitches();
        const auto stored = Stored(path_);
        for (std::size_t i = 0; i < SwitchTable().size(); ++i) {
            QCOMPARE(stored.value(Text(SwitchTable()[i].key)),
                     i < 5 ? QStringLiteral("False") : QStringLiteral("True"));
        }
    }

    void selectAllOnQueriesTicksTheParameterBoxesToo() {
        SwitchStore store(path_);
        ConfigDialog dialog(store);
        for (int i = 0; i < ostrel::engine::kSwitchCount; ++i) {
            dialog.CheckBox(i)->setChecked(false);
        }
        dialog.Tabs()->setCurrentIndex(5);
        QTest::mouseClick(Button(dialog, "cmdSelectAll"), Qt::LeftButton);
        QCOMPARE(CountTicked(dialog), 10);
        QVERIFY(dialog.findChild<QCheckBox*>("chkParameterDirection")->isChecked());
        QVERIFY(dialog.findChild<QCheckBox*>("chkParameterType")->isChecked());
        QVERIFY(dialog.findChild<QCheckBox*>("ChkQueryReturnsRecords")->isChecked());
    }

    void dataUpdatableAndUpdatableFieldAreSeparateSwitches() {
        SwitchStore store(path_);
        for (const char* cleared : {"chkFieldDataUpdatable", "chkFieldUpdatable"}) {
            {
                ConfigDialog dialog(store);
                dialog.Tabs()->setCurrentIndex(2);
                dialog.SelectAllOnPage();
                QTest::mouseClick(dialog.findChild<QCheckBox*>(cleared), Qt::LeftButton);
                dialog.StoreSwitches();
            }
            const bool data = QString::fromLatin1(cleared) == "chkFieldDataUpdatable";
            const auto stored = Stored(path_);
            QCOMPARE(stored.value("Field DataUpdatable"),
                     data ? QStringLiteral("False") : QStringLiteral("True"));
            QCOMPARE(stored.value("Field UpdatableField"),
                     data ? QStringLiteral("True") : QStringLiteral("False"));
            ConfigDialog reopened(store);
            QCOMPARE(reopened.findChild<QCheckBox*>("chkFieldDataUpdatable")->isChecked(), !data);
            QCOMPARE(reopened.findChild<QCheckBox*>("chkFieldUpdatable")->isChecked(), data);
        }
    }

    void valuesStoredUnderTheSectionsSpellingShowInTheDialog() {
        SwitchStore store(path_);
        store.SaveReportSwitches(
            {{"Table AttachExclusive", false}, {"Table ReplicaFilter", false}});
        ConfigDialog dialog(store);
        QVERIFY(!dialog.findChild<QCheckBox*>("chkTableAttachExclusive")->isChecked());
        QVERIFY(!dialog.findChild<QCheckBox*>("chkTableReplicaFilter")->isChecked());
        QCOMPARE(CountTicked(dialog), ostrel::engine::kSwitchCount - 2);
    }

    void unreadableValuesShowTickedWithANote() {
        QFile file(path_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Config]\nQuery%20SQL=perhaps\nQuery%20Type=False\n");
        file.close();
        SwitchStore store(path_);
        ConfigDialog dialog(store);
        QVERIFY(dialog.findChild<QCheckBox*>("chkQuerySql")->isChecked());
        QVERIFY(!dialog.findChild<QCheckBox*>("chkQueryType")->isChecked());
        auto* note = dialog.findChild<QLabel*>("lblUnreadable");
        QVERIFY(!note->isHidden());
        QVERIFY2(note->text().contains("Query SQL"), qPrintable(note->text()));
        dialog.StoreSwitches();
        QCOMPARE(Stored(path_).value("Query SQL"), QStringLiteral("True"));
    }

    void aFailedStoreKeepsTheDialogOpenAndSaysWhy() {
        QFile plain(dir_.filePath("plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        SwitchStore store(dir_.filePath("plain/Ostrel2.ini"));
        ConfigDialog dialog(store);
        QString shown;
        dialog.SetStoreErrorHandler([&shown](const QString& text) { shown = text; });
        dialog.show();
        dialog.StoreSwitches();
        QVERIFY2(shown.contains("cannot be stored"), qPrintable(shown));
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(TestConfigDialog)
#include "test_config_dialog.moc"
