#include "ui/app/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <exception>
#include <utility>

#include "components/diagram/diagram_file.h"
#include "settings/config_dialog.h"
#include "settings/twips.h"
#include "ui/app/about_box.h"
#include "ui/app/app_icon.h"
#include "ui/app/code_export_command.h"
#include "ui/app/link_folders.h"
#include "ui/app/object_pickers.h"
#include "ui/app/window_geometry.h"
#include "ui/preview/preview_dialog.h"

namespace ostrel::ui {
namespace {

const QString kCaption = QStringLiteral("Ostrel2");
const QString kGeometryGroup = QStringLiteral("MainWindow");

// The database a drag carries: one local .mdb or .accdb file.
QString DroppedDatabase(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return {};
    }
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile()) {
        return {};
    }
    const QString path = url.toLocalFile();
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("mdb") || suffix == QLatin1String("accdb") ? path : QString();
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

QListWidget* MakePicker(const QString& name) {
    auto* picker = new QListWidget;
    picker->setObjectName(name);
    picker->setUniformItemSizes(true);
    picker->setSelectionMode(QAbstractItemView::SingleSelection);
    return picker;
}

}  // namespace

// The services are references and one small function, copied once.
frmMain::frmMain(const MainWindowServices& services,  // NOLINT(modernize-pass-by-value)
                 QWidget* parent)
    : QMainWindow(parent), services_(services), recent_(services.switches.FilePath()) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kCaption);
    setWindowIcon(AppIcon());
    setAcceptDrops(true);
    BuildControls();
    BuildMenus();
    UseStoredLinkFolders();
    BuildTickActions();
    Form_Load();
    RestoreWindowGeometry(*this, services_.switches.FilePath(), kGeometryGroup);
    FitToScreen(*this);
}

frmMain::~frmMain() {
    // Closing the window as it is destroyed takes the focus from the
    // database box, which reports its editing as finished: by then this
    // window is gone, so it must no longer hear it.
    databasePath_->disconnect(this);
    schema::CloseQuietly(pickerDatabase_);
}

