// The preview window's zoom: the scale box and the steps of Ctrl+Plus,
// Ctrl+Minus and Ctrl and the wheel.
#include "ui/preview/preview_dialog.h"

#include <QComboBox>
#include <algorithm>
#include <array>

#include "ui/preview/page_view.h"

namespace ostrel::ui {
namespace {

constexpr std::array<int, 8> kZoomSteps{50, 75, 100, 125, 150, 200, 300, 400};

QString FitWidthText() {
    return QStringLiteral("Fit width");
}

QString FitPageText() {
    return QStringLiteral("Fit page");
}

QString PercentText(int percent) {
    return QStringLiteral("%1%").arg(percent);
}

// The scale the view shows, as the box writes it.
QString ShownZoomText(const PageView& view) {
    switch (view.ZoomFit()) {
        case PageView::Fit::Width:
            return FitWidthText();
        case PageView::Fit::Page:
            return FitPageText();
        case PageView::Fit::Percent:
            break;
    }
    return PercentText(view.ZoomPercent());
}

}  // namespace

void PreviewDialog::FillZoomBox() {
    zoomBox_->addItem(FitWidthText());
    zoomBox_->addItem(FitPageText());
    for (const int step : kZoomSteps) {
        zoomBox_->addItem(PercentText(step));
    }
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
        zoomBox_->setEditText(ShownZoomText(*view_));
        return;
    }
    const int clamped = std::clamp(percent, PageView::kMinPercent, PageView::kMaxPercent);
    view_->SetZoom(PageView::Fit::Percent, clamped);
    zoomBox_->setEditText(PercentText(clamped));
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
    zoomBox_->setEditText(PercentText(target));
}

}  // namespace ostrel::ui
