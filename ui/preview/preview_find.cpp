// The preview window's find bar: every hit of a text in the report, one at a
// time, marked on its page.
#include "ui/preview/preview_dialog.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/preview/page_view.h"

namespace ostrel::ui {

void PreviewDialog::ShowFindBar() {
    findBar_->show();
    findEdit_->setFocus();
    findEdit_->selectAll();
}

void PreviewDialog::HideFindBar() {
    findBar_->hide();
    view_->Sheet()->SetHighlight({}, -1);
    view_->setFocus();
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

}  // namespace ostrel::ui
