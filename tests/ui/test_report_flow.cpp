// The main flows of the program, end to end: choose a database, untick
// objects, run a report to a CSV file or to the preview window.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

#include "components/jet/jet_engine.h"
#include "components/memory/memory_database.h"
#include "settings/switch_store.h"
#include "tools/jetgen/generator.h"
#include "ui/app/engine_report_runner.h"
#include "ui/app/help_system.h"
#include "ui/app/link_folders.h"
#include "ui/app/main_window.h"
#include "ui/preview/preview_dialog.h"
#include "ui_fakes.h"

using namespace ostrel;
using ostrel::ui::MainWindow;
using ostrel::ui::testing::RecordingMessages;
using ostrel::ui::testing::ScriptedDialogs;

namespace {

memory::DatabaseBlueprint Shop() {
    memory::DatabaseBlueprint db;
    for (const char* name : {"MSysObjects", "Customers", "Orders", "Products"}) {
        memory::TableBlueprint table;
        table.name = name;
        memory::FieldBlueprint id;
        id.name = "ID";
        id.type = schema::data_type::kLong;
        id.size = 4;
        table.fields.push_back(id);
        table.recordCount = 7;
        db.tables.push_back(table);
    }
    for (const char* name : {"Big Orders", "Customer List"}) {
        memory::QueryBlueprint query;
        query.name = name;
        query.sql = "SELECT * FROM Orders;";
        db.queries.push_back(query);
    }
    return db;
}

QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

// The objects a report documents, from its object headings.
QStringList Headings(const QString& report, const QString& prefix) {
    QStringList names;
    for (const QString& line : report.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(prefix)) {
            names << line.mid(prefix.size());
        }
    }
    return names;
}

}  // namespace

