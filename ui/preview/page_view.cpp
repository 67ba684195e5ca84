#include "ui/preview/page_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "components/qtdocument/qt_report_document.h"

namespace ostrel::ui {

PageSheet::PageSheet(const qtdocument::QtReportDocument& document, QWidget* parent)
    : QWidget(parent), document_(document) {
    setObjectName(QStringLiteral("vsPrinter1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageSheet::SetHighlight(const QString& text, int currentOnPage) {
    highlight_ = text;
    currentOnPage_ = currentOnPage;
    update();
}

void PageSheet::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.setClipRect(event->rect());
    const int page = document_.PreviewPage();
    document_.RenderPage(page, painter, QRectF(rect()));
    if (highlight_.isEmpty()) {
        return;
    }
    const QSizeF paper = document_.Geometry().paper;
    const double sx = width() / paper.width();
    const double sy = height() / paper.height();
    const std::vector<std::vector<QRectF>> hits = document_.MatchRects(page, highlight_);
    for (std::size_t i = 0; i < hits.size(); ++i) {
        const QColor colour = static_cast<int>(i) == currentOnPage_ ? QColor(255, 140, 0, 120)
                                                                    : QColor(255, 230, 0, 110);
        for (const QRectF& r : hits[i]) {
            painter.fillRect(QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy),
                             colour);
        }
    }
}

PageView::PageView(const qtdocument::QtReportDocument& document, QWidget* parent)
    : QScrollArea(parent), document_(document), sheet_(new PageSheet(document)) {
    setObjectName(QStringLiteral("pageView"));
    setWidgetResizable(false);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Always shown so that the sheet's width does not jump with its height.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setBackgroundRole(QPalette::Dark);
    setWidget(sheet_);
    FitSheet();
}

double PageView::PaperWidthPixels() const {
    return document_.Geometry().paper.width() / qtdocument::kTwipsPerInch * logicalDpiX();
}

int PageView::ZoomPercent() const {
    return static_cast<int>(std::lround(sheet_->width() * 100.0 / PaperWidthPixels()));
}

void PageView::SetZoom(Fit fit, int percent) {
    fit_ = fit;
    percent_ = std::clamp(percent, kMinPercent, kMaxPercent);
    FitSheet();
}

void PageView::FitSheet() {
    const double aspect = document_.PageAspect();
    int width = std::max(viewport()->width(), 1);
    if (fit_ == Fit::Page) {
        width = static_cast<int>(std::lround(std::max(viewport()->height(), 1) * aspect));
    } else if (fit_ == Fit::Percent) {
        width = static_cast<int>(std::lround(PaperWidthPixels() * percent_ / 100.0));
    }
    width = std::max(width, 1);
    const auto height = static_cast<int>(std::lround(width / aspect));
    sheet_->resize(width, std::max(height, 1));
}

void PageView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    FitSheet();
}

void PageView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        if (delta != 0) {
            emit zoomStepRequested(delta > 0 ? 1 : -1);
        }
        event->accept();
        return;
    }
    QScrollArea::wheelEvent(event);
}

void PageView::PageChanged() {
    verticalScrollBar()->setValue(0);
    sheet_->update();
}

void PageView::EnsureTwipsVisible(const QRectF& rect) {
    const QSizeF paper = document_.Geometry().paper;
    const double sx = sheet_->width() / paper.width();
    const double sy = sheet_->height() / paper.height();
    const QRectF shown(rect.x() * sx, rect.y() * sy, rect.width() * sx, rect.height() * sy);
    const int margin = viewport()->height() / 4;
    ensureVisible(static_cast<int>(shown.center().x()), static_cast<int>(shown.center().y()),
                  static_cast<int>(shown.width() / 2) + 20,
                  static_cast<int>(shown.height() / 2) + margin);
}

bool PageView::ScrollPage(int direction) {
    QScrollBar* bar = verticalScrollBar();
    const int before = bar->value();
    if ((direction > 0 && before >= bar->maximum()) || (direction < 0 && before <= 0)) {
        return false;
    }
    // A little of what was shown stays in view, so that the eye finds its line.
    const int overlap = fontMetrics().height() * 2;
    const int step = std::max(viewport()->height() - overlap, 1);
    bar->setValue(before + direction * step);
    return true;
}

void PageView::ScrollToBottom() {
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void PageView::ScrollToTwips(double top) {
    const double paperHeight = document_.Geometry().paper.height();
    const int y = static_cast<int>(std::lround(top / paperHeight * sheet_->height()));
    verticalScrollBar()->setValue(y);
    sheet_->update();
}

}  // namespace ostrel::ui
