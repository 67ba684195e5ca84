#pragma once

#include <QElapsedTimer>
#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/schema/database.h"
#include "engine/run_ports.h"
#include "settings/switch_store.h"
#include "ui/app/file_dialogs.h"
#include "ui/app/help_system.h"
#include "ui/app/message_boxes.h"
#include "ui/app/recent_databases.h"
#include "ui/app/report_runner.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;

namespace ostrel::ui {
class ApplicationPickers;
}
class QMenu;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace ostrel::ui {

// Loads a fresh preview window, owned by the caller, over the given parent.
using PreviewLoader = std::function<std::unique_ptr<engine::PagedOutput>(QWidget* parent)>;

// What the main window works with; all of it outlives the window.
struct MainWindowServices {
    schema::SchemaEngine& engine;  // shared by the pickers and the runs
    settings::SwitchStore& switches;
    ReportRunner& runner;
    ContextIDs& help;
    MessageBoxes& messages;
    FileDialogs& fileDialogs;
    PreviewLoader loadPreview;
};

// The main window: the database, the output target, the two object pickers
// and the Start button. Report runs read everything they need from it.
class frmMain : public QMainWindow,
                public engine::RunStatus,
                public engine::RunMessages,
                public engine::Selection {
    Q_OBJECT

  public:
    explicit frmMain(const MainWindowServices& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // Refills both pickers from the database named in txtTable.
    void PopulateTables();

    // Chooses a database as Browse does: the path goes into txtTable and the
    // pickers are filled from it. Used for the command line, a dropped file,
    // a recent database and a database handed over by a later copy. While a
    // modal window is open the database waits until it has closed.
    void OpenDatabase(const QString& path);
    // Shows the window, un-minimised, above the others.
    void BringToFront();
    // Ticks (or unticks) every row of the picker showing.
    void TickAll(bool ticked);

    // What a run started now would be asked to do: the database, the target
    // and the CSV file, as the window's controls hold them.
    engine::RunRequest Request();

    // RunStatus, RunMessages and Selection: the run's ports.
    void SetStatusText(int panel, const std::string& text) override;
    void RepaintStatus() override;
    void ShowMessage(const std::string& text, engine::MessageIcon icon,
                     const std::string& caption) override;
    // Whether the pickers hold a ticked row with exactly this name; every
    // relationship is selected.
    bool IsSelected(engine::ObjectKind kind, const std::string& name) const override;
    void Warn(const std::string& text) override;
    // Lets the window repaint and take keys; false once the run is cancelled
    // (Cancel or Escape).
    bool GoOn() override;

    // Stops the report being run, if any.
    void CancelRun();
    bool Running() const { return running_; }

    void cmdBrowse1_Click();
    void cmdBrowseCSV_Click();
    void optTarget_Click(std::int16_t index);
    void cmdStart_Click();
    void mnuFileConfigure_Click();
    void mnuFileLinkFolders_Click();
    void mnuFileCompare_Click();
    void mnuFileExportCode_Click();
    void mnuFileExit_Click();
    void mnuHelpContents_Click();
    void mnuHelpSupport_Click();
    void mnuAbout_Click();

    // The database object the pickers were filled from (null before a fill).
    const schema::Database* PickerDatabase() const { return pickerDatabase_.get(); }

  signals:
    // The window has been closed; the program ends.
    void unloaded();
    // A message box is about to be shown (the splash makes way for it).
    void messageRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // Every object picker, tables first.
    std::vector<QListWidget*> AllPickers() const;
    void BuildControls();
    void BuildMenus();
    void BuildTickActions();
    void Form_Load();
    void Form_QueryUnload();
    // Shows a message box over the window.
    void Tell(const QString& text, engine::MessageIcon icon);
    // After a CSV run: where the report went, and the linked tables it could
    // not document in full.
    void ReportCsvWritten(const QString& path);
    // File > Save Report as HTML: the run of Start, to an HTML page.
    void mnuFileSaveHtml_Click();
    void UseStoredLinkFolders();
    // Fills both pickers from txtTable. When the file cannot be listed the
    // user is told why, and the pickers stay as they were, or are emptied
    // when emptyOnFailure (a typed path: the old lists would mislead).
    bool FillPickers(bool emptyOnFailure);
    // The path in txtTable was typed: refill if it names another database.
    // The check waits until the event that took the focus away is over (a
    // menu's shortcut, a click) and any menu or dialog has closed.
    void txtTable_EditingFinished();
    void CheckTypedDatabase();
    void RefreshRecentMenu();
    void OpenPendingDatabase();

    MainWindowServices services_;
    std::unique_ptr<schema::Database> pickerDatabase_;
    // The path the pickers were last filled (or emptied) for.
    QString pickerPath_;
    // The path last looked at, whether or not it could be read: the same
    // error is not told again while the box is unchanged.
    QString checkedPath_;
    QStringList runWarnings_;
    RecentDatabases recent_;
    QString pendingDatabase_;
    QMenu* mnuFileRecent_ = nullptr;

    QLineEdit* databasePath_ = nullptr;  // the txtTable box
    QPushButton* cmdBrowse1_ = nullptr;
    QButtonGroup* optTarget_ = nullptr;
    QLineEdit* txtCSVFile_ = nullptr;
    QPushButton* cmdBrowseCSV_ = nullptr;
    QTabWidget* vsTab1_ = nullptr;
    QListWidget* vsFlexTables_ = nullptr;
    QListWidget* vsFlexQueries_ = nullptr;
    std::unique_ptr<ApplicationPickers> applicationPickers_;
    QPushButton* cmdStart_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* panel1_ = nullptr;
    QLabel* panel2_ = nullptr;
    QPushButton* cmdCancelRun_ = nullptr;
    QLabel* lblWritten_ = nullptr;          // where the CSV report just went
    QPushButton* cmdOpenReport_ = nullptr;  // opens it
    QString writtenReport_;

    bool filling_ = false;  // FillPickers is under way
    bool running_ = false;
    QString htmlPath_;           // set while Save Report as HTML runs
    bool htmlAfterRun_ = false;  // the preview asked for the report as HTML
    bool cancelRequested_ = false;
    QElapsedTimer sinceEvents_;
};

}  // namespace ostrel::ui
