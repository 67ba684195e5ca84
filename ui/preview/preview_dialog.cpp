#include "ui/preview/preview_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "components/qtdocument/page_printer.h"
#include "ui/preview/page_view.h"
#include "ui/preview/preview_twips.h"

namespace ostrel::ui {
namespace {

QPushButton* MakeButton(QWidget* strip, const char* name, const QString& caption, int left, int top,
                        int width, int height) {
    auto* button = new QPushButton(caption, strip);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(Px(left), Px(top), Px(width), Px(height));
    button->setAutoDefault(false);
    return button;
}

QToolButton* MakeToolButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    return button;
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
    BuildNavigationBar(*layout);
    BuildWarningsBar(*layout);
    BuildContentsPane(*layout);
    BuildFindBar(*layout);
    BuildButtonStrip(*layout);
    BuildTabOrder();
    ConnectControls();
    BuildShortcuts();

    document_.SetPagesListener([this](int pages, bool ended) { PagesLaidOut(pages, ended); });
    document_.SetPrintHandler(&qtdocument::PrintOnDefaultPrinter);

    ResizeToScreen();
    RestoreSettings();
    UpdatePageControls();
}

PreviewDialog::~PreviewDialog() {
    document_.SetPagesListener({});
}

// Above the page: the contents switch, the page box and the zoom.
void PreviewDialog::BuildNavigationBar(QVBoxLayout& layout) {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("navigationBar"));
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(Px(60), Px(45), Px(60), 0);
    contentsToggle_ = MakeToolButton(bar, "cmdContents", QStringLiteral("Contents"));
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
    pageOfLabel_ = new QLabel(bar);
    pageOfLabel_->setObjectName(QStringLiteral("lblPageOf"));
    barLayout->addWidget(pageLabel);
    barLayout->addWidget(pageBox_);
    barLayout->addWidget(pageOfLabel_);
    barLayout->addStretch(1);
    auto* zoomLabel = new QLabel(QStringLiteral("&Zoom"), bar);
    zoomBox_ = new QComboBox(bar);
    zoomBox_->setObjectName(QStringLiteral("cboZoom"));
    zoomBox_->setEditable(true);
    zoomBox_->setInsertPolicy(QComboBox::NoInsert);
    FillZoomBox();
    zoomLabel->setBuddy(zoomBox_);
    barLayout->addWidget(zoomLabel);
    barLayout->addWidget(zoomBox_);
    layout.addWidget(bar, 0);
}

// What the report could not document in full, shown with it.
void PreviewDialog::BuildWarningsBar(QVBoxLayout& layout) {
    warningsLabel_ = new QLabel(this);
    warningsLabel_->setObjectName(QStringLiteral("lblWarnings"));
    warningsLabel_->setWordWrap(true);
    warningsLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                            Qt::TextSelectableByKeyboard);
    warningsLabel_->setContentsMargins(Px(60), Px(30), Px(60), Px(30));
    warningsLabel_->setStyleSheet(QStringLiteral("background: #fff4ce; color: #3b2f00;"));
    warningsLabel_->hide();
    layout.addWidget(warningsLabel_, 0);
}

void PreviewDialog::AddWarning(const std::string& text) {
    warningLines_ << QString::fromStdString(text).toHtmlEscaped();
    warningsLabel_->setText(
        QStringLiteral("<b>Linked tables documented without their fields and indexes:</b><br>%1"
                       "<br>File &gt; Link Folders names more places to look for them.")
            .arg(warningLines_.join(QStringLiteral("<br>"))));
    warningsLabel_->show();
}

// Below the page: the find bar, shown by Ctrl+F.
void PreviewDialog::BuildFindBar(QVBoxLayout& layout) {
    findBar_ = new QWidget(this);
    findBar_->setObjectName(QStringLiteral("findBar"));
    auto* findLayout = new QHBoxLayout(findBar_);
    findLayout->setContentsMargins(Px(60), 0, Px(60), 0);
    auto* findLabel = new QLabel(QStringLiteral("&Find"), findBar_);
    findEdit_ = new QLineEdit(findBar_);
    findEdit_->setObjectName(QStringLiteral("txtFind"));
    findLabel->setBuddy(findEdit_);
    findPrevButton_ = MakeToolButton(findBar_, "cmdFindPrev", QStringLiteral("Previous"));
    findNextButton_ = MakeToolButton(findBar_, "cmdFindNext", QStringLiteral("Next"));
    findStatus_ = new QLabel(findBar_);
    findStatus_->setObjectName(QStringLiteral("lblFindStatus"));
    findStatus_->setMinimumWidth(Px(1200));
    findCloseButton_ = MakeToolButton(findBar_, "cmdFindClose", QStringLiteral("Close"));
    findLayout->addWidget(findLabel);
    findLayout->addWidget(findEdit_, 1);
    findLayout->addWidget(findPrevButton_);
    findLayout->addWidget(findNextButton_);
    findLayout->addWidget(findStatus_);
    findLayout->addWidget(findCloseButton_);
    findBar_->hide();
    layout.addWidget(findBar_, 0);
}

