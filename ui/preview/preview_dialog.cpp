#include "ui/preview/preview_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <exception>

#include "components/qtdocument/page_printer.h"
#include "ui/preview/page_view.h"
#include "ui/preview/print_job.h"

namespace ostrel::ui {
namespace {

// The window's layout is drawn in twips; 15 twips make one pixel at the
// usual 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

constexpr std::array<int, 8> kZoomSteps{50, 75, 100, 125, 150, 200, 300, 400};
constexpr int kPageRole = Qt::UserRole;
// The page box's upper bound: more pages than any report has, so that a
// number typed past the last page is taken whole (and turns to the last).
constexpr int kMostPages = 9999999;
constexpr int kTopRole = Qt::UserRole + 1;

QPushButton* MakeButton(QWidget* strip, const char* name, const QString& caption, int left, int top,
                        int width, int height) {
    auto* button = new QPushButton(caption, strip);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(Px(left), Px(top), Px(width), Px(height));
    button->setAutoDefault(false);
    return button;
}

// Settings are kept only by the program, which names itself; a window made
// in a test leaves none behind.
bool Remembers() {
    return !QCoreApplication::organizationName().isEmpty();
}

QString FitWidthText() {
    return QStringLiteral("Fit width");
}
QString FitPageText() {
    return QStringLiteral("Fit page");
}

}  // namespace

PreviewDialog::PreviewDialog(QWidget* owner, std::unique_ptr<PreviewPrompts> prompts,
                             const QLocale& locale)
    : QDialog(owner),
      document_(locale),
      prompts_(prompts ? std::move(prompts) : std::make_unique<DialogPrompts>()) {
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(Px(15));

    // Above the page: contents switch, page box and zoom.
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("navigationBar"));
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(Px(60), Px(45), Px(60), 0);
    contentsToggle_ = new QToolButton(bar);
    contentsToggle_->setObjectName(QStringLiteral("cmdContents"));
    contentsToggle_->setText(QStringLiteral("Contents"));
    contentsToggle_->setCheckable(true);
    contentsToggle_->setChecked(true);
    contentsToggle_->setToolTip(QStringLiteral("Show or hide the contents (F4)"));
    barLayout->addWidget(contentsToggle_);
    barLayout->addSpacing(Px(180));
    auto* pageLabel = new QLabel(QStringLiteral("&Page"), bar);
    pageBox_ = new QSpinBox(bar);
    pageBox_->setObjectName(QStringLiteral("txtPage"));
    pageBox_->setRange(1, 1);
    pageBox_->setKeyboardTracking(false);
    pageBox_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    pageBox_->setMinimumWidth(Px(900));
    pageLabel->setBuddy(pageBox_);
    pageOf_ = new QLabel(bar);
    pageOf_->setObjectName(QStringLiteral("lblPageOf"));
    barLayout->addWidget(pageLabel);
    barLayout->addWidget(pageBox_);
    barLayout->addWidget(pageOf_);
    barLayout->addStretch(1);
    auto* zoomLabel = new QLabel(QStringLiteral("&Zoom"), bar);
    zoomBox_ = new QComboBox(bar);
    zoomBox_->setObjectName(QStringLiteral("cboZoom"));
    zoomBox_->setEditable(true);
    zoomBox_->setInsertPolicy(QComboBox::NoInsert);
    zoomBox_->addItem(FitWidthText());
    zoomBox_->addItem(FitPageText());
    for (const int step : kZoomSteps) {
        zoomBox_->addItem(QStringLiteral("%1%").arg(step));
    }
    zoomLabel->setBuddy(zoomBox_);
    barLayout->addWidget(zoomLabel);
    barLayout->addWidget(zoomBox_);
    layout->addWidget(bar, 0);