void frmMain::BuildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("vsElasticForm"));
    setCentralWidget(central);

    auto* lblDatabase = new QLabel(QStringLiteral("&Database :"), central);
    databasePath_ = new QLineEdit(central);
    databasePath_->setObjectName(QStringLiteral("txtTable"));
    databasePath_->setMinimumWidth(settings::TwipsToPixels(*this, 3900));
    lblDatabase->setBuddy(databasePath_);
    // A file dropped on the box is opened, not pasted in as text.
    databasePath_->setAcceptDrops(false);
    cmdBrowse1_ = new QPushButton(QStringLiteral("&Browse"), central);
    cmdBrowse1_->setObjectName(QStringLiteral("cmdBrowse1"));

    auto* optPreview = new QRadioButton(QStringLiteral("Output to print &preview window"), central);
    optPreview->setObjectName(QStringLiteral("optTarget0"));
    auto* optCsv = new QRadioButton(QStringLiteral("Output to &CSV file :"), central);
    optCsv->setObjectName(QStringLiteral("optTarget1"));
    optTarget_ = new QButtonGroup(this);
    optTarget_->setObjectName(QStringLiteral("optTarget"));
    optTarget_->addButton(optPreview, 0);
    optTarget_->addButton(optCsv, 1);
    txtCSVFile_ = new QLineEdit(central);
    txtCSVFile_->setObjectName(QStringLiteral("txtCSVFile"));
    txtCSVFile_->setAcceptDrops(false);
    cmdBrowseCSV_ = new QPushButton(QStringLiteral("B&rowse"), central);
    cmdBrowseCSV_->setObjectName(QStringLiteral("cmdBrowseCSV"));
    for (QPushButton* button : {cmdBrowse1_, cmdBrowseCSV_}) {
        button->setMinimumWidth(settings::TwipsToPixels(*this, 1170));
    }

    vsTab1_ = new QTabWidget(central);
    vsTab1_->setObjectName(QStringLiteral("vsTab1"));
    vsTab1_->setUsesScrollButtons(false);
    vsTab1_->setElideMode(Qt::ElideNone);
    vsFlexTables_ = MakePicker(QStringLiteral("vsFlexTables"));
    vsFlexQueries_ = MakePicker(QStringLiteral("vsFlexQueries"));
    vsTab1_->addTab(vsFlexTables_, QStringLiteral("&Tables"));
    vsTab1_->addTab(vsFlexQueries_, QStringLiteral("&Queries"));
    applicationPickers_ = std::make_unique<ApplicationPickers>(*vsTab1_, MakePicker);

    cmdStart_ = new QPushButton(QStringLiteral("&Start"), central);
    cmdStart_->setObjectName(QStringLiteral("cmdStart"));
    cmdStart_->setMinimumWidth(settings::TwipsToPixels(*this, 1275));
    cmdStart_->setDefault(true);

    auto* grid = new QGridLayout;
    grid->addWidget(lblDatabase, 0, 0);
    grid->addWidget(databasePath_, 0, 1);
    grid->addWidget(cmdBrowse1_, 0, 2);
    grid->addWidget(optPreview, 1, 0, 1, 3);
    grid->addWidget(optCsv, 2, 0);
    grid->addWidget(txtCSVFile_, 2, 1);
    grid->addWidget(cmdBrowseCSV_, 2, 2);
    grid->setColumnStretch(1, 1);

    auto* start = new QHBoxLayout;
    start->addStretch(1);
    start->addWidget(cmdStart_);
    start->addStretch(1);

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(grid);
    layout->addSpacing(4);
    layout->addWidget(vsTab1_, 1);
    layout->addLayout(start);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(true);
    panel1_ = new QLabel(statusBar_);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setMinimumWidth(settings::TwipsToPixels(*this, 1800));
    panel2_ = new QLabel(statusBar_);
    panel2_->setObjectName(QStringLiteral("Panel2"));
    for (QLabel* panel : {panel1_, panel2_}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(3, 0, 3, 0);
    }
    statusBar_->addWidget(panel1_);
    statusBar_->addWidget(panel2_, 1);
    // Shown only while a report is being run.
    cmdCancelRun_ = new QPushButton(QStringLiteral("Cancel"), statusBar_);
    cmdCancelRun_->setObjectName(QStringLiteral("cmdCancelRun"));
    cmdCancelRun_->setToolTip(QStringLiteral("Stop the report (Esc)"));
    cmdCancelRun_->hide();
    statusBar_->addPermanentWidget(cmdCancelRun_);
    // Shown after a CSV report has been written, until the next run.
    lblWritten_ = new QLabel(statusBar_);
    lblWritten_->setObjectName(QStringLiteral("lblWritten"));
    lblWritten_->hide();
    statusBar_->addPermanentWidget(lblWritten_);
    cmdOpenReport_ = new QPushButton(QStringLiteral("&Open Report"), statusBar_);
    cmdOpenReport_->setObjectName(QStringLiteral("cmdOpenReport"));
    cmdOpenReport_->setToolTip(QStringLiteral("Open the CSV file just written"));
    cmdOpenReport_->hide();
    statusBar_->addPermanentWidget(cmdOpenReport_);
    connect(cmdOpenReport_, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(writtenReport_)); });
    connect(cmdCancelRun_, &QPushButton::clicked, this, [this] { CancelRun(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { CancelRun(); });
    setStatusBar(statusBar_);

    setTabOrder(databasePath_, cmdBrowse1_);
    setTabOrder(cmdBrowse1_, optPreview);
    setTabOrder(optPreview, optCsv);
    setTabOrder(optCsv, txtCSVFile_);
    setTabOrder(txtCSVFile_, cmdBrowseCSV_);
    // In reading order. The tab bar itself is named, and the tab widget
    // (whose focus goes to its tab bar) is left out of the chain: ordered by
    // the tab widget, Tab went from the tab bar back to the top and never
    // reached the lists or Start.
    vsTab1_->setFocusPolicy(Qt::NoFocus);  // also sets the tab bar's
    vsTab1_->tabBar()->setFocusPolicy(Qt::TabFocus);
    setTabOrder(cmdBrowseCSV_, vsTab1_->tabBar());
    setTabOrder(vsTab1_->tabBar(), vsFlexTables_);
    setTabOrder(vsFlexTables_, vsFlexQueries_);
    QWidget* previous = vsFlexQueries_;
    for (QListWidget* picker : applicationPickers_->Pickers()) {
        setTabOrder(previous, picker);
        previous = picker;
    }
    setTabOrder(previous, cmdStart_);

    connect(databasePath_, &QLineEdit::editingFinished, this, &frmMain::txtTable_EditingFinished);
    connect(cmdBrowse1_, &QPushButton::clicked, this, &frmMain::cmdBrowse1_Click);
    connect(cmdBrowseCSV_, &QPushButton::clicked, this, &frmMain::cmdBrowseCSV_Click);
    connect(cmdStart_, &QPushButton::clicked, this, &frmMain::cmdStart_Click);
    connect(optTarget_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            optTarget_Click(id == 1 ? std::int16_t{1} : std::int16_t{0});
        }
    });

    resize(settings::TwipsToPixels(*this, 9600), settings::TwipsToPixels(*this, 7200));
}

