#include "ui/app/main_window.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "settings/twips.h"
#include "ui/app/app_icon.h"
#include "ui/app/object_pickers.h"
#include "ui/app/window_geometry.h"

namespace ostrel::ui {
namespace {

const QString kGeometryGroup = QStringLiteral("MainWindow");

QListWidget* MakePicker(const QString& name) {
    auto* picker = new QListWidget;
    picker->setObjectName(name);
    picker->setUniformItemSizes(true);
    picker->setSelectionMode(QAbstractItemView::SingleSelection);
    return picker;
}

}  // namespace

// The services are references and one small function, copied once.
MainWindow::MainWindow(const MainWindowServices& services,  // NOLINT(modernize-pass-by-value)
                       QWidget* parent)
    : QMainWindow(parent), services_(services), recent_(services.switches.FilePath()) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(Caption());
    setWindowIcon(AppIcon());
    setAcceptDrops(true);
    BuildControls();
    BuildMenus();
    UseStoredLinkFolders();
    BuildTickActions();
    ChooseStartingState();
    RestoreWindowGeometry(*this, services_.switches.FilePath(), kGeometryGroup);
    FitToScreen(*this);
}

MainWindow::~MainWindow() {
    // Closing the window as it is destroyed takes the focus from the
    // database box, which reports its editing as finished: by then this
    // window is gone, so it must no longer hear it.
    databasePath_->disconnect(this);
    schema::CloseQuietly(pickerDatabase_);
}

void MainWindow::BuildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("vsElasticForm"));
    setCentralWidget(central);

    auto* grid = new QGridLayout;
    BuildDatabaseRow(*grid);
    BuildTargetChoice(*grid);
    grid->setColumnStretch(1, 1);
    BuildPickers();
    BuildStartButton();

    auto* start = new QHBoxLayout;
    start->addStretch(1);
    start->addWidget(startButton_);
    start->addStretch(1);

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(grid);
    layout->addSpacing(4);
    layout->addWidget(pickerTabs_, 1);
    layout->addLayout(start);

    BuildStatusBar();
    BuildTabOrder();
    ConnectControls();
    resize(settings::TwipsToPixels(*this, 9600), settings::TwipsToPixels(*this, 7200));
}

void MainWindow::BuildDatabaseRow(QGridLayout& grid) {
    QWidget* central = centralWidget();
    auto* label = new QLabel(QStringLiteral("&Database :"), central);
    databasePath_ = new QLineEdit(central);
    databasePath_->setObjectName(QStringLiteral("txtTable"));
    databasePath_->setMinimumWidth(settings::TwipsToPixels(*this, 3900));
    label->setBuddy(databasePath_);
    // A file dropped on the box is opened, not pasted in as text.
    databasePath_->setAcceptDrops(false);
    browseDatabaseButton_ = new QPushButton(QStringLiteral("&Browse"), central);
    browseDatabaseButton_->setObjectName(QStringLiteral("cmdBrowse1"));
    browseDatabaseButton_->setMinimumWidth(settings::TwipsToPixels(*this, 1170));

    grid.addWidget(label, 0, 0);
    grid.addWidget(databasePath_, 0, 1);
    grid.addWidget(browseDatabaseButton_, 0, 2);
}

void MainWindow::BuildTargetChoice(QGridLayout& grid) {
    QWidget* central = centralWidget();
    auto* preview = new QRadioButton(QStringLiteral("Output to print &preview window"), central);
    preview->setObjectName(QStringLiteral("optTarget0"));
    auto* csv = new QRadioButton(QStringLiteral("Output to &CSV file :"), central);
    csv->setObjectName(QStringLiteral("optTarget1"));
    targetGroup_ = new QButtonGroup(this);
    targetGroup_->setObjectName(QStringLiteral("optTarget"));
    targetGroup_->addButton(preview, 0);
    targetGroup_->addButton(csv, 1);
    csvPath_ = new QLineEdit(central);
    csvPath_->setObjectName(QStringLiteral("txtCSVFile"));
    csvPath_->setAcceptDrops(false);
    browseCsvButton_ = new QPushButton(QStringLiteral("B&rowse"), central);
    browseCsvButton_->setObjectName(QStringLiteral("cmdBrowseCSV"));
    browseCsvButton_->setMinimumWidth(settings::TwipsToPixels(*this, 1170));

    grid.addWidget(preview, 1, 0, 1, 3);
    grid.addWidget(csv, 2, 0);
    grid.addWidget(csvPath_, 2, 1);
    grid.addWidget(browseCsvButton_, 2, 2);
}

