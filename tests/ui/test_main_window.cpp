#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "components/memory/memory_database.h"
#include "settings/config_dialog.h"
#include "settings/switch_store.h"
#include "ui/app/about_box.h"
#include "ui/app/help_system.h"
#include "ui/app/main_window.h"
#include "ui/app/object_pickers.h"
#include "ui/app/recent_databases.h"
#include "ui_fakes.h"

using namespace ostrel;
using ostrel::ui::MainWindow;
using ostrel::ui::testing::RecordingMessages;
using ostrel::ui::testing::ScriptedDialogs;
using ostrel::ui::testing::ScriptedRunner;

namespace {

memory::TableBlueprint Table(const char* name) {
    memory::TableBlueprint table;
    table.name = name;
    return table;
}

memory::DatabaseBlueprint Northwind() {
    memory::DatabaseBlueprint db;
    for (const char* name :
         {"MSysObjects", "Customers", "msysLocal", "USysSettings", "MSYS", "MSy", "Orders"}) {
        db.tables.push_back(Table(name));
    }
    for (const char* name : {"Current Orders", "MSysQuery", "orders by customer"}) {
        memory::QueryBlueprint query;
        query.name = name;
        db.queries.push_back(query);
    }
    return db;
}

memory::DatabaseBlueprint Second() {
    memory::DatabaseBlueprint db;
    db.tables.push_back(Table("Suppliers"));
    return db;
}

QStringList Rows(const QListWidget& picker, bool tickedOnly = false) {
    QStringList rows;
    for (int i = 0; i < picker.count(); ++i) {
        if (!tickedOnly || picker.item(i)->checkState() == Qt::Checked) {
            rows << picker.item(i)->text();
        }
    }
    return rows;
}

// Presses the named button of the next modal dialog once it is showing.
void AnswerNextModal(const QString& buttonName, QString* seenTitle = nullptr,
                     bool* okVisible = nullptr) {
    QTimer::singleShot(0, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        if (seenTitle != nullptr) {
            *seenTitle = modal->windowTitle();
        }
        auto* button = modal->findChild<QPushButton*>(buttonName);
        QVERIFY(button != nullptr);
        if (okVisible != nullptr) {
            *okVisible = button->isVisible();
        }
        button->click();
    });
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<memory::MemoryEngine> engine_;
    std::unique_ptr<settings::SwitchStore> store_;
    std::unique_ptr<ui::ContextIDs> help_;
    RecordingMessages messages_;
    ScriptedDialogs dialogs_;
    ScriptedRunner runner_;
    int previewsLoaded_ = 0;
    std::unique_ptr<MainWindow> window_;