    // What the report could not document in full, shown with it.
    warnings_ = new QLabel(this);
    warnings_->setObjectName(QStringLiteral("lblWarnings"));
    warnings_->setWordWrap(true);
    warnings_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    warnings_->setContentsMargins(Px(60), Px(30), Px(60), Px(30));
    warnings_->setStyleSheet(QStringLiteral("background: #fff4ce; color: #3b2f00;"));
    warnings_->hide();
    layout->addWidget(warnings_, 0);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("splitContents"));
    contents_ = new QTreeWidget(splitter_);
    contents_->setObjectName(QStringLiteral("tvwContents"));
    contents_->setHeaderHidden(true);
    contents_->setUniformRowHeights(true);
    view_ = new PageView(document_, splitter_);
    splitter_->addWidget(contents_);
    splitter_->addWidget(view_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    // Wide enough for the longest section's title; longer object names
    // scroll sideways rather than being cut off.
    contents_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    contents_->header()->setStretchLastSection(false);
    const int contentsWidth =
        contents_->fontMetrics().horizontalAdvance(QStringLiteral("3 - Relationship Properties")) +
        contents_->indentation() * 2 + contents_->frameWidth() * 2 +
        contents_->verticalScrollBar()->sizeHint().width();
    splitter_->setSizes({std::max(Px(2200), contentsWidth), Px(6740)});
    splitter_->setChildrenCollapsible(false);
    layout->addWidget(splitter_, 1);

    // Below the page: the find bar, shown by Ctrl+F.
    findBar_ = new QWidget(this);
    findBar_->setObjectName(QStringLiteral("findBar"));
    auto* findLayout = new QHBoxLayout(findBar_);
    findLayout->setContentsMargins(Px(60), 0, Px(60), 0);
    auto* findLabel = new QLabel(QStringLiteral("&Find"), findBar_);
    findEdit_ = new QLineEdit(findBar_);
    findEdit_->setObjectName(QStringLiteral("txtFind"));
    findLabel->setBuddy(findEdit_);
    auto* findPrev = new QToolButton(findBar_);
    findPrev->setObjectName(QStringLiteral("cmdFindPrev"));
    findPrev->setText(QStringLiteral("Previous"));
    auto* findNext = new QToolButton(findBar_);
    findNext->setObjectName(QStringLiteral("cmdFindNext"));
    findNext->setText(QStringLiteral("Next"));
    findStatus_ = new QLabel(findBar_);
    findStatus_->setObjectName(QStringLiteral("lblFindStatus"));
    findStatus_->setMinimumWidth(Px(1200));
    auto* findClose = new QToolButton(findBar_);
    findClose->setObjectName(QStringLiteral("cmdFindClose"));
    findClose->setText(QStringLiteral("Close"));
    findLayout->addWidget(findLabel);
    findLayout->addWidget(findEdit_, 1);
    findLayout->addWidget(findPrev);
    findLayout->addWidget(findNext);
    findLayout->addWidget(findStatus_);
    findLayout->addWidget(findClose);
    findBar_->hide();
    layout->addWidget(findBar_, 0);

    // The button strip keeps its height and stays docked at the bottom.
    strip_ = new QWidget(this);
    strip_->setObjectName(QStringLiteral("VideoSoftElastic1"));
    strip_->setFixedHeight(Px(525));
    layout->addWidget(strip_, 0);

    cmdTransmit_ = MakeButton(strip_, "cmdTransmit", QStringLiteral("Print"), 210, 105, 1170, 330);
    cmdCancel_ = MakeButton(strip_, "cmdCancel", QStringLiteral("Cancel"), 1575, 105, 1275, 330);
    cmdNext_ = MakeButton(strip_, "cmdNext", QStringLiteral("Next Page"), 3045, 105, 1170, 330);
    cmdPrev_ = MakeButton(strip_, "cmdPrev", QStringLiteral("Prev Page"), 4410, 105, 1170, 330);
    cmdNext_->hide();
    cmdPrev_->hide();
    FitStripToCaptions();

    QWidget::setTabOrder(cmdPrev_, cmdNext_);
    QWidget::setTabOrder(cmdNext_, cmdTransmit_);
    QWidget::setTabOrder(cmdTransmit_, cmdCancel_);
    QWidget::setTabOrder(cmdCancel_, view_);
    QWidget::setTabOrder(view_, contentsToggle_);
    QWidget::setTabOrder(contentsToggle_, pageBox_);
    QWidget::setTabOrder(pageBox_, zoomBox_);
    QWidget::setTabOrder(zoomBox_, contents_);
    QWidget::setTabOrder(contents_, findEdit_);
    QWidget::setTabOrder(findEdit_, findPrev);
    QWidget::setTabOrder(findPrev, findNext);
    QWidget::setTabOrder(findNext, findClose);

    connect(cmdTransmit_, &QPushButton::clicked, this, [this] { cmdTransmit_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdNext_, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
    connect(cmdPrev_, &QPushButton::clicked, this, [this] { cmdPrev_Click(); });
    connect(contentsToggle_, &QToolButton::toggled, this,
            [this](bool on) { SetContentsVisible(on); });
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int page) {
        if (page != document_.PreviewPage()) {
            GoToPage(page);
        }
    });
    connect(zoomBox_, &QComboBox::textActivated, this,
            [this](const QString& text) { ApplyZoomText(text); });
    // A typed scale applies when Return is pressed in the box.
    connect(zoomBox_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { ApplyZoomText(zoomBox_->currentText()); });
    connect(view_, &PageView::zoomStepRequested, this, [this](int step) { ZoomBy(step); });
    auto open = [this](QTreeWidgetItem* item) {
        if (item == nullptr) {
            return;
        }
        GoToPage(item->data(0, kPageRole).toInt());
        view_->ScrollToTwips(item->data(0, kTopRole).toDouble());
    };
    connect(contents_, &QTreeWidget::itemActivated, this,
            [open](QTreeWidgetItem* item, int) { open(item); });
    connect(contents_, &QTreeWidget::itemClicked, this,
            [open](QTreeWidgetItem* item, int) { open(item); });
    connect(findEdit_, &QLineEdit::returnPressed, this, [this] {
        if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier) {
            FindPrevious();
        } else {
            FindNext();
        }
    });
    connect(findNext, &QToolButton::clicked, this, [this] { FindNext(); });
    connect(findPrev, &QToolButton::clicked, this, [this] { FindPrevious(); });
    connect(findClose, &QToolButton::clicked, this, [this] {
        findBar_->hide();
        view_->Sheet()->SetHighlight({}, -1);
        view_->setFocus();
    });

    auto shortcut = [this](const QKeySequence& keys, auto handler) {
        auto* s = new QShortcut(keys, this);
        connect(s, &QShortcut::activated, this, handler);
    };
    shortcut(QKeySequence(Qt::Key_PageDown), [this] { PageDown(); });
    shortcut(QKeySequence(Qt::Key_PageUp), [this] { PageUp(); });
    shortcut(QKeySequence(Qt::Key_Home), [this] { GoToFirstPage(); });
    shortcut(QKeySequence(Qt::Key_End), [this] { GoToLastPage(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { GoToFirstPage(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_End), [this] { GoToLastPage(); });
    shortcut(QKeySequence::Find, [this] { ShowFindBar(); });
    shortcut(QKeySequence::FindNext, [this] { FindNext(); });
    shortcut(QKeySequence::FindPrevious, [this] { FindPrevious(); });
    shortcut(QKeySequence::Print, [this] {
        if (cmdTransmit_->isEnabled()) {
            cmdTransmit_Click();
        }
    });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { ZoomBy(1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { ZoomBy(1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { ZoomBy(-1); });
    shortcut(QKeySequence(Qt::Key_F4), [this] { contentsToggle_->toggle(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_G), [this] {
        pageBox_->setFocus();
        pageBox_->selectAll();
    });

    document_.SetPagesListener([this](int pages, bool ended) { PagesLaidOut(pages, ended); });
    document_.SetPrintHandler(&qtdocument::PrintOnDefaultPrinter);

    ResizeToScreen();
    RestoreSettings();
    UpdatePageControls();
}

PreviewDialog::~PreviewDialog() {
    document_.SetPagesListener({});
}

void PreviewDialog::FitStripToCaptions() {
    // The buttons keep their places and sizes unless a larger font needs
    // more room for a caption; then they widen and move along.
    int shift = 0;
    int grown = 0;
    for (QPushButton* button : {cmdTransmit_, cmdCancel_, cmdNext_, cmdPrev_}) {
        QRect place = button->geometry();
        const QFontMetrics metrics = button->fontMetrics();
        const int needed =
            metrics.horizontalAdvance(button->text()) + 2 * metrics.averageCharWidth();
        place.translate(shift, 0);
        if (needed > place.width()) {
            shift += needed - place.width();
            place.setWidth(needed);
        }
        const int height = metrics.height() + 4;
        if (height > place.height()) {
            grown = std::max(grown, height - place.height());
            place.setHeight(height);
        }
        button->setGeometry(place);
    }
    strip_->setFixedHeight(Px(525) + grown);
}

void PreviewDialog::ResizeToScreen() {
    // Large enough to read a page across its width: most of the screen's
    // height, a page and the contents wide.
    const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : this->screen();
    const QRect available =
        screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int height = std::max(Px(8010), available.height() * 9 / 10);
    const int width = std::clamp(static_cast<int>(height * 0.72) + Px(2200), Px(8940),
                                 available.width() * 9 / 10);
    resize(width, height);
}

void PreviewDialog::AddWarning(const std::string& text) {
    warningLines_ << QString::fromStdString(text).toHtmlEscaped();
    warnings_->setText(
        QStringLiteral("<b>Linked tables documented without their fields and indexes:</b><br>%1"
                       "<br>File &gt; Link Folders names more places to look for them.")
            .arg(warningLines_.join(QStringLiteral("<br>"))));
    warnings_->show();
}

void PreviewDialog::RestoreSettings() {
    if (!Remembers()) {
        return;
    }
    QSettings settings;
    settings.beginGroup(QStringLiteral("Preview"));
    if (settings.contains(QStringLiteral("Geometry"))) {
        restoreGeometry(settings.value(QStringLiteral("Geometry")).toByteArray());
    }
    if (settings.contains(QStringLiteral("Splitter"))) {
        splitter_->restoreState(settings.value(QStringLiteral("Splitter")).toByteArray());
    }
    contentsToggle_->setChecked(settings.value(QStringLiteral("Contents"), true).toBool());
    SetContentsVisible(contentsToggle_->isChecked());
}

void PreviewDialog::SaveSettings() const {
    if (!Remembers()) {
        return;
    }
    QSettings settings;
    settings.beginGroup(QStringLiteral("Preview"));
    settings.setValue(QStringLiteral("Geometry"), saveGeometry());
    settings.setValue(QStringLiteral("Splitter"), splitter_->saveState());
    settings.setValue(QStringLiteral("Contents"), contentsToggle_->isChecked());
}

void PreviewDialog::SetDatabasePath(const std::string& path) {
    databasePath_ = QString::fromStdString(path);
    document_.SetDatabaseName(path);
}

void PreviewDialog::ShowPageButtons() {
    buttonsShown_ = true;
    cmdNext_->setVisible(true);
    cmdPrev_->setVisible(true);
    if (shownEarly_) {
        UpdatePageControls();
    }
}

void PreviewDialog::SetPrevEnabled(bool enabled) {
    // Shown early, the user may already have turned pages: the buttons
    // follow the page shown.
    if (shownEarly_) {
        UpdatePageControls();
        return;
    }
    cmdPrev_->setEnabled(enabled);
}

void PreviewDialog::SetCaption(const std::string& caption) {
    if (shownEarly_) {
        SetPageCaption();
        return;
    }
    setWindowTitle(QString::fromStdString(caption));
}

void PreviewDialog::Complete(int pages) {
    if (pages > 1) {
        ShowPageButtons();
        SetPrevEnabled(false);
        SetCaption("Report Preview - Page 1 of " + std::to_string(pages));
    }
    ShowModal();
}

void PreviewDialog::ShowModal() {
    if (closeRequested_) {
        return;  // closed while the report was still being laid out
    }
    if (!shownEarly_) {
        view_->PageChanged();
    }
    UpdatePageControls();
    FillContents();
    exec();
}

void PreviewDialog::done(int result) {
    SaveSettings();
    closeRequested_ = true;
    QDialog::done(result);
}

void PreviewDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && findBar_->isVisible() && findEdit_->hasFocus()) {
        findBar_->hide();
        view_->Sheet()->SetHighlight({}, -1);
        view_->setFocus();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        cmdCancel_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PreviewDialog::PagesLaidOut(int pages, bool ended) {
    laidOut_ = pages;
    laidOutAll_ = ended;
    if (early_ && !shownEarly_ && !closeRequested_ && pages >= 1 && !ended) {
        shownEarly_ = true;
        setWindowModality(Qt::ApplicationModal);
        view_->PageChanged();
        show();
    }
    if (!shownEarly_) {
        if (ended) {
            FillContents();
            UpdatePageControls();
        }
        return;
    }
    if (pages > 1 && !buttonsShown_) {
        buttonsShown_ = true;
        cmdNext_->setVisible(true);
        cmdPrev_->setVisible(true);
    }
    if (nextWaiting_ && document_.PreviewPage() < pages) {
        nextWaiting_ = false;
        cmdNext_Click();
    }
    if (ended) {
        nextWaiting_ = false;
    }
    FillContents();
    UpdatePageControls();
    SetPageCaption();
}

void PreviewDialog::UpdatePageControls() {
    const int page = document_.PreviewPage();
    const int known = std::max(laidOut_, 1);
    // The box takes any number; one past the last page turns to the last.
    pageBox_->blockSignals(true);
    pageBox_->setRange(1, std::max(known, kMostPages));
    pageBox_->setValue(page);
    pageBox_->blockSignals(false);
    pageOf_->setText(laidOutAll_ ? QStringLiteral("of %1").arg(laidOut_)
                                 : QStringLiteral("of %1 so far").arg(laidOut_));
    cmdTransmit_->setEnabled(laidOutAll_ || !shownEarly_);
    if (shownEarly_) {
        cmdPrev_->setEnabled(page > 1);
        cmdNext_->setEnabled(page < laidOut_ || !laidOutAll_);
    }
}

void PreviewDialog::SetPageCaption() {
    const int count = document_.PageCount();
    if (laidOutAll_ && count <= 1) {
        return;  // a one-page report keeps its designed caption
    }
    QString caption =
        QStringLiteral("Report Preview - Page %1 of %2").arg(document_.PreviewPage()).arg(count);
    if (!laidOutAll_ && shownEarly_) {
        caption += QStringLiteral(" so far");
    }
    setWindowTitle(caption);
}

void PreviewDialog::GoToPage(int page) {
    const int known = std::max(document_.PageCount(), 1);
    page = std::clamp(page, 1, known);
    document_.SetPreviewPage(page);
    if (shownEarly_ || buttonsShown_) {
        cmdPrev_->setEnabled(page > 1);
        cmdNext_->setEnabled(page < known || !laidOutAll_);
    }
    SetPageCaption();
    UpdatePageControls();
    view_->PageChanged();
    ShowHit();
}

void PreviewDialog::GoToLastPage() {
    GoToPage(document_.PageCount());
}

void PreviewDialog::cmdNext_Click() {
    const int page = document_.PreviewPage() + 1;
    if (page > document_.PageCount()) {
        // Not laid out yet: turn as soon as it is.
        nextWaiting_ = !laidOutAll_;
        return;
    }
    document_.SetPreviewPage(page);
    if (laidOutAll_ && document_.PageCount() == page) {
        cmdNext_->setEnabled(false);
    }
    cmdPrev_->setEnabled(true);
    SetPageCaption();
    UpdatePageControls();
    view_->PageChanged();
    ShowHit();
}

void PreviewDialog::cmdPrev_Click() {
    const int page = document_.PreviewPage() - 1;
    if (page < 1) {
        return;
    }
    nextWaiting_ = false;
    document_.SetPreviewPage(page);
    if (page == 1) {
        cmdPrev_->setEnabled(false);
    }
    cmdNext_->setEnabled(true);
    SetPageCaption();
    UpdatePageControls();
    view_->PageChanged();
    ShowHit();
}

QString PreviewDialog::DefaultPrintFileName() const {
    const QFileInfo database(databasePath_);
    const QString base =
        databasePath_.isEmpty() ? QStringLiteral("report") : database.completeBaseName();
    QString folder;
    if (Remembers()) {
        folder = QSettings().value(QStringLiteral("Preview/LastReportFolder")).toString();
    }
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = databasePath_.isEmpty() ? QDir::homePath() : database.absolutePath();
    }
    return QDir(folder).filePath(base + QStringLiteral(".pdf"));
}

void PreviewDialog::cmdTransmit_Click() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(document_.Paper());
    printer.setFullPage(true);
    printer.setDocName(QFileInfo(DefaultPrintFileName()).completeBaseName());
    printer.setOutputFileName(DefaultPrintFileName());
    if (!prompts_->ChoosePrinter(printer, document_.PageCount(), this)) {
        return;  // the user changed their mind; the preview stays
    }
    const bool toFile =
        printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    QString error;
    // The whole report to a file is the batch program's PDF, with its
    // outline and links; a range of pages, or paper, goes through the printer.
    const PrintOutcome outcome =
        toFile && printer.printRange() != QPrinter::PageRange
            ? SavePdfWithProgress(document_, printer.outputFileName(), this, error)
            : PrintWithProgress(document_, printer, this, error);
    if (outcome == PrintOutcome::Cancelled) {
        return;
    }
    if (outcome == PrintOutcome::Failed) {
        prompts_->ShowError(QStringLiteral("Ostrel2"),
                            QStringLiteral("The report could not be printed.\n\n%1").arg(error),
                            this);
        return;
    }
    if (toFile) {
        const QString saved = QFileInfo(printer.outputFileName()).absoluteFilePath();
        if (Remembers()) {
            QSettings().setValue(QStringLiteral("Preview/LastReportFolder"),
                                 QFileInfo(saved).absolutePath());
        }
        prompts_->ShowSaved(saved, this);
    }
    accept();
}

void PreviewDialog::cmdCancel_Click() {
    reject();
}

// Page Down scrolls through the page shown and turns to the next one only
// from its bottom, so that nothing of a page is passed over; Page Up goes
// back the same way, to the bottom of the page before.
void PreviewDialog::PageDown() {
    if (view_->ScrollPage(+1)) {
        return;
    }
    if (cmdNext_->isVisibleTo(this) && cmdNext_->isEnabled()) {
        cmdNext_Click();
    }
}

void PreviewDialog::PageUp() {
    if (view_->ScrollPage(-1)) {
        return;
    }
    if (cmdPrev_->isVisibleTo(this) && cmdPrev_->isEnabled()) {
        cmdPrev_Click();
        view_->ScrollToBottom();
    }
}

void PreviewDialog::FillContents() {
    const std::vector<qtdocument::Block>& blocks = document_.Blocks();
    while (contentsFilled_ < blocks.size() && blocks[contentsFilled_].page > 0) {
        const qtdocument::Block& block = blocks[contentsFilled_];
        QTreeWidgetItem* item = nullptr;
        if (block.section) {
            item = new QTreeWidgetItem(contents_, {QString::fromStdString(block.name)});
            lastSection_ = item;
        } else {
            const QString text = QString::fromStdString(block.Title());
            item = lastSection_ != nullptr ? new QTreeWidgetItem(lastSection_, {text})
                                           : new QTreeWidgetItem(contents_, {text});
        }
        item->setToolTip(0, item->text(0));
        item->setData(0, kPageRole, block.page);
        item->setData(0, kTopRole, block.top);
        ++contentsFilled_;
    }
}

void PreviewDialog::SetContentsVisible(bool visible) {
    contents_->setVisible(visible);
    if (contentsToggle_->isChecked() != visible) {
        contentsToggle_->setChecked(visible);
    }
}

bool PreviewDialog::ContentsVisible() const {
    return contentsToggle_->isChecked();
}

void PreviewDialog::ShowFindBar() {
    findBar_->show();
    findEdit_->setFocus();
    findEdit_->selectAll();
}

void PreviewDialog::FindText(const QString& text) {
    searched_ = text;
    if (findEdit_->text() != text) {
        findEdit_->setText(text);
    }
    hits_ = document_.Find(text);
    currentHit_ = -1;
    // The first hit on or after the page shown.
    for (std::size_t i = 0; i < hits_.size(); ++i) {
        if (hits_[i].page >= document_.PreviewPage()) {
            currentHit_ = static_cast<int>(i);
            break;
        }
    }
    if (currentHit_ < 0 && !hits_.empty()) {
        currentHit_ = 0;
    }
    if (currentHit_ >= 0) {
        GoToPage(hits_[static_cast<std::size_t>(currentHit_)].page);
    } else {
        ShowHit();
    }
}

void PreviewDialog::FindNext() {
    if (searched_ != findEdit_->text() || hits_.empty()) {
        FindText(findEdit_->text());
        return;
    }
    currentHit_ = (currentHit_ + 1) % static_cast<int>(hits_.size());
    GoToPage(hits_[static_cast<std::size_t>(currentHit_)].page);
}

void PreviewDialog::FindPrevious() {
    if (searched_ != findEdit_->text() || hits_.empty()) {
        FindText(findEdit_->text());
        return;
    }
    const int count = static_cast<int>(hits_.size());
    currentHit_ = (currentHit_ + count - 1) % count;
    GoToPage(hits_[static_cast<std::size_t>(currentHit_)].page);
}

void PreviewDialog::ShowHit() {
    findStatus_->setText(FindStatus());
    if (searched_.isEmpty()) {
        view_->Sheet()->SetHighlight({}, -1);
        return;
    }
    const int page = document_.PreviewPage();
    int onPage = -1;
    if (currentHit_ >= 0 && hits_[static_cast<std::size_t>(currentHit_)].page == page) {
        onPage = 0;
        for (int i = currentHit_ - 1; i >= 0 && hits_[static_cast<std::size_t>(i)].page == page;
             --i) {
            ++onPage;
        }
    }
    view_->Sheet()->SetHighlight(searched_, onPage);
    if (onPage >= 0) {
        const std::vector<std::vector<QRectF>> rects = document_.MatchRects(page, searched_);
        if (static_cast<std::size_t>(onPage) < rects.size() &&
            !rects[static_cast<std::size_t>(onPage)].empty()) {
            view_->EnsureTwipsVisible(rects[static_cast<std::size_t>(onPage)].front());
        }
    }
}

QString PreviewDialog::FindStatus() const {
    if (searched_.isEmpty()) {
        return {};
    }
    if (hits_.empty()) {
        return QStringLiteral("No matches");
    }
    return QStringLiteral("%1 of %2").arg(currentHit_ + 1).arg(hits_.size());
}

void PreviewDialog::ApplyZoomText(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(FitWidthText(), Qt::CaseInsensitive) == 0) {
        view_->SetZoom(PageView::Fit::Width);
        return;
    }
    if (trimmed.compare(FitPageText(), Qt::CaseInsensitive) == 0) {
        view_->SetZoom(PageView::Fit::Page);
        return;
    }
    QString number = trimmed;
    number.remove(u'%');
    bool ok = false;
    const int percent = number.trimmed().toInt(&ok);
    if (!ok) {
        zoomBox_->setEditText(view_->ZoomFit() == PageView::Fit::Width ? FitWidthText()
                              : view_->ZoomFit() == PageView::Fit::Page
                                  ? FitPageText()
                                  : QStringLiteral("%1%").arg(view_->ZoomPercent()));
        return;
    }
    const int clamped = std::clamp(percent, PageView::kMinPercent, PageView::kMaxPercent);
    view_->SetZoom(PageView::Fit::Percent, clamped);
    zoomBox_->setEditText(QStringLiteral("%1%").arg(clamped));
}

void PreviewDialog::ZoomBy(int step) {
    const int now = view_->ZoomPercent();
    int target = now;
    if (step > 0) {
        const auto* next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), now);
        target = next == kZoomSteps.end() ? kZoomSteps.back() : *next;
    } else {
        const auto* below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), now);
        target = below == kZoomSteps.begin() ? kZoomSteps.front() : *(below - 1);
    }
    view_->SetZoom(PageView::Fit::Percent, target);
    zoomBox_->setEditText(QStringLiteral("%1%").arg(target));
}

}  // namespace ostrel::ui
