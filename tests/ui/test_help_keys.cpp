#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

#include "components/memory/memory_database.h"
#include "settings/config_dialog.h"
#include "settings/switch_store.h"
#include "ui/app/help_keys.h"
#include "ui/app/help_system.h"
#include "ui/app/link_folders.h"
#include "ui/app/main_window.h"
#include "ui/preview/preview_dialog.h"
#include "ui_fakes.h"

using namespace ostrel;

// F1 in each window opens the help topic of that window.
class TestHelpKeys : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<settings::SwitchStore> store_;
    std::unique_ptr<ui::ContextIDs> help_;
    std::unique_ptr<ui::HelpKeys> keys_;

    int PressF1(QWidget* widget) {
        QTest::keyClick(widget, Qt::Key_F1);
        const ui::HelpViewer* viewer = help_->Viewer();
        return viewer == nullptr ? -1 : viewer->CurrentContext();
    }
    QString Shown() const {
        const ui::HelpViewer* viewer = help_->Viewer();
        return viewer == nullptr ? QString() : viewer->Browser()->toPlainText();
    }

  private slots:
    void init() {
        store_ = std::make_unique<settings::SwitchStore>(dir_.filePath("Ostrel2.ini"));
        help_ = std::make_unique<ui::ContextIDs>();
        help_->SetHelpFile(QStringLiteral(OSTREL_HELP_FILE));
        keys_ = std::make_unique<ui::HelpKeys>(*help_);
        qApp->installEventFilter(keys_.get());
    }
    void cleanup() {
        qApp->removeEventFilter(keys_.get());
        delete help_->Viewer();
        keys_.reset();
        help_.reset();
    }

    void mainWindowAndTheWindowsOverIt() {
        memory::MemoryEngine engine;
        ui::testing::RecordingMessages messages;
        ui::testing::ScriptedDialogs dialogs;
        ui::testing::ScriptedRunner runner;
        ui::MainWindow window(ui::MainWindowServices{.engine = engine,
                                                     .switches = *store_,
                                                     .runner = runner,
                                                     .help = *help_,
                                                     .messages = messages,
                                                     .fileDialogs = dialogs,
                                                     .loadPreview = {}});
        help_->InitHelp(&window);
        window.show();
        QCOMPARE(PressF1(window.findChild<QLineEdit*>("txtTable")), ui::kHelpMainWindow);
        QVERIFY(Shown().contains("The main window"));

        // A box opened over the main window has the main window's topic.
        QWidget box(&window, Qt::Dialog);
        QCOMPARE(ui::HelpContextFor(&box), ui::kHelpMainWindow);
        QCOMPARE(ui::HelpContextFor(nullptr), ui::kHelpContents);
    }

    void configurationDialogOpensThePageShowing() {
        settings::ConfigDialog dialog(*store_);
        dialog.show();
        auto* pages = dialog.findChild<QTabWidget*>("vsTab1");
        QCOMPARE(PressF1(dialog.CheckBox(0)), ui::kHelpConfiguration + 1);
        for (int page = 1; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QCOMPARE(PressF1(pages->currentWidget()), ui::kHelpConfiguration + 1 + page);
        }
        QVERIFY(Shown().contains("Switches: Application"));
    }

    void helpOverAModalDialogCanBeUsed() {
        settings::ConfigDialog dialog(*store_);
        bool belongsToDialog = false;
        int context = -1;
        QTimer::singleShot(0, [&] {
            QTest::keyClick(dialog.findChild<QPushButton*>("cmdStore"), Qt::Key_F1);
            const ui::HelpViewer* viewer = help_->Viewer();
            // Owned by the dialog, the viewer is not blocked by it.
            belongsToDialog = viewer != nullptr && viewer->parentWidget() == &dialog;
            context = viewer != nullptr ? viewer->CurrentContext() : -1;
            dialog.reject();
        });
        dialog.exec();
        QVERIFY(belongsToDialog);
        QCOMPARE(context, ui::kHelpConfiguration + 1);
    }

    void previewWindow() {
        ui::PreviewDialog preview;
        preview.show();
        QCOMPARE(PressF1(&preview), ui::kHelpPreview);
        QVERIFY(Shown().contains("preview"));
        // Its find bar, contents pane and page box have topics of their own.
        preview.ShowFindBar();
        QCOMPARE(PressF1(preview.findChild<QLineEdit*>("txtFind")), ui::kHelpFind);
        QCOMPARE(PressF1(preview.Contents()), ui::kHelpNavigation);
        QCOMPARE(PressF1(preview.findChild<QWidget*>("txtPage")), ui::kHelpNavigation);
    }

    void linkFoldersDialog() {
        ui::LinkFoldersDialog dialog({});
        dialog.show();
        QCOMPARE(PressF1(dialog.findChild<QWidget*>("lstFolders")), ui::kHelpLinkFolders);
        QVERIFY(Shown().contains("Link folders"));
    }
};

QTEST_MAIN(TestHelpKeys)
#include "test_help_keys.moc"