// The button strip keeps its height and stays docked at the bottom.
void PreviewDialog::BuildButtonStrip(QVBoxLayout& layout) {
    buttonStrip_ = new QWidget(this);
    buttonStrip_->setObjectName(QStringLiteral("VideoSoftElastic1"));
    buttonStrip_->setFixedHeight(Px(525));
    layout.addWidget(buttonStrip_, 0);

    printButton_ =
        MakeButton(buttonStrip_, "cmdTransmit", QStringLiteral("Print"), 210, 105, 1170, 330);
    cancelButton_ =
        MakeButton(buttonStrip_, "cmdCancel", QStringLiteral("Cancel"), 1575, 105, 1275, 330);
    nextButton_ =
        MakeButton(buttonStrip_, "cmdNext", QStringLiteral("Next Page"), 3045, 105, 1170, 330);
    prevButton_ =
        MakeButton(buttonStrip_, "cmdPrev", QStringLiteral("Prev Page"), 4410, 105, 1170, 330);
    nextButton_->hide();
    prevButton_->hide();
    FitStripToCaptions();
}

void PreviewDialog::FitStripToCaptions() {
    // The buttons keep their places and sizes unless a larger font needs
    // more room for a caption; then they widen and move along.
    int shift = 0;
    int grown = 0;
    for (QPushButton* button : {printButton_, cancelButton_, nextButton_, prevButton_}) {
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
    buttonStrip_->setFixedHeight(Px(525) + grown);
}

void PreviewDialog::SetHtmlSaver(std::function<void()> save) {
    htmlSaver_ = std::move(save);
    if (saveHtmlButton_ != nullptr) {
        return;
    }
    saveHtmlButton_ = MakeButton(buttonStrip_, "cmdSaveHtml", QStringLiteral("Save as &HTML\u2026"),
                                 0, 105, 1800, 330);
    // After the page buttons, wherever larger captions have put them.
    const QRect prev = prevButton_->geometry();
    const QFontMetrics metrics = saveHtmlButton_->fontMetrics();
    const int width =
        std::max(saveHtmlButton_->width(), metrics.horizontalAdvance(saveHtmlButton_->text()) +
                                               2 * metrics.averageCharWidth());
    saveHtmlButton_->setGeometry(prev.right() + Px(195), prev.top(), width, prev.height());
    QWidget::setTabOrder(cancelButton_, saveHtmlButton_);
    connect(saveHtmlButton_, &QPushButton::clicked, this, &PreviewDialog::SaveAsHtml);
}

void PreviewDialog::BuildTabOrder() {
    QWidget::setTabOrder(prevButton_, nextButton_);
    QWidget::setTabOrder(nextButton_, printButton_);
    QWidget::setTabOrder(printButton_, cancelButton_);
    QWidget::setTabOrder(cancelButton_, view_);
    QWidget::setTabOrder(view_, contentsToggle_);
    QWidget::setTabOrder(contentsToggle_, pageBox_);
    QWidget::setTabOrder(pageBox_, zoomBox_);
    QWidget::setTabOrder(zoomBox_, contents_);
    QWidget::setTabOrder(contents_, findEdit_);
    QWidget::setTabOrder(findEdit_, findPrevButton_);
    QWidget::setTabOrder(findPrevButton_, findNextButton_);
    QWidget::setTabOrder(findNextButton_, findCloseButton_);
}

void PreviewDialog::ConnectControls() {
    connect(printButton_, &QPushButton::clicked, this, &PreviewDialog::Print);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(nextButton_, &QPushButton::clicked, this, &PreviewDialog::ShowNextPage);
    connect(prevButton_, &QPushButton::clicked, this, &PreviewDialog::ShowPreviousPage);
    connect(contentsToggle_, &QToolButton::toggled, this, &PreviewDialog::SetContentsVisible);
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int page) {
        if (page != document_.PreviewPage()) {
            GoToPage(page);
        }
    });
    connect(zoomBox_, &QComboBox::textActivated, this, &PreviewDialog::ApplyZoomText);
    // A typed scale applies when Return is pressed in the box.
    connect(zoomBox_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { ApplyZoomText(zoomBox_->currentText()); });
    connect(view_, &PageView::zoomStepRequested, this, &PreviewDialog::ZoomBy);
    connect(contents_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item, int) { OpenContentsItem(item); });
    connect(contents_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { OpenContentsItem(item); });
    connect(findEdit_, &QLineEdit::returnPressed, this, [this] {
        if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier) {
            FindPrevious();
        } else {
            FindNext();
        }
    });
    connect(findNextButton_, &QToolButton::clicked, this, &PreviewDialog::FindNext);
    connect(findPrevButton_, &QToolButton::clicked, this, &PreviewDialog::FindPrevious);
    connect(findCloseButton_, &QToolButton::clicked, this, &PreviewDialog::HideFindBar);
}

void PreviewDialog::BuildShortcuts() {
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
        if (printButton_->isEnabled()) {
            Print();
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

bool PreviewDialog::KeepsSettings() {
    return !QCoreApplication::organizationName().isEmpty();
}

void PreviewDialog::RestoreSettings() {
    if (!KeepsSettings()) {
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
    if (!KeepsSettings()) {
        return;
    }
    QSettings settings;
    settings.beginGroup(QStringLiteral("Preview"));
    settings.setValue(QStringLiteral("Geometry"), saveGeometry());
    settings.setValue(QStringLiteral("Splitter"), splitter_->saveState());
    settings.setValue(QStringLiteral("Contents"), contentsToggle_->isChecked());
}

void PreviewDialog::done(int result) {
    SaveSettings();
    closeRequested_ = true;
    QDialog::done(result);
}

void PreviewDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && findBar_->isVisible() && findEdit_->hasFocus()) {
        HideFindBar();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace ostrel::ui