void frmMain::BuildMenus() {
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    QAction* configure = mnuFile->addAction(QStringLiteral("&Configure"));
    configure->setObjectName(QStringLiteral("mnuFileConfigure"));
    QAction* compare = mnuFile->addAction(QStringLiteral("Compare &With\u2026"));
    compare->setObjectName(QStringLiteral("mnuFileCompare"));
    connect(compare, &QAction::triggered, this, &frmMain::mnuFileCompare_Click);
    QAction* saveHtml = mnuFile->addAction(QStringLiteral("Save Report as &HTML\u2026"));
    saveHtml->setObjectName(QStringLiteral("mnuFileSaveHtml"));
    connect(saveHtml, &QAction::triggered, this, &frmMain::mnuFileSaveHtml_Click);
    QAction* exportCode = mnuFile->addAction(QStringLiteral("&Export Code\u2026"));
    exportCode->setObjectName(QStringLiteral("mnuFileExportCode"));
    connect(exportCode, &QAction::triggered, this, &frmMain::mnuFileExportCode_Click);
    QAction* linkFolders = mnuFile->addAction(QStringLiteral("&Link Folders\u2026"));
    linkFolders->setObjectName(QStringLiteral("mnuFileLinkFolders"));
    mnuFileRecent_ = mnuFile->addMenu(QStringLiteral("&Recent Databases"));
    mnuFileRecent_->setObjectName(QStringLiteral("mnuFileRecent"));
    mnuFileRecent_->menuAction()->setObjectName(QStringLiteral("mnuFileRecentMenu"));
    connect(mnuFileRecent_, &QMenu::aboutToShow, this, &frmMain::RefreshRecentMenu);
    QAction* exit = mnuFile->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("mnuFileExit"));

    QMenu* mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    QAction* contents = mnuHelp->addAction(QStringLiteral("&Contents and Index"));
    contents->setObjectName(QStringLiteral("mnuHelpContents"));
    QAction* support = mnuHelp->addAction(QStringLiteral("Obtaining &Support"));
    support->setObjectName(QStringLiteral("mnuHelpSupport"));
    QAction* separator = mnuHelp->addSeparator();
    separator->setObjectName(QStringLiteral("mnuHelpSep"));
    QAction* about = mnuHelp->addAction(QStringLiteral("&About Vantor Tools"));
    about->setObjectName(QStringLiteral("mnuAbout"));

    connect(configure, &QAction::triggered, this, &frmMain::mnuFileConfigure_Click);
    connect(linkFolders, &QAction::triggered, this, &frmMain::mnuFileLinkFolders_Click);
    connect(exit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);
    connect(contents, &QAction::triggered, this, &frmMain::mnuHelpContents_Click);
    connect(support, &QAction::triggered, this, &frmMain::mnuHelpSupport_Click);
    connect(about, &QAction::triggered, this, &frmMain::mnuAbout_Click);
    RefreshRecentMenu();
}

