// The preview window's pages: showing the report as the run lays it out,
// the page buttons, the page box and the caption, and turning pages.
#include "ui/preview/preview_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

#include "ui/preview/page_view.h"

namespace ostrel::ui {
namespace {

// The page box's upper bound: more pages than any report has, so that a
// number typed past the last page is taken whole (and turns to the last).
constexpr int kMostPages = 9999999;

}  // namespace

void PreviewDialog::SetDatabasePath(const std::string& path) {
    databasePath_ = QString::fromStdString(path);
    document_.SetDatabaseName(path);
}

void PreviewDialog::ShowPageButtons() {
    buttonsShown_ = true;
    nextButton_->setVisible(true);
    prevButton_->setVisible(true);
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
    prevButton_->setEnabled(enabled);
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
        nextButton_->setVisible(true);
        prevButton_->setVisible(true);
    }
    if (nextWaiting_ && document_.PreviewPage() < pages) {
        nextWaiting_ = false;
        ShowNextPage();
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
    pageOfLabel_->setText(laidOutAll_ ? QStringLiteral("of %1").arg(laidOut_)
                                      : QStringLiteral("of %1 so far").arg(laidOut_));
    printButton_->setEnabled(laidOutAll_ || !shownEarly_);
    if (shownEarly_) {
        prevButton_->setEnabled(page > 1);
        nextButton_->setEnabled(page < laidOut_ || !laidOutAll_);
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
        prevButton_->setEnabled(page > 1);
        nextButton_->setEnabled(page < known || !laidOutAll_);
    }
    SetPageCaption();
    UpdatePageControls();
    view_->PageChanged();
    ShowHit();
}

void PreviewDialog::GoToLastPage() {
    GoToPage(document_.PageCount());
}

void PreviewDialog::ShowNextPage() {
    const int page = document_.PreviewPage() + 1;
    if (page > document_.PageCount()) {
        // Not laid out yet: turn as soon as it is.
        nextWaiting_ = !laidOutAll_;
        return;
    }
    document_.SetPreviewPage(page);
    if (laidOutAll_ && document_.PageCount() == page) {
        nextButton_->setEnabled(false);
    }
    prevButton_->setEnabled(true);
    SetPageCaption();
    UpdatePageControls();
    view_->PageChanged();
    ShowHit();
}

void PreviewDialog::ShowPreviousPage() {
    const int page = document_.PreviewPage() - 1;
    if (page < 1) {
        return;
    }
    nextWaiting_ = false;
    document_.SetPreviewPage(page);
    if (page == 1) {
        prevButton_->setEnabled(false);
    }
    nextButton_->setEnabled(true);
    SetPageCaption();
    UpdatePageControls();
    view_->PageChanged();
    ShowHit();
}

// Page Down scrolls through the page shown and turns to the next one only
// from its bottom, so that nothing of a page is passed over; Page Up goes
// back the same way, to the bottom of the page before.
void PreviewDialog::PageDown() {
    if (view_->ScrollPage(+1)) {
        return;
    }
    if (nextButton_->isVisibleTo(this) && nextButton_->isEnabled()) {
        ShowNextPage();
    }
}

void PreviewDialog::PageUp() {
    if (view_->ScrollPage(-1)) {
        return;
    }
    if (prevButton_->isVisibleTo(this) && prevButton_->isEnabled()) {
        ShowPreviousPage();
        view_->ScrollToBottom();
    }
}

}  // namespace ostrel::ui