class TestReportFlow : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    RecordingMessages messages_;
    ScriptedDialogs dialogs_;
    ui::ContextIDs help_;
    std::unique_ptr<settings::SwitchStore> store_;
    std::unique_ptr<engine::ValueFormatter> formatter_ = engine::MakeLocaleFormatter();

    std::unique_ptr<MainWindow> MakeWindow(schema::SchemaEngine& engine, ui::ReportRunner& runner) {
        auto window = std::make_unique<MainWindow>(ui::MainWindowServices{
            .engine = engine,
            .switches = *store_,
            .runner = runner,
            .help = help_,
            .messages = messages_,
            .fileDialogs = dialogs_,
            .loadPreview = [](QWidget* parent) -> std::unique_ptr<engine::PagedOutput> {
                return std::make_unique<ui::PreviewDialog>(parent);
            }});
        window->show();
        return window;
    }

    // Acts on the modal window of type T as soon as one is open.
    template <class T>
    static void WhenOpen(QObject* context, std::function<void(T*)> act) {
        auto* timer = new QTimer(context);
        QObject::connect(timer, &QTimer::timeout, context, [timer, act] {
            if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
                timer->stop();
                timer->deleteLater();
                act(window);
            }
        });
        timer->start(10);
    }

    static void Pick(MainWindow& window, const char* option) {
        auto* button = window.findChild<QRadioButton*>(option);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }

    // Chooses the database, unticks the named objects, runs to a CSV file and
    // returns the file's text.
    QString RunToCsv(MainWindow& window, const QString& database, const QStringList& untickTables,
                     const QStringList& untickQueries) {
        dialogs_.databaseAnswers.push_back(database);
        window.findChild<QPushButton*>("cmdBrowse1")->click();
        for (auto [pickerName, untick] :
             {std::pair("vsFlexTables", untickTables), std::pair("vsFlexQueries", untickQueries)}) {
            auto* picker = window.findChild<QListWidget*>(pickerName);
            for (const QString& name : untick) {
                const auto rows = picker->findItems(name, Qt::MatchExactly);
                if (rows.size() != 1) {
                    qWarning("no row %s", qPrintable(name));
                    return {};
                }
                rows.front()->setCheckState(Qt::Unchecked);
            }
        }
        const QString csv = dir_.filePath("report.csv");
        QFile::remove(csv);
        Pick(window, "optTarget1");
        window.findChild<QLineEdit*>("txtCSVFile")->setText(csv);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
        return ReadText(csv);
    }

  private slots:
    void init() {
        messages_.shown.clear();
        QFile::remove(dir_.filePath("Ostrel2.ini"));
        store_ = std::make_unique<settings::SwitchStore>(dir_.filePath("Ostrel2.ini"));
    }

    void csvReportHoldsExactlyTheTickedObjects() {
        // The run checks that the file exists before the engine opens it.
        const QString path = dir_.filePath("shop.mdb");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        memory::MemoryEngine engine;
        engine.Register(path.toStdString(), Shop());
        ui::EngineReportRunner runner(engine, *store_, *formatter_);
        auto window = MakeWindow(engine, runner);

        // Stored before the run: applies to it.
        settings::SwitchStore(store_->FilePath()).SaveReportSwitch("Table RecordCount", false);

        const QString report = RunToCsv(*window, path, {"Orders"}, {"Customer List"});
        QVERIFY(messages_.shown.empty());
        QVERIFY(report.startsWith("Ostrel2 Version 1.0.6\r\n\r\n"));
        QVERIFY(report.contains("On contents of : " + path + "\r\n"));
        QCOMPARE(Headings(report, "Table : "), QStringList({"Customers", "Products"}));
        QCOMPARE(Headings(report, "Query : "), QStringList({"Big Orders"}));
        QVERIFY(!report.contains(",RecordCount,"));
        QVERIFY(report.contains(",Updatable,True\r\n"));
        QCOMPARE(window->findChild<QLabel*>("Panel1")->text(),
                 QStringLiteral("Finished processing"));
        QCOMPARE(window->findChild<QLabel*>("Panel2")->text(), QString());
    }

    // File > Save Report as HTML writes the ticked objects as a page, beside
    // the database by default; the preview's Save as HTML closes it and does
    // the same.
    void htmlPageHoldsTheTickedObjectsFromTheMenuAndThePreview() {
        const QString path = dir_.filePath("shop.mdb");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        memory::MemoryEngine engine;
        engine.Register(path.toStdString(), Shop());
        ui::EngineReportRunner runner(engine, *store_, *formatter_);
        auto window = MakeWindow(engine, runner);
        dialogs_.databaseAnswers.push_back(path);
        window->findChild<QPushButton*>("cmdBrowse1")->click();
        window->findChild<QListWidget*>("vsFlexTables")
            ->findItems("Orders", Qt::MatchExactly)
            .front()
            ->setCheckState(Qt::Unchecked);

        const QString fromMenu = dir_.filePath("menu.html");
        dialogs_.htmlAnswers.push_back(fromMenu);
        window->findChild<QAction*>("mnuFileSaveHtml")->trigger();
        QCOMPARE(dialogs_.htmlStart.last(), dir_.filePath("shop.html"));
        const QString page = ReadText(fromMenu);
        QVERIFY(page.startsWith("<!DOCTYPE html>"));
        QVERIFY(page.contains("id=\"table-Customers\""));
        QVERIFY(!page.contains("id=\"table-Orders\""));
        QVERIFY(page.contains("id=\"query-Customer%20List\""));
        QVERIFY(messages_.shown.empty());

        const QString fromPreview = dir_.filePath("preview.html");
        dialogs_.htmlAnswers.push_back(fromPreview);
        Pick(*window, "optTarget0");
        WhenOpen<ui::PreviewDialog>(window.get(), [](ui::PreviewDialog* preview) {
            preview->findChild<QPushButton*>("cmdSaveHtml")->click();
        });
        QTest::mouseClick(window->findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
        QTRY_VERIFY(QFile::exists(fromPreview));
        QCOMPARE(ReadText(fromPreview).count("<article class=\"object\""), 4);
    }

    // File > Compare With... compares the chosen database (old) with the one
    // picked from the menu (new), over the ticked objects, to the CSV target.
    void compareWithComparesTheTickedObjects() {
        const QString oldPath = dir_.filePath("old.mdb");
        const QString newPath = dir_.filePath("new.mdb");
        for (const QString& path : {oldPath, newPath}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        memory::DatabaseBlueprint changed = Shop();
        changed.tables[1].fields[0].size = 8;  // Customers: changed
        changed.tables[2].fields[0].size = 8;  // Orders: unticked below
        changed.tables[3].name = "Stock";      // Products removed, Stock added
        changed.queries[0].sql = "SELECT 1 FROM Orders;";
        memory::MemoryEngine engine;
        engine.Register(oldPath.toStdString(), Shop());
        engine.Register(newPath.toStdString(), changed);
        ui::EngineReportRunner runner(engine, *store_, *formatter_);
        auto window = MakeWindow(engine, runner);

        RunToCsv(*window, oldPath, {"Orders"}, {});
        dialogs_.databaseAnswers.push_back(newPath);
        window->findChild<QAction*>("mnuFileCompare")->trigger();
        QVERIFY(messages_.shown.empty());
        const QString report = ReadText(dir_.filePath("report.csv"));
        QVERIFY(report.contains("Old database : " + oldPath + "\r\n"));
        QVERIFY(report.contains("New database : " + newPath + "\r\n"));
        QCOMPARE(Headings(report, "Table : "),
                 QStringList({"Customers,changed", "Products,removed", "Stock,added"}));
        QVERIFY(report.contains("Field - ID,changed\r\n,Size,4,8\r\n"));
        QCOMPARE(Headings(report, "Query : "), QStringList({"Big Orders,changed"}));

        // Cancelling the second choice runs nothing.
        QFile::remove(dir_.filePath("report.csv"));
        window->findChild<QAction*>("mnuFileCompare")->trigger();
        QVERIFY(!QFile::exists(dir_.filePath("report.csv")));
    }

  private:
    struct PreviewSeen {
        QString caption;
        QStringList visibleButtons;
        bool prevEnabled = false;
        bool modal = false;
    };

    // Runs a preview report of the database and closes the preview with
    // Cancel, noting what it showed.
    PreviewSeen RunPreview(const memory::DatabaseBlueprint& blueprint) {
        const QString path = dir_.filePath("preview.mdb");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.close();
        memory::MemoryEngine engine;
        engine.Register(path.toStdString(), blueprint);
        ui::EngineReportRunner runner(engine, *store_, *formatter_);
        auto window = MakeWindow(engine, runner);
        dialogs_.databaseAnswers.push_back(path);
        window->findChild<QPushButton*>("cmdBrowse1")->click();

        PreviewSeen seen;
        // The run lets events through while it works: wait for the window.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* preview = QApplication::activeModalWidget();
            if (preview == nullptr || preview->objectName() != QLatin1String("frmPreview")) {
                return;
            }
            poll.stop();
            seen.modal = true;
            seen.caption = preview->windowTitle();
            for (const char* name : {"cmdTransmit", "cmdCancel", "cmdNext", "cmdPrev"}) {
                auto* button = preview->findChild<QPushButton*>(name);
                if (button != nullptr && button->isVisible()) {
                    seen.visibleButtons << button->text().remove('&');
                }
            }
            seen.prevEnabled = preview->findChild<QPushButton*>("cmdPrev")->isEnabled();
            preview->findChild<QPushButton*>("cmdCancel")->click();
        });
        poll.start(5);
        QTest::mouseClick(window->findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
        if (!seen.modal) {
            qWarning("the preview window was not shown");
        }
        if (window->findChild<QLabel*>("Panel1")->text() != QLatin1String("Finished processing")) {
            qWarning("the run did not finish");
        }
        return seen;
    }

  private slots:
    void previewOfOnePage() {
        const PreviewSeen seen = RunPreview(memory::DatabaseBlueprint{});
        QVERIFY(seen.modal);
        QCOMPARE(seen.caption, QStringLiteral("Preview"));
        QCOMPARE(seen.visibleButtons, QStringList({"Print", "Cancel"}));
        QVERIFY(messages_.shown.empty());
    }

    void previewOfSeveralPages() {
        const PreviewSeen seen = RunPreview(Shop());
        QVERIFY(seen.modal);
        QVERIFY2(seen.caption.startsWith("Report Preview - Page 1 of "), qPrintable(seen.caption));
        QVERIFY(seen.caption.mid(27).toInt() > 1);
        QCOMPARE(seen.visibleButtons, QStringList({"Print", "Cancel", "Next Page", "Prev Page"}));
        QVERIFY(!seen.prevEnabled);
        QVERIFY(messages_.shown.empty());
    }

    void aMissingDatabaseIsReportedThroughTheMessageBoxes() {
        memory::MemoryEngine engine;
        ui::EngineReportRunner runner(engine, *store_, *formatter_);
        auto window = MakeWindow(engine, runner);
        window->findChild<QLineEdit*>("txtTable")->setText(dir_.filePath("nothing.mdb"));
        window->StartReport();
        QCOMPARE(messages_.shown.size(), std::size_t{1});
        QCOMPARE(messages_.shown[0].text,
                 QStringLiteral("Database does not exist\n\n%1\nThere is no file of this name.")
                     .arg(dir_.filePath("nothing.mdb")));
        QCOMPARE(messages_.shown[0].icon, engine::MessageIcon::Exclamation);
        QCOMPARE(messages_.shown[0].caption, QStringLiteral("Ostrel2"));
    }

    void realAccessFileToCsv() {
        const QString path = QStringLiteral(OSTREL_SOURCE_DIR "/samples/sample-business.mdb");
        jet::JetEngine engine;
        ui::EngineReportRunner runner(engine, *store_, *formatter_);
        auto window = MakeWindow(engine, runner);
        dialogs_.databaseAnswers.push_back(path);
        window->findChild<QPushButton*>("cmdBrowse1")->click();
        QVERIFY2(messages_.shown.empty(),
                 messages_.shown.empty() ? "" : qPrintable(messages_.shown[0].text));
        auto* tables = window->findChild<QListWidget*>("vsFlexTables");
        auto* queries = window->findChild<QListWidget*>("vsFlexQueries");
        QVERIFY(tables->count() > 0);
        QStringList ticked;
        for (int i = 1; i < tables->count(); ++i) {
            ticked << tables->item(i)->text();
        }
        QStringList tickedQueries;
        for (int i = 0; i < queries->count(); ++i) {
            tickedQueries << queries->item(i)->text();
        }
        const QString report = RunToCsv(*window, path, {tables->item(0)->text()}, {});
        QVERIFY2(messages_.shown.empty(),
                 messages_.shown.empty() ? "" : qPrintable(messages_.shown[0].text));
        QCOMPARE(Headings(report, "Table : "), ticked);
        QCOMPARE(Headings(report, "Query : "), tickedQueries);
    }

    // A long run stopped from the keyboard or with the status bar's Cancel
    // button: the window kept taking input while it worked, the earlier CSV
    // file is left as it was, and the window is usable again afterwards.
    void longRunIsCancelledWithEscapeOrTheCancelButton() {
        const QString path = dir_.filePath("large.mdb");
        QFile placeholder(path);
        QVERIFY(placeholder.open(QIODevice::WriteOnly));
        placeholder.close();
        memory::DatabaseBlueprint large = Shop();
        for (int t = 0; t < 3000; ++t) {
            memory::TableBlueprint table = large.tables[1];
            table.name = "Table" + std::to_string(t);
            for (int f = 1; f < 30; ++f) {
                table.fields.push_back(table.fields[0]);
                table.fields.back().name = "Field" + std::to_string(f);
            }
            large.tables.push_back(table);
        }
        memory::MemoryEngine engine;
        engine.Register(path.toStdString(), large);
        ui::EngineReportRunner runner(engine, *store_, *formatter_);
        auto window = MakeWindow(engine, runner);
        dialogs_.databaseAnswers.push_back(path);
        window->findChild<QPushButton*>("cmdBrowse1")->click();
        const QString csv = dir_.filePath("kept.csv");
        Pick(*window, "optTarget1");
        window->findChild<QLineEdit*>("txtCSVFile")->setText(csv);
        auto* start = window->findChild<QPushButton*>("cmdStart");
        auto* cancel = window->findChild<QPushButton*>("cmdCancelRun");
        QVERIFY(cancel != nullptr);
        QVERIFY(!cancel->isVisible());
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));

        for (const bool useEscape : {true, false}) {
            {
                QFile earlier(csv);
                QVERIFY(earlier.open(QIODevice::WriteOnly));
                earlier.write("earlier report\r\n");
            }
            bool sawCancel = false;
            bool startDisabled = false;
            QTimer::singleShot(0, [&] {
                sawCancel = cancel->isVisible();
                startDisabled = !start->isEnabled();
                if (useEscape) {
                    QTest::keyClick(window.get(), Qt::Key_Escape);
                } else {
                    cancel->click();
                }
            });
            QTest::mouseClick(start, Qt::LeftButton);
            QVERIFY(sawCancel);
            QVERIFY(startDisabled);
            QCOMPARE(window->findChild<QLabel*>("Panel1")->text(),
                     QStringLiteral("Report cancelled"));
            QCOMPARE(ReadText(csv), QStringLiteral("earlier report\r\n"));
            QVERIFY(messages_.shown.empty());
            QVERIFY(!cancel->isVisible());
            QVERIFY(start->isEnabled());
        }
        // Escape with no run going does nothing.
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QCOMPARE(window->findChild<QLabel*>("Panel1")->text(), QStringLiteral("Report cancelled"));
    }

    // A front end whose back end is not where its link says: the run
    // finishes and names the table with its report (in the preview, above the
    // page; after a CSV run, in a message). Once File > Link Folders names the
    // back end's folder, the next run finds it, without a restart.
    void splitDatabaseWithoutItsBackEnd() {
        jetgen::DatabaseDescription front;
        front.linkedTables.push_back(
            {"Clients", "Z:\\Sales\\Back.mdb", "Clients", std::nullopt, 0, 0});
        jetgen::DatabaseDescription back;
        jetgen::TableDescription clients;
        clients.name = "Clients";
        clients.columns.emplace_back();
        clients.columns.back().name = "Name";
        back.tables.push_back(clients);
        const QString path = dir_.filePath("front.mdb");
        jetgen::WriteDatabase(front, path.toStdString());
        QVERIFY(QDir(dir_.path()).mkpath("backs"));
        jetgen::WriteDatabase(back, dir_.filePath("backs/back.mdb").toStdString());
        const QString reason = "Clients: its source database 'Z:\\Sales\\Back.mdb' cannot be found";

        jet::JetEngine engine;
        ui::EngineReportRunner runner(engine, *store_, *formatter_);
        auto window = MakeWindow(engine, runner);
        QString report = RunToCsv(*window, path, {}, {});
        QVERIFY(report.contains(",Fields,cannot be listed because its source database "));
        QCOMPARE(window->findChild<QLabel*>("Panel1")->text(),
                 QStringLiteral("Finished processing"));
        QCOMPARE(messages_.shown.size(), std::size_t{1});
        QVERIFY(messages_.shown[0].text.contains(reason));
        messages_.shown.clear();

        // The preview shows it above its first page, while it is open.
        Pick(*window, "optTarget0");
        QString shownWithTheReport;
        WhenOpen<ui::PreviewDialog>(window.get(),
                                    [&shownWithTheReport](ui::PreviewDialog* preview) {
                                        auto* warnings = preview->findChild<QLabel*>("lblWarnings");
                                        if (warnings != nullptr && warnings->isVisible()) {
                                            shownWithTheReport = warnings->text();
                                        }
                                        preview->reject();
                                    });
        QTest::mouseClick(window->findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
        QVERIFY(shownWithTheReport.contains(reason.toHtmlEscaped()));
        QVERIFY(messages_.shown.empty());

        // File > Link Folders, then Start again: the back end is found.
        WhenOpen<ui::LinkFoldersDialog>(window.get(), [this](ui::LinkFoldersDialog* dialog) {
            dialog->findChild<QListWidget*>("lstFolders")->addItem(dir_.filePath("backs"));
            dialog->accept();
        });
        window->findChild<QAction*>("mnuFileLinkFolders")->trigger();
        QCOMPARE(ui::StoredLinkFolders(store_->FilePath()), QStringList({dir_.filePath("backs")}));
        Pick(*window, "optTarget1");
        QTest::mouseClick(window->findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
        report = ReadText(dir_.filePath("report.csv"));
        QVERIFY2(messages_.shown.empty(),
                 messages_.shown.empty() ? "" : qPrintable(messages_.shown[0].text));
        QVERIFY(report.contains("Field - Name,"));
    }
};

QTEST_MAIN(TestReportFlow)
#include "test_report_flow.moc"