void MainWindow::BuildPickers() {
    pickerTabs_ = new QTabWidget(centralWidget());
    pickerTabs_->setObjectName(QStringLiteral("vsTab1"));
    pickerTabs_->setUsesScrollButtons(false);
    pickerTabs_->setElideMode(Qt::ElideNone);
    tablePicker_ = MakePicker(QStringLiteral("vsFlexTables"));
    queryPicker_ = MakePicker(QStringLiteral("vsFlexQueries"));
    pickerTabs_->addTab(tablePicker_, QStringLiteral("&Tables"));
    pickerTabs_->addTab(queryPicker_, QStringLiteral("&Queries"));
    applicationPickers_ = std::make_unique<ApplicationPickers>(*pickerTabs_, MakePicker);
}

void MainWindow::BuildStartButton() {
    startButton_ = new QPushButton(QStringLiteral("&Start"), centralWidget());
    startButton_->setObjectName(QStringLiteral("cmdStart"));
    startButton_->setMinimumWidth(settings::TwipsToPixels(*this, 1275));
    startButton_->setDefault(true);
}

void MainWindow::BuildStatusBar() {
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
    cancelRunButton_ = new QPushButton(QStringLiteral("Cancel"), statusBar_);
    cancelRunButton_->setObjectName(QStringLiteral("cmdCancelRun"));
    cancelRunButton_->setToolTip(QStringLiteral("Stop the report (Esc)"));
    cancelRunButton_->hide();
    statusBar_->addPermanentWidget(cancelRunButton_);
    // Shown after a report has been written to a file, until the next run.
    writtenLabel_ = new QLabel(statusBar_);
    writtenLabel_->setObjectName(QStringLiteral("lblWritten"));
    writtenLabel_->hide();
    statusBar_->addPermanentWidget(writtenLabel_);
    openReportButton_ = new QPushButton(QStringLiteral("&Open Report"), statusBar_);
    openReportButton_->setObjectName(QStringLiteral("cmdOpenReport"));
    openReportButton_->setToolTip(QStringLiteral("Open the CSV file just written"));
    openReportButton_->hide();
    statusBar_->addPermanentWidget(openReportButton_);
    setStatusBar(statusBar_);
}

void MainWindow::BuildTabOrder() {
    QAbstractButton* preview = targetGroup_->button(0);
    QAbstractButton* csv = targetGroup_->button(1);
    setTabOrder(databasePath_, browseDatabaseButton_);
    setTabOrder(browseDatabaseButton_, preview);
    setTabOrder(preview, csv);
    setTabOrder(csv, csvPath_);
    setTabOrder(csvPath_, browseCsvButton_);
    // In reading order. The tab bar itself is named, and the tab widget
    // (whose focus goes to its tab bar) is left out of the chain: ordered by
    // the tab widget, Tab went from the tab bar back to the top and never
    // reached the lists or Start.
    pickerTabs_->setFocusPolicy(Qt::NoFocus);  // also sets the tab bar's
    pickerTabs_->tabBar()->setFocusPolicy(Qt::TabFocus);
    setTabOrder(browseCsvButton_, pickerTabs_->tabBar());
    setTabOrder(pickerTabs_->tabBar(), tablePicker_);
    setTabOrder(tablePicker_, queryPicker_);
    QWidget* previous = queryPicker_;
    for (QListWidget* picker : applicationPickers_->Pickers()) {
        setTabOrder(previous, picker);
        previous = picker;
    }
    setTabOrder(previous, startButton_);
}

void MainWindow::ConnectControls() {
    connect(openReportButton_, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(writtenReport_)); });
    connect(cancelRunButton_, &QPushButton::clicked, this, &MainWindow::CancelRun);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &MainWindow::CancelRun);

    connect(databasePath_, &QLineEdit::editingFinished, this, &MainWindow::DatabasePathEdited);
    connect(browseDatabaseButton_, &QPushButton::clicked, this, &MainWindow::BrowseDatabase);
    connect(browseCsvButton_, &QPushButton::clicked, this, &MainWindow::BrowseCsvFile);
    connect(startButton_, &QPushButton::clicked, this, &MainWindow::StartReport);
    connect(targetGroup_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            SetCsvTarget(id == 1);
        }
    });
}

void MainWindow::ChooseStartingState() {
    // The preview is the first choice; the CSV path is used only for CSV.
    targetGroup_->button(0)->setChecked(true);
    csvPath_->setEnabled(false);
    databasePath_->setFocus();
}

void MainWindow::SetCsvTarget(bool csv) {
    csvPath_->setEnabled(csv);
}

void MainWindow::BringToFront() {
    if (isMinimized()) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    }
    show();
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (running_) {
        // The run is stopped first; the window can be closed once it has.
        CancelRun();
        event->ignore();
        return;
    }
    services_.help.CloseHelp();
    SaveWindowGeometry(*this, services_.switches.FilePath(), kGeometryGroup);
    event->accept();
    QMainWindow::closeEvent(event);
    emit unloaded();
}

}  // namespace ostrel::ui
