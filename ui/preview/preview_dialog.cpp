#include "ui/preview/preview_dialog.h"

#include <QKeySequence>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>
#include <exception>

#include "ui/preview/page_view.h"

namespace ostrel::ui {
namespace {

// The window's layout is drawn in twips; 15 twips make one pixel at the
// usual 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

QPushButton* MakeButton(QWidget* strip, const char* name, const QString& caption, int left, int top,
                        int width, int height) {
    auto* button = new QPushButton(caption, strip);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(Px(left), Px(top), Px(width), Px(height));
    button->setAutoDefault(false);
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

    view_ = new PageView(document_, this);
    layout->addWidget(view_, 1);

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

    QWidget::setTabOrder(cmdPrev_, cmdNext_);
    QWidget::setTabOrder(cmdNext_, cmdTransmit_);
    QWidget::setTabOrder(cmdTransmit_, cmdCancel_);
    QWidget::setTabOrder(cmdCancel_, view_);

    connect(cmdTransmit_, &QPushButton::clicked, this, [this] { cmdTransmit_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdNext_, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
    connect(cmdPrev_, &QPushButton::clicked, this, [this] { cmdPrev_Click(); });

    auto* pageDown = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
    connect(pageDown, &QShortcut::activated, this, [this] { PageDown(); });
    auto* pageUp = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
    connect(pageUp, &QShortcut::activated, this, [this] { PageUp(); });

    resize(Px(8940), Px(8010));
}

PreviewDialog::~PreviewDialog() = default;

void PreviewDialog::ShowPageButtons() {
    cmdNext_->setVisible(true);
    cmdPrev_->setVisible(true);
}

void PreviewDialog::SetPrevEnabled(bool enabled) {
    cmdPrev_->setEnabled(enabled);
}

void PreviewDialog::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void PreviewDialog::ShowModal() {
    view_->PageChanged();
    exec();
}

void PreviewDialog::SetPageCaption() {
    setWindowTitle(QStringLiteral("Report Preview - Page %1 of %2")
                       .arg(document_.PreviewPage())
                       .arg(document_.PageCount()));
}

void PreviewDialog::cmdNext_Click() {
    const int page = document_.PreviewPage() + 1;
    document_.SetPreviewPage(page);
    if (document_.PageCount() == page) {
        cmdNext_->setEnabled(false);
    }
    cmdPrev_->setEnabled(true);
    SetPageCaption();
    view_->PageChanged();
}

void PreviewDialog::cmdPrev_Click() {
    const int page = document_.PreviewPage() - 1;
    document_.SetPreviewPage(page);
    if (page == 1) {
        cmdPrev_->setEnabled(false);
    }
    cmdNext_->setEnabled(true);
    SetPageCaption();
    view_->PageChanged();
}

void PreviewDialog::cmdTransmit_Click() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(document_.Paper());
    printer.setFullPage(true);
    if (!prompts_->ChoosePrinter(printer, document_.PageCount(), this)) {
        return;  // the user changed their mind; the preview stays
    }
    try {
        document_.Print(printer);
    } catch (const std::exception& e) {
        prompts_->ShowError(QStringLiteral("Ostrel2"),
                            QStringLiteral("The report could not be printed.\n\n%1")
                                .arg(QString::fromStdString(e.what())),
                            this);
        return;
    }
    accept();
}

void PreviewDialog::cmdCancel_Click() {
    reject();
}

// Page Up and Page Down turn pages as the buttons do; where there is no page
// to turn to they scroll the page instead.
void PreviewDialog::PageDown() {
    if (cmdNext_->isVisibleTo(this) && cmdNext_->isEnabled()) {
        cmdNext_Click();
    } else {
        view_->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    }
}

void PreviewDialog::PageUp() {
    if (cmdPrev_->isVisibleTo(this) && cmdPrev_->isEnabled()) {
        cmdPrev_Click();
    } else {
        view_->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    }
}

}  // namespace ostrel::ui