void frmMain::BuildTickActions() {
    // On a database of thousands of tables, unticking all but a few must not
    // take a click per row. The pickers list both actions on a right click.
    auto* tickAll = new QAction(QStringLiteral("&Tick All"), this);
    tickAll->setObjectName(QStringLiteral("mnuTickAll"));
    tickAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    auto* untickAll = new QAction(QStringLiteral("&Untick All"), this);
    untickAll->setObjectName(QStringLiteral("mnuUntickAll"));
    untickAll->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    for (QAction* action : {tickAll, untickAll}) {
        // Text boxes keep Ctrl+A for selecting their text.
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    for (QListWidget* picker : AllPickers()) {
        picker->setContextMenuPolicy(Qt::ActionsContextMenu);
        picker->addAction(tickAll);
        picker->addAction(untickAll);
    }
    connect(tickAll, &QAction::triggered, this, [this] { TickAll(true); });
    connect(untickAll, &QAction::triggered, this, [this] { TickAll(false); });
}

std::vector<QListWidget*> frmMain::AllPickers() const {
    std::vector<QListWidget*> pickers{vsFlexTables_, vsFlexQueries_};
    pickers.insert(pickers.end(), applicationPickers_->Pickers().begin(),
                   applicationPickers_->Pickers().end());
    return pickers;
}

void frmMain::TickAll(bool ticked) {
    auto* picker = qobject_cast<QListWidget*>(vsTab1_->currentWidget());
    if (picker == nullptr) {
        return;
    }
    const Qt::CheckState state = ticked ? Qt::Checked : Qt::Unchecked;
    for (int row = 0; row < picker->count(); ++row) {
        picker->item(row)->setCheckState(state);
    }
}

void frmMain::RefreshRecentMenu() {
    mnuFileRecent_->clear();
    const QStringList paths = recent_.Entries();
    for (int i = 0; i < paths.size(); ++i) {
        const QString& path = paths.at(i);
        QString label = path;
        label.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* entry = mnuFileRecent_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(label));
        entry->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i + 1));
        entry->setData(path);
        connect(entry, &QAction::triggered, this, [this, path] { OpenDatabase(path); });
    }
    mnuFileRecent_->setEnabled(!paths.isEmpty());
}

void frmMain::Form_Load() {
    // The preview is the first choice; the CSV path is used only for CSV.
    optTarget_->button(0)->setChecked(true);
    txtCSVFile_->setEnabled(false);
    databasePath_->setFocus();
}

void frmMain::PopulateTables() {
    FillPickers(false);
}

bool frmMain::FillPickers(bool emptyOnFailure) {
    const QScopedValueRollback<bool> filling(filling_, true);
    const QString path = databasePath_->text();
    const auto failed = [&](const QString& message) {
        checkedPath_ = path;
        if (emptyOnFailure) {
            schema::CloseQuietly(pickerDatabase_);
            vsFlexTables_->clear();
            vsFlexQueries_->clear();
            applicationPickers_->Clear();
            pickerPath_ = path;
        }
        Tell(message, engine::MessageIcon::Exclamation);
        return false;
    };
    if (path.trimmed().isEmpty()) {
        return failed(QStringLiteral("Choose a database file first."));
    }
    // Everything is read before anything is replaced: a file that cannot be
    // read leaves both lists, and the database they came from, as they were.
    std::unique_ptr<schema::Database> database;
    QStringList tables;
    QStringList queries;
    ApplicationPickers::Names applicationNames;
    try {
        database = services_.engine.OpenDatabase(path.toStdString());
        const auto& tableDefs = database->TableDefs();
        for (int i = 0; i < tableDefs.Count(); ++i) {
            const QString name = FromStd(tableDefs.Item(i).Name());
            if (IsListedTable(name)) {
                tables << name;
            }
        }
        const auto& queryDefs = database->QueryDefs();
        for (int i = 0; i < queryDefs.Count(); ++i) {
            queries << FromStd(queryDefs.Item(i).Name());
        }
        applicationNames = ApplicationPickers::Read(*database);
    } catch (const std::exception& error) {
        // Already failing; the first error is the one to report.
        schema::CloseQuietly(database);
        return failed(QStringLiteral("The tables and queries of %1 cannot be listed:\n%2")
                          .arg(path, FromStd(error.what())));
    }
    schema::CloseQuietly(pickerDatabase_);
    pickerDatabase_ = std::move(database);
    pickerPath_ = path;
    checkedPath_ = path;
    FillTicked(*vsFlexTables_, tables);
    FillTicked(*vsFlexQueries_, queries);
    applicationPickers_->Fill(applicationNames);
    // Space ticks from the first row on; nothing shows as selected.
    for (QListWidget* picker : AllPickers()) {
        if (picker->count() > 0) {
            picker->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        }
    }
    recent_.Add(path);
    RefreshRecentMenu();
    return true;
}

