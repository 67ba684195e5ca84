#pragma once

#include <QElapsedTimer>
#include <QMainWindow>

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
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace ostrel::ui {

class ApplicationPickers;

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

// The main window (object name "frmMain"): the database, the output target,
// the object pickers and the Start button. Report runs read everything they
// need from it.
class MainWindow : public QMainWindow,
                   public engine::RunStatus,
                   public engine::RunMessages,
                   public engine::Selection {
    Q_OBJECT

  public:
    explicit MainWindow(const MainWindowServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Refills every picker from the database named in the database box.
    void PopulateTables();

    // Chooses a database as Browse does: the path goes into the database box
    // and the pickers are filled from it. Used for the command line, a dropped
    // file, a recent database and a database handed over by a later copy.
    // While a modal window is open the database waits until it has closed.
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

    // The database object the pickers were filled from (null before a fill).
    const schema::Database* PickerDatabase() const { return pickerDatabase_.get(); }

  public slots:
    // Browse beside the database box: a chosen database fills the pickers.
    void BrowseDatabase();
    // Browse beside the CSV box.
    void BrowseCsvFile();
    // The output choice: the CSV box is used (and enabled) only for a CSV file.
    void SetCsvTarget(bool csv);
    // Start: runs the report on the ticked objects to the chosen target.
    void StartReport();
    // The File menu.
    void ConfigureSwitches();
    void CompareWithDatabase();
    void SaveReportAsHtml();
    void ExportCode();
    void EditLinkFolders();
    // The Help menu.
    void ShowHelpContents();
    void ShowSupportHelp();
    void ShowAbout();

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
    // The window's caption, also the caption of its message boxes.
    static QString Caption() { return QStringLiteral("Ostrel2"); }

    // The window is built in reading order, one row or part at a time.
    void BuildControls();
    void BuildDatabaseRow(QGridLayout& grid);
    void BuildTargetChoice(QGridLayout& grid);
    void BuildPickers();
    void BuildStartButton();
    void BuildStatusBar();
    void BuildTabOrder();
    void ConnectControls();
    void BuildMenus();
    void BuildTickActions();
    // The preview is the first choice, and the database box has the focus.
    void ChooseStartingState();

    // Every object picker, tables first.
    std::vector<QListWidget*> AllPickers() const;
    // Shows a message box over the window.
    void Tell(const QString& text, engine::MessageIcon icon);
    // After a run to a file: where the report went, and the linked tables it
    // could not document in full.
    void ShowWrittenReport(const QString& path);
    void UseStoredLinkFolders();
    // Fills every picker from the database box. When the file cannot be
    // listed the user is told why, and the pickers stay as they were, or are
    // emptied when emptyOnFailure (a typed path: the old lists would mislead).
    bool FillPickers(bool emptyOnFailure);
    // The path in the database box was typed: refill if it names another
    // database. The check waits until the event that took the focus away is
    // over (a menu's shortcut, a click) and any menu or dialog has closed.
    void DatabasePathEdited();
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
    QMenu* recentMenu_ = nullptr;

    QLineEdit* databasePath_ = nullptr;
    QPushButton* browseDatabaseButton_ = nullptr;
    QButtonGroup* targetGroup_ = nullptr;  // the preview (id 0) or a CSV file (id 1)
    QLineEdit* csvPath_ = nullptr;
    QPushButton* browseCsvButton_ = nullptr;
    QTabWidget* pickerTabs_ = nullptr;
    QListWidget* tablePicker_ = nullptr;
    QListWidget* queryPicker_ = nullptr;
    std::unique_ptr<ApplicationPickers> applicationPickers_;
    QPushButton* startButton_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* panel1_ = nullptr;
    QLabel* panel2_ = nullptr;
    QPushButton* cancelRunButton_ = nullptr;
    QLabel* writtenLabel_ = nullptr;           // where the report just went
    QPushButton* openReportButton_ = nullptr;  // opens it
    QString writtenReport_;

    bool filling_ = false;  // FillPickers is under way
    bool running_ = false;
    QString htmlPath_;           // set while Save Report as HTML runs
    bool htmlAfterRun_ = false;  // the preview asked for the report as HTML
    bool cancelRequested_ = false;
    QElapsedTimer sinceEvents_;
};

}  // namespace ostrel::ui