    template <class T>
    T* Find(const char* name) const {
        T* found = window_->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qWarning("no control %s", name);
        }
        return found;
    }
    QListWidget& Tables() const { return *Find<QListWidget>("vsFlexTables"); }
    QListWidget& Queries() const { return *Find<QListWidget>("vsFlexQueries"); }

    // Clicks an option button on its caption (the button is wider than that).
    void Pick(const char* name) {
        auto* option = Find<QRadioButton>(name);
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
    }

    void Choose(const QString& path) {
        dialogs_.databaseAnswers.push_back(path);
        Find<QPushButton>("cmdBrowse1")->click();
    }

    // A database file that exists on disk (the recent list drops the others),
    // with the tables given.
    QString RealDatabase(const QString& name, std::initializer_list<const char*> tables) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("read from memory");
        file.close();
        memory::DatabaseBlueprint db;
        for (const char* table : tables) {
            db.tables.push_back(Table(table));
        }
        engine_->Register(path.toStdString(), db);
        return path;
    }

    // Types into the Database box and leaves it as the keyboard would.
    void Type(const QString& path, Qt::Key leaveWith = Qt::Key_Return) {
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        auto* box = Find<QLineEdit>("txtTable");
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, path);
        QTest::keyClick(box, leaveWith);
        QTest::qWait(0);  // the path is looked at once the key is over
    }

    QStringList RecentMenu() const {
        QMenu* menu = window_->findChild<QMenu*>(QStringLiteral("mnuFileRecent"));
        emit menu->aboutToShow();
        QStringList entries;
        for (QAction* action : menu->actions()) {
            entries << action->data().toString();
        }
        return entries;
    }

  private slots:
    void init() {
        engine_ = std::make_unique<memory::MemoryEngine>();
        engine_->Register("/data/northwind.mdb", Northwind());
        engine_->Register("/data/second.mdb", Second());
        QFile::remove(dir_.filePath("Ostrel2.ini"));
        store_ = std::make_unique<settings::SwitchStore>(dir_.filePath("Ostrel2.ini"));
        help_ = std::make_unique<ui::ContextIDs>();
        help_->SetHelpFile(QStringLiteral(OSTREL_HELP_FILE));
        messages_.shown.clear();
        dialogs_ = ScriptedDialogs();
        runner_ = ScriptedRunner();
        previewsLoaded_ = 0;
        window_ = std::make_unique<MainWindow>(ui::MainWindowServices{
            .engine = *engine_,
            .switches = *store_,
            .runner = runner_,
            .help = *help_,
            .messages = messages_,
            .fileDialogs = dialogs_,
            .loadPreview = [this](QWidget*) -> std::unique_ptr<engine::PagedOutput> {
                ++previewsLoaded_;
                return nullptr;
            }});
        help_->InitHelp(window_.get());
        window_->show();
    }
    void cleanup() {
        window_.reset();
        help_.reset();
    }

    void openingAFileAsFromTheCommandLineFillsThePickers() {
        window_->OpenDatabase(QStringLiteral("/data/northwind.mdb"));
        QCOMPARE(Find<QLineEdit>("txtTable")->text(), QStringLiteral("/data/northwind.mdb"));
        QCOMPARE(Rows(Tables(), true), QStringList({"Customers", "USysSettings", "MSy", "Orders"}));
        QCOMPARE(Rows(Queries(), true).size(), 3);
    }

    void aDroppedDatabaseFillsThePickersAndOtherFilesAreRefused() {
        const QString second = RealDatabase("dropped.MDB", {"Dropped"});
        const auto drop = [this](const QString& file) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(file)});
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(window_.get(), &enter);
            if (!enter.isAccepted()) {
                return false;
            }
            QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(window_.get(), &dropped);
            QTest::qWait(0);
            return true;
        };
        QVERIFY(!drop(dir_.filePath("notes.txt")));
        QVERIFY(drop(second));
        QTRY_COMPARE(Rows(Tables()), QStringList({"Dropped"}));
        QCOMPARE(Find<QLineEdit>("txtTable")->text(), second);
        QVERIFY(!Find<QLineEdit>("txtTable")->acceptDrops());  // the window takes it
    }

    void thePickersFollowATypedPath() {
        Choose("/data/northwind.mdb");
        Type("/data/second.mdb");  // Enter
        QCOMPARE(Rows(Tables()), QStringList({"Suppliers"}));
        QVERIFY(messages_.shown.empty());

        // Leaving the box by Tab does the same; a path that cannot be read
        // empties both lists and says why, once.
        Type("/data/nothing-here.mdb", Qt::Key_Tab);
        QVERIFY(Rows(Tables()).isEmpty());
        QVERIFY(Rows(Queries()).isEmpty());
        QVERIFY(window_->PickerDatabase() == nullptr);
        QCOMPARE(messages_.shown.size(), std::size_t{1});
        QVERIFY(messages_.shown[0].text.contains("/data/nothing-here.mdb"));
        Find<QLineEdit>("txtTable")->setFocus();
        Find<QPushButton>("cmdStart")->setFocus();
        QCOMPARE(messages_.shown.size(), std::size_t{1});
    }

    void startFillsThePickersFromAPathTypedButNotLeft() {
        const QString typed = RealDatabase("typed.mdb", {"Typed"});
        Choose("/data/northwind.mdb");
        QStringList seen;
        runner_.onRun = [&seen, this](const engine::RunRequest&, engine::RunPorts&) {
            seen = Rows(Tables(), true);
        };
        Find<QLineEdit>("txtTable")->setText(typed);  // no editing finished yet
        window_->StartReport();
        QCOMPARE(runner_.runs, 1);
        QCOMPARE(seen, QStringList({"Typed"}));
    }

    void everyControlIsReachedByTabInReadingOrderAndStartRunsFromTheKeyboard() {
        Choose("/data/northwind.mdb");
        Pick("optTarget1");  // the CSV box is enabled
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        Find<QLineEdit>("txtTable")->setFocus();
        QStringList order;
        for (int i = 0; i < 12; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order.mid(0, 9),
                 QStringList({"txtTable", "cmdBrowse1", "optTarget1", "txtCSVFile", "cmdBrowseCSV",
                              "qt_tabwidget_tabbar", "vsFlexTables", "cmdStart", "txtTable"}));
        // The Queries list is reached when its page shows.
        Find<QTabWidget>("vsTab1")->setCurrentIndex(1);
        Find<QTabWidget>("vsTab1")->tabBar()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), &Queries());

        Find<QPushButton>("cmdStart")->setFocus();
        QTest::keyClick(Find<QPushButton>("cmdStart"), Qt::Key_Space);
        QCOMPARE(runner_.runs, 1);
    }

    void spaceAndCtrlATickFromTheKeyboard() {
        Choose("/data/northwind.mdb");
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        Tables().setFocus();
        QTest::keyClick(&Tables(), Qt::Key_Space);  // the first row
        QCOMPARE(Tables().item(0)->checkState(), Qt::Unchecked);
        QTest::keyClick(&Tables(), Qt::Key_Down);
        QTest::keyClick(&Tables(), Qt::Key_Space);
        QCOMPARE(Rows(Tables(), true), QStringList({"MSy", "Orders"}));
        QTest::keyClick(&Tables(), Qt::Key_Space);
        QCOMPARE(Rows(Tables(), true), QStringList({"USysSettings", "MSy", "Orders"}));

        QTest::keyClick(&Tables(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(Rows(Tables(), true).isEmpty());
        QCOMPARE(Rows(Queries(), true).size(), 3);  // only the list showing
        QTest::keyClick(&Tables(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(Rows(Tables(), true), Rows(Tables()));

        Find<QTabWidget>("vsTab1")->setCurrentIndex(1);
        Queries().setFocus();
        QTest::keyClick(&Queries(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(Rows(Queries(), true).isEmpty());
        QCOMPARE(Rows(Tables(), true).size(), 4);

        // In a text box Ctrl+A still selects its text.
        auto* box = Find<QLineEdit>("txtTable");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(box->selectedText(), box->text());
        QVERIFY(Rows(Queries(), true).isEmpty());
    }

    void theRecentListKeepsTheLastOpenedNewestFirst() {
        const QString a = RealDatabase("a.mdb", {"A"});
        const QString b = RealDatabase("b.mdb", {"B"});
        // Usable at once, in the run that opened the database.
        auto* submenu = window_->findChild<QAction*>(QStringLiteral("mnuFileRecentMenu"));
        QVERIFY(!submenu->isEnabled());
        Choose(a);
        QVERIFY(submenu->isEnabled());
        auto* first = window_->findChild<QAction*>(QStringLiteral("mnuFileRecent1"));
        QVERIFY(first != nullptr && first->text().endsWith(a));
        Choose(b);
        window_->OpenDatabase(a);
        QCOMPARE(RecentMenu(), QStringList({a, b}));

        // An entry whose file has gone is dropped; one chosen opens it.
        QFile::remove(b);
        QCOMPARE(RecentMenu(), QStringList({a}));
        Choose("/data/second.mdb");
        QMenu* menu = window_->findChild<QMenu*>(QStringLiteral("mnuFileRecent"));
        emit menu->aboutToShow();
        QAction* entry = window_->findChild<QAction*>(QStringLiteral("mnuFileRecent1"));
        QVERIFY(entry != nullptr);
        QVERIFY(entry->text().endsWith(a));
        entry->trigger();
        QCOMPARE(Rows(Tables()), QStringList({"A"}));
    }

    void theWindowRemembersItsSizeInAGroupOfItsOwn() {
        window_->resize(700, 460);
        window_->close();
        const QSettings ini(store_->FilePath(), QSettings::IniFormat);
        QVERIFY(ini.contains("MainWindow/Geometry"));
        QVERIFY(!ini.contains("Config/Geometry"));
        window_ = std::make_unique<MainWindow>(ui::MainWindowServices{.engine = *engine_,
                                                                      .switches = *store_,
                                                                      .runner = runner_,
                                                                      .help = *help_,
                                                                      .messages = messages_,
                                                                      .fileDialogs = dialogs_,
                                                                      .loadPreview = {}});
        QCOMPARE(window_->size(), QSize(700, 460));
    }

    void controlsAndMenus() {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Ostrel2"));
        for (const char* name :
             {"txtTable", "cmdBrowse1", "optTarget0", "optTarget1", "txtCSVFile", "cmdBrowseCSV",
              "vsTab1", "vsFlexTables", "vsFlexQueries", "cmdStart", "StatusBar1"}) {
            QVERIFY2(window_->findChild<QWidget*>(name) != nullptr, name);
        }
        QCOMPARE(Find<QRadioButton>("optTarget0")->text().remove('&'),
                 QStringLiteral("Output to print preview window"));
        QCOMPARE(Find<QRadioButton>("optTarget1")->text().remove('&'),
                 QStringLiteral("Output to CSV file :"));
        auto* group = Find<QButtonGroup>("optTarget");
        QCOMPARE(group->id(Find<QRadioButton>("optTarget0")), 0);
        QCOMPARE(group->id(Find<QRadioButton>("optTarget1")), 1);
        QCOMPARE(Find<QPushButton>("cmdStart")->text().remove('&'), QStringLiteral("Start"));
        auto* tabs = Find<QTabWidget>("vsTab1");
        QCOMPARE(tabs->tabText(0).remove('&'), QStringLiteral("Tables"));
        QCOMPARE(tabs->tabText(1).remove('&'), QStringLiteral("Queries"));
        QCOMPARE(tabs->widget(0), &Tables());
        QCOMPARE(tabs->widget(1), &Queries());

        // Menus in order, separator before About.
        const QList<QAction*> menus = window_->menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[0]->menu()->objectName(), QStringLiteral("mnuFile"));
        QCOMPARE(menus[0]->text().remove('&'), QStringLiteral("File"));
        QCOMPARE(menus[1]->menu()->objectName(), QStringLiteral("mnuHelp"));
        QStringList file;
        for (QAction* item : menus[0]->menu()->actions()) {
            file << item->objectName() + "=" + item->text().remove('&');
        }
        QCOMPARE(file, QStringList({"mnuFileConfigure=Configure",
                                    QStringLiteral("mnuFileCompare=Compare With\u2026"),
                                    QStringLiteral("mnuFileSaveHtml=Save Report as HTML\u2026"),
                                    QStringLiteral("mnuFileExportCode=Export Code\u2026"),
                                    QStringLiteral("mnuFileLinkFolders=Link Folders\u2026"),
                                    "mnuFileRecentMenu=Recent Databases", "mnuFileExit=Exit"}));
        QStringList help;
        for (QAction* item : menus[1]->menu()->actions()) {
            help << item->objectName() + "=" +
                        (item->isSeparator() ? QStringLiteral("-") : item->text().remove('&'));
        }
        QCOMPARE(help, QStringList({"mnuHelpContents=Contents and Index",
                                    "mnuHelpSupport=Obtaining Support", "mnuHelpSep=-",
                                    "mnuAbout=About Vantor Tools"}));
        // Two status panels.
        QVERIFY(Find<QLabel>("Panel1") != nullptr);
        QVERIFY(Find<QLabel>("Panel2") != nullptr);
    }

    void previewIsChosenAtStartAndTheCsvBoxFollowsTheChoice() {
        QVERIFY(Find<QRadioButton>("optTarget0")->isChecked());
        QVERIFY(!Find<QLineEdit>("txtCSVFile")->isEnabled());
        QCOMPARE(window_->Request().target, engine::ReportTarget::Preview);
        Pick("optTarget1");
        QVERIFY(Find<QLineEdit>("txtCSVFile")->isEnabled());
        QCOMPARE(window_->Request().target, engine::ReportTarget::CsvFile);
        Pick("optTarget0");
        QVERIFY(!Find<QLineEdit>("txtCSVFile")->isEnabled());
        window_->SetCsvTarget(true);
        QVERIFY(Find<QLineEdit>("txtCSVFile")->isEnabled());
    }

    void choosingADatabaseFillsBothPickersTicked() {
        QVERIFY(
            !window_->IsSelected(engine::ObjectKind::Table, "Customers"));  // nothing filled yet
        Choose("/data/northwind.mdb");
        QCOMPARE(Find<QLineEdit>("txtTable")->text(), QStringLiteral("/data/northwind.mdb"));
        QCOMPARE(Rows(Tables()), QStringList({"Customers", "USysSettings", "MSy", "Orders"}));
        QCOMPARE(Rows(Tables(), true), Rows(Tables()));
        QCOMPARE(Rows(Queries()),
                 QStringList({"Current Orders", "MSysQuery", "orders by customer"}));
        QCOMPARE(Rows(Queries(), true), Rows(Queries()));
        QVERIFY(window_->PickerDatabase() != nullptr);
        QVERIFY(messages_.shown.empty());
    }

    // Forms, reports, macros and modules have tabs of their own, shown only
    // for a database that holds objects of the kind.
    void applicationObjectsGetTheirPickersOnlyWhenHeld() {
        memory::DatabaseBlueprint application = Northwind();
        for (const char* name : {"Orders", "~sq_fOrders"}) {
            application.forms.emplace_back().name = name;
        }
        for (const char* name : {"Utilities", "Form_Orders"}) {
            application.modules.emplace_back().name = name;
        }
        engine_->Register("/data/application.mdb", application);
        auto* tabs = Find<QTabWidget>("vsTab1");
        const auto visible = [tabs](const char* name) {
            return tabs->isTabVisible(tabs->indexOf(tabs->findChild<QWidget*>(name)));
        };
        Choose("/data/application.mdb");
        QVERIFY(visible("vsFlexForms") && visible("vsFlexModules"));
        QVERIFY(!visible("vsFlexReports") && !visible("vsFlexMacros"));
        QCOMPARE(Rows(*Find<QListWidget>("vsFlexForms"), true), QStringList({"Orders"}));
        QVERIFY(window_->IsSelected(engine::ObjectKind::Module, "Utilities"));
        Find<QListWidget>("vsFlexModules")->item(0)->setCheckState(Qt::Unchecked);
        QVERIFY(!window_->IsSelected(engine::ObjectKind::Module, "Utilities"));
        QVERIFY(window_->IsSelected(engine::ObjectKind::Module, "Form_Orders"));
        QVERIFY(!window_->IsSelected(engine::ObjectKind::Form, "~sq_fOrders"));

        Choose("/data/northwind.mdb");
        QVERIFY(!visible("vsFlexForms") && !visible("vsFlexModules"));
    }

    void lookUpsAreExactAndFollowTheTicks() {
        Choose("/data/northwind.mdb");
        QVERIFY(window_->IsSelected(engine::ObjectKind::Table, "Orders"));
        QVERIFY(!window_->IsSelected(engine::ObjectKind::Table, "orders"));
        QVERIFY(!window_->IsSelected(engine::ObjectKind::Table, "MSysObjects"));
        QVERIFY(window_->IsSelected(engine::ObjectKind::Query, "orders by customer"));
        QVERIFY(!window_->IsSelected(engine::ObjectKind::Query, "Orders by customer"));
        Tables().item(3)->setCheckState(Qt::Unchecked);
        QVERIFY(!window_->IsSelected(engine::ObjectKind::Table, "Orders"));
        QVERIFY(window_->IsSelected(engine::ObjectKind::Table, "Customers"));
        // Two rows with one name: either ticked is enough.
        ui::FillTicked(Tables(), {"Twice", "Twice"});
        Tables().item(0)->setCheckState(Qt::Unchecked);
        QVERIFY(window_->IsSelected(engine::ObjectKind::Table, "Twice"));
        Tables().item(1)->setCheckState(Qt::Unchecked);
        QVERIFY(!window_->IsSelected(engine::ObjectKind::Table, "Twice"));
    }

    void msysFilter_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("listed");
        QTest::newRow("MSysObjects") << "MSysObjects" << false;
        QTest::newRow("msysfoo") << "msysfoo" << false;
        QTest::newRow("MSYS") << "MSYS" << false;
        QTest::newRow("MSy") << "MSy" << true;
        QTest::newRow("USysSettings") << "USysSettings" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("XMSYS") << "XMSYS" << true;
        QTest::newRow("multi-valued field's values")
            << "f_0BFE159C44334BFB968A820EA89C2D7E_Tags" << false;
        QTest::newRow("f_ with 31 digits") << "f_0BFE159C44334BFB968A820EA89C2D7_Tags" << true;
    }
    void msysFilter() {
        QFETCH(QString, name);
        QFETCH(bool, listed);
        QCOMPARE(ui::IsListedTable(name), listed);
    }

    void aSecondDatabaseReplacesBothLists() {
        Choose("/data/northwind.mdb");
        const schema::Database* first = window_->PickerDatabase();
        Choose("/data/second.mdb");
        QCOMPARE(Rows(Tables()), QStringList({"Suppliers"}));
        QVERIFY(Rows(Queries()).isEmpty());
        QVERIFY(window_->PickerDatabase() != first);
    }

    void aFailedFillSaysWhyAndChangesNothing() {
        Choose("/data/northwind.mdb");
        Tables().item(0)->setCheckState(Qt::Unchecked);
        const schema::Database* kept = window_->PickerDatabase();

        // Not a database.
        Choose("/data/missing.mdb");
        QCOMPARE(messages_.shown.size(), std::size_t{1});
        QVERIFY2(messages_.shown[0].text.contains("/data/missing.mdb"),
                 qPrintable(messages_.shown[0].text));
        QCOMPARE(messages_.shown[0].caption, QStringLiteral("Ostrel2"));
        QCOMPARE(Rows(Tables()), QStringList({"Customers", "USysSettings", "MSy", "Orders"}));
        QCOMPARE(Tables().item(0)->checkState(), Qt::Unchecked);
        QCOMPARE(window_->PickerDatabase(), kept);

        // A database whose catalogue fails half way: nothing of it is shown.
        memory::DatabaseBlueprint damaged = Second();
        memory::TableBlueprint broken = Table("Broken");
        broken.refused = {"Name"};
        damaged.tables.push_back(broken);
        engine_->Register("/data/damaged.mdb", damaged);
        Choose("/data/damaged.mdb");
        QCOMPARE(messages_.shown.size(), std::size_t{2});
        QVERIFY2(messages_.shown[1].text.contains("Name"), qPrintable(messages_.shown[1].text));
        QCOMPARE(Rows(Tables()).size(), 4);
        QCOMPARE(window_->PickerDatabase(), kept);

        // An empty path.
        Find<QLineEdit>("txtTable")->clear();
        window_->PopulateTables();
        QCOMPARE(messages_.shown.size(), std::size_t{3});
        QCOMPARE(Rows(Tables()).size(), 4);
    }

    void cancellingTheDatabaseDialogKeepsPathAndTicks() {
        Choose("/data/northwind.mdb");
        Tables().item(1)->setCheckState(Qt::Unchecked);
        Find<QPushButton>("cmdBrowse1")->click();  // nothing queued: cancelled
        QCOMPARE(dialogs_.databaseStart.last(), QStringLiteral("/data/northwind.mdb"));
        QCOMPARE(Find<QLineEdit>("txtTable")->text(), QStringLiteral("/data/northwind.mdb"));
        QCOMPARE(Tables().item(1)->checkState(), Qt::Unchecked);
        QVERIFY(messages_.shown.empty());
    }

    void browsingForTheCsvFileOnlyCopiesTheName() {
        dialogs_.csvAnswers.push_back(QStringLiteral("/tmp/new-report.csv"));
        Find<QPushButton>("cmdBrowseCSV")->click();
        QCOMPARE(Find<QLineEdit>("txtCSVFile")->text(), QStringLiteral("/tmp/new-report.csv"));
        Find<QPushButton>("cmdBrowseCSV")->click();  // cancelled
        QCOMPARE(Find<QLineEdit>("txtCSVFile")->text(), QStringLiteral("/tmp/new-report.csv"));
        QVERIFY(Rows(Tables()).isEmpty());
    }

    void fileDialogsOfferTheRightFilesAndRules() {
        QFileDialog database;
        ui::SetUpDatabaseDialog(database, QString());
        QCOMPARE(database.nameFilters(),
                 QStringList({"Access Databases (*.mdb)", "Access 2007 Databases (*.accdb)"}));
        QCOMPARE(database.selectedNameFilter(), QStringLiteral("Access Databases (*.mdb)"));
        QCOMPARE(database.fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(database.acceptMode(), QFileDialog::AcceptOpen);
        QFileDialog csv;
        ui::SetUpCsvDialog(csv, dir_.filePath("report.csv"));
        QCOMPARE(csv.nameFilters(), QStringList({"CSV Files (*.csv)"}));
        QCOMPARE(csv.fileMode(), QFileDialog::AnyFile);  // a new name is accepted
        // A file to write: ".csv" is added and replacing one is confirmed.
        QCOMPARE(csv.acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(csv.defaultSuffix(), QStringLiteral("csv"));
        QVERIFY(!csv.testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(QDir(csv.directory()).absolutePath(), QDir(dir_.path()).absolutePath());
    }

    void theRunReadsTheWindowAndWritesTheStatusBar() {
        Choose("/data/northwind.mdb");
        Find<QLineEdit>("txtCSVFile")->setText("/tmp/out.csv");
        Pick("optTarget1");
        runner_.onRun = [](const engine::RunRequest& request, engine::RunPorts& ports) {
            QCOMPARE(request.databasePath, std::string("/data/northwind.mdb"));
            QCOMPARE(request.outputPath, std::string("/tmp/out.csv"));
            QCOMPARE(request.target, engine::ReportTarget::CsvFile);
            ports.status.SetStatusText(1, "Pass 2");
            ports.status.SetStatusText(2, "Processing table : Orders");
            ports.status.RepaintStatus();
            ports.messages.ShowMessage("Database does not exist", engine::MessageIcon::Exclamation,
                                       "Ostrel2");
            QVERIFY(request.pagedOutput() == nullptr);
        };
        QTest::mouseClick(Find<QPushButton>("cmdStart"), Qt::LeftButton);
        QCOMPARE(runner_.runs, 1);
        QCOMPARE(Find<QLabel>("Panel1")->text(), QStringLiteral("Pass 2"));
        QCOMPARE(Find<QLabel>("Panel2")->text(), QStringLiteral("Processing table : Orders"));
        QCOMPARE(messages_.shown.size(), std::size_t{1});
        QCOMPARE(messages_.shown[0].icon, engine::MessageIcon::Exclamation);
        QCOMPARE(previewsLoaded_, 1);
    }

    void aRunSeesTheSwitchesStoredBeforeIt() {
        bool seen = true;
        runner_.onRun = [this, &seen](const engine::RunRequest&, engine::RunPorts&) {
            seen = store_->GetReportSwitch("Query SQL");
        };
        settings::SwitchStore elsewhere(store_->FilePath());
        QVERIFY(store_->GetReportSwitch("Query SQL"));  // snapshot taken before the change
        elsewhere.SaveReportSwitch("Query SQL", false);
        window_->StartReport();
        QVERIFY(!seen);
    }

    void aFailureEscapingTheRunIsReported() {
        runner_.onRun = [](const engine::RunRequest&, engine::RunPorts&) {
            throw std::runtime_error("disk full");
        };
        window_->StartReport();
        QCOMPARE(messages_.shown.size(), std::size_t{1});
        QVERIFY(messages_.shown[0].text.contains("disk full"));
        QVERIFY(window_->isVisible());
    }

    void helpMenuOpensContentsAndSupportAndClosesWithTheWindow() {
        Find<QAction>("mnuHelpContents")->trigger();
        QPointer<ui::HelpViewer> viewer = help_->Viewer();
        QVERIFY(viewer != nullptr);
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->CurrentContext(), 0);
        QVERIFY(viewer->Browser()->toPlainText().contains("Contents"));
        Find<QAction>("mnuHelpSupport")->trigger();
        QCOMPARE(help_->Viewer(), viewer.data());  // one viewer
        QCOMPARE(viewer->CurrentContext(), ui::kHelpSupport);
        QVERIFY(viewer->Browser()->toPlainText().contains("Obtaining support"));

        Find<QAction>("mnuFileExit")->trigger();
        QVERIFY(!window_->isVisible());
        QTRY_VERIFY(viewer.isNull() || !viewer->isVisible());
    }

    void closingTheWindowSignalsTheEnd() {
        QSignalSpy unloaded(window_.get(), &MainWindow::unloaded);
        window_->close();
        QCOMPARE(unloaded.count(), 1);
    }

    void aboutFromTheMenuIsModalWithOk() {
        QString title;
        bool okVisible = false;
        AnswerNextModal("cmdOK", &title, &okVisible);
        Find<QAction>("mnuAbout")->trigger();  // returns once OK was pressed
        QCOMPARE(title, QStringLiteral("About Ostrel2"));
        QVERIFY(okVisible);
    }

    void configureOpensTheDialogOnTheStore() {
        QString title;
        AnswerNextModal("cmdStore", &title);
        Find<QAction>("mnuFileConfigure")->trigger();
        QCOMPARE(title, QStringLiteral("OSTREL2 - Configuration"));
        QVERIFY(QFile::exists(store_->FilePath()));
        settings::SwitchStore reread(store_->FilePath());
        QVERIFY(reread.GetReportSwitch("Query SQL"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