void frmMain::txtTable_EditingFinished() {
    QTimer::singleShot(0, this, &frmMain::CheckTypedDatabase);
}

void frmMain::CheckTypedDatabase() {
    const QString path = databasePath_->text();
    if (running_ || filling_ || path == pickerPath_ || path == checkedPath_) {
        return;
    }
    if (QApplication::activePopupWidget() != nullptr ||
        QApplication::activeModalWidget() != nullptr) {
        QTimer::singleShot(250, this, &frmMain::CheckTypedDatabase);
        return;
    }
    FillPickers(true);
}

void frmMain::OpenDatabase(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    pendingDatabase_ = path;
    OpenPendingDatabase();
}

void frmMain::OpenPendingDatabase() {
    if (pendingDatabase_.isEmpty()) {
        return;
    }
    // A run, a dialog or a message box is under way: the pickers change only
    // once it is over.
    if (QApplication::activeModalWidget() != nullptr) {
        QTimer::singleShot(250, this, &frmMain::OpenPendingDatabase);
        return;
    }
    const QString path = std::exchange(pendingDatabase_, QString());
    databasePath_->setText(path);
    if (!FillPickers(false)) {
        recent_.Remove(path);
        RefreshRecentMenu();
    }
}

void frmMain::BringToFront() {
    if (isMinimized()) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    }
    show();
    raise();
    activateWindow();
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedDatabase(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void frmMain::dragMoveEvent(QDragMoveEvent* event) {
    if (!DroppedDatabase(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void frmMain::dropEvent(QDropEvent* event) {
    const QString path = DroppedDatabase(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // After the drop has ended: filling may show a message box.
    QTimer::singleShot(0, this, [this, path] { OpenDatabase(path); });
}

engine::RunRequest frmMain::Request() {
    engine::RunRequest request;
    request.databasePath = databasePath_->text().toStdString();
    request.target = optTarget_->button(0)->isChecked() ? engine::ReportTarget::Preview
                                                        : engine::ReportTarget::CsvFile;
    request.outputPath = txtCSVFile_->text().toStdString();
    request.pagedOutput = [this] {
        std::unique_ptr<engine::PagedOutput> output = services_.loadPreview(this);
        if (auto* preview = dynamic_cast<PreviewDialog*>(output.get())) {
            // Once the run has ended, the same report to an HTML page.
            preview->SetHtmlSaver([this] { htmlAfterRun_ = true; });
        }
        return output;
    };
    if (!htmlPath_.isEmpty()) {
        request.target = engine::ReportTarget::HtmlFile;
        request.outputPath = htmlPath_.toStdString();
        request.diagramSvg = [](const diagram::DiagramModel& model) {
            return diagram::DiagramSvgText(model);
        };
    }
    return request;
}

void frmMain::mnuFileSaveHtml_Click() {
    if (running_) {
        return;
    }
    // The database's own name, beside it.
    QString current;
    if (!databasePath_->text().isEmpty()) {
        const QFileInfo database(databasePath_->text());
        current =
            database.absoluteDir().filePath(database.completeBaseName() + QStringLiteral(".html"));
    }
    const auto chosen = services_.fileDialogs.ChooseHtmlFile(this, current);
    if (!chosen) {
        return;
    }
    htmlPath_ = *chosen;
    cmdStart_Click();
    htmlPath_.clear();
}

void frmMain::SetStatusText(int panel, const std::string& text) {
    QLabel* shown = panel == 1 ? panel1_ : (panel == 2 ? panel2_ : nullptr);
    if (shown != nullptr) {
        shown->setText(FromStd(text));
    }
}

void frmMain::RepaintStatus() {
    panel1_->repaint();
    panel2_->repaint();
}

void frmMain::ShowMessage(const std::string& text, engine::MessageIcon icon,
                          const std::string& caption) {
    emit messageRequested();
    services_.messages.Show(this, FromStd(text), icon, FromStd(caption));
}

void frmMain::Tell(const QString& text, engine::MessageIcon icon) {
    emit messageRequested();
    services_.messages.Show(this, text, icon, kCaption);
}

void frmMain::Warn(const std::string& text) {
    runWarnings_ << FromStd(text);
}

bool frmMain::IsSelected(engine::ObjectKind kind, const std::string& name) const {
    switch (kind) {
        case engine::ObjectKind::Table:
            return IsTicked(*vsFlexTables_, FromStd(name));
        case engine::ObjectKind::Query:
            return IsTicked(*vsFlexQueries_, FromStd(name));
        case engine::ObjectKind::Relationship:
            return true;
        default:
            break;
    }
    return applicationPickers_->IsSelected(kind, FromStd(name));
}

bool frmMain::GoOn() {
    // Often enough to feel immediate, seldom enough to cost nothing.
    constexpr qint64 kEventsEveryMs = 40;
    if (running_ && (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= kEventsEveryMs)) {
        sinceEvents_.restart();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return !cancelRequested_;
}

void frmMain::CancelRun() {
    if (running_) {
        cancelRequested_ = true;
        SetStatusText(2, "Cancelling");
    }
}

void frmMain::cmdBrowse1_Click() {
    // A cancelled dialog changes nothing: the path and the ticks stay.
    const auto chosen = services_.fileDialogs.ChooseDatabase(this, databasePath_->text());
    if (!chosen) {
        return;
    }
    databasePath_->setText(*chosen);
    if (!FillPickers(false)) {
        recent_.Remove(*chosen);
        RefreshRecentMenu();
    }
}

void frmMain::cmdBrowseCSV_Click() {
    // Without a name yet, the database's own, beside it.
    QString current = txtCSVFile_->text();
    if (current.isEmpty() && !databasePath_->text().isEmpty()) {
        const QFileInfo database(databasePath_->text());
        current =
            database.absoluteDir().filePath(database.completeBaseName() + QStringLiteral(".csv"));
    }
    const auto chosen = services_.fileDialogs.ChooseCsvFile(this, current);
    if (chosen) {
        txtCSVFile_->setText(*chosen);
    }
}

void frmMain::optTarget_Click(std::int16_t index) {
    txtCSVFile_->setEnabled(index == 1);
}

void frmMain::cmdStart_Click() {
    // A path typed since the last fill: the pickers are filled from it first,
    // so that the run documents what they then show. A file that cannot be
    // read has been told already; a missing one is left to the run, which
    // says "Database does not exist".
    const QString path = databasePath_->text();
    if (path != pickerPath_) {
        if (QFileInfo(path).isFile()) {
            if (!FillPickers(true)) {
                return;
            }
        } else {
            checkedPath_ = path;  // told once, by the run
        }
    }
    // Switches stored before this run apply to all of it.
    services_.switches.Refresh();
    if (running_) {
        return;
    }
    // While the run goes on the window repaints and takes Escape and the
    // Cancel button, nothing else.
    running_ = true;
    cancelRequested_ = false;
    runWarnings_.clear();
    writtenReport_.clear();
    lblWritten_->hide();
    cmdOpenReport_->hide();
    sinceEvents_.invalidate();
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    cmdCancelRun_->show();
    const engine::RunRequest request = Request();
    engine::RunPorts ports{*this, *this, *this};
    bool finished = false;
    try {
        finished = services_.runner.RunReport(request, ports);
    } catch (const std::exception& error) {
        Tell(QStringLiteral("The report stopped: %1").arg(FromStd(error.what())),
             engine::MessageIcon::Critical);
    }
    running_ = false;
    cmdCancelRun_->hide();
    menuBar()->setEnabled(true);
    centralWidget()->setEnabled(true);
    cmdStart_->setFocus();
    if (finished && request.target == engine::ReportTarget::CsvFile) {
        ReportCsvWritten(txtCSVFile_->text());
    } else if (finished && request.target == engine::ReportTarget::HtmlFile) {
        ReportCsvWritten(htmlPath_);
    }
    if (htmlAfterRun_) {
        htmlAfterRun_ = false;
        QTimer::singleShot(0, this, &frmMain::mnuFileSaveHtml_Click);
    }
}

void frmMain::ReportCsvWritten(const QString& path) {
    writtenReport_ = QFileInfo(path).absoluteFilePath();
    lblWritten_->setText(QStringLiteral("Written to %1").arg(writtenReport_));
    lblWritten_->show();
    cmdOpenReport_->show();
    if (runWarnings_.isEmpty()) {
        return;
    }
    Tell(QStringLiteral("These linked tables are documented without their fields and indexes:\n\n"
                        "%1\n\nFile > Link Folders names more places to look for them.")
             .arg(runWarnings_.join(QLatin1Char('\n'))),
         engine::MessageIcon::Exclamation);
}

void frmMain::mnuFileCompare_Click() {
    // The chosen database is the old one; the second choice is the new one.
    const auto chosen = services_.fileDialogs.ChooseDatabase(this, databasePath_->text());
    if (!chosen) {
        return;
    }
    services_.switches.Refresh();
    try {
        engine::RunPorts ports{*this, *this, *this};
        services_.runner.RunComparison(Request(), chosen->toStdString(), ports);
    } catch (const std::exception& error) {
        Tell(QStringLiteral("The comparison stopped: %1").arg(FromStd(error.what())),
             engine::MessageIcon::Critical);
    }
}

void frmMain::mnuFileExportCode_Click() {
    const QString path = databasePath_->text();
    if (path.trimmed().isEmpty()) {
        Tell(QStringLiteral("Choose a database file first."), engine::MessageIcon::Exclamation);
        return;
    }
    const auto folder = services_.fileDialogs.ChooseCodeFolder(this, path);
    if (!folder) {
        return;
    }
    const CodeExportSummary summary = ExportCodeFiles(services_.engine, path, *folder);
    Tell(summary.text, summary.icon);
}

void frmMain::mnuFileConfigure_Click() {
    settings::ConfigDialog dialog(services_.switches, this);
    dialog.adjustSize();
    FitToScreen(dialog);
    dialog.exec();
}

void frmMain::mnuFileLinkFolders_Click() {
    const QString settingsFile = services_.switches.FilePath();
    frmLinkFolders dialog(StoredLinkFolders(settingsFile), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    StoreLinkFolders(settingsFile, dialog.Folders());
    UseStoredLinkFolders();
}

void frmMain::UseStoredLinkFolders() {
    std::vector<std::string> folders;
    for (const QString& folder : StoredLinkFolders(services_.switches.FilePath())) {
        folders.push_back(folder.toStdString());
    }
    services_.engine.SetLinkFolders(folders);
}

void frmMain::mnuFileExit_Click() {
    close();
}

void frmMain::mnuHelpContents_Click() {
    services_.help.ShowHelpContents();
}

void frmMain::mnuHelpSupport_Click() {
    services_.help.ShowHelpTopic(kHelpSupport);
}

void frmMain::mnuAbout_Click() {
    ShowAboutDialog(this);
}

void frmMain::Form_QueryUnload() {
    services_.help.CloseHelp();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (running_) {
        // The run is stopped first; the window can be closed once it has.
        CancelRun();
        event->ignore();
        return;
    }
    Form_QueryUnload();
    SaveWindowGeometry(*this, services_.switches.FilePath(), kGeometryGroup);
    event->accept();
    QMainWindow::closeEvent(event);
    emit unloaded();
}

}  // namespace ostrel::ui
