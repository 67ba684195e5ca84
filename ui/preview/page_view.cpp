#include "ui/preview/page_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <cmath>

#include "components/qtdocument/qt_report_document.h"

namespace ostrel::ui {

PageSheet::PageSheet(const qtdocument::QtReportDocument& document, QWidget* parent)
    : QWidget(parent), document_(document) {
    setObjectName(QStringLiteral("vsPrinter1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageSheet::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.setClipRect(event->rect());
    document_.RenderPage(document_.PreviewPage(), painter, QRectF(rect()));
}

PageView::PageView(const qtdocument::QtReportDocument& document, QWidget* parent)
    : QScrollArea(parent), document_(document), sheet_(new PageSheet(document)) {
    setObjectName(QStringLiteral("pageView"));
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Always shown so that the sheet's width does not jump with its height.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setBackgroundRole(QPalette::Dark);
    setWidget(sheet_);
    FitSheet();
}

void PageView::FitSheet() {
    const int width = std::max(viewport()->width(), 1);
    const auto height = static_cast<int>(std::lround(width / document_.PageAspect()));
    sheet_->resize(width, std::max(height, 1));
}

void PageView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    FitSheet();
}

void PageView::PageChanged() {
    verticalScrollBar()->setValue(0);
    sheet_->update();
}

}  // namespace ostrel::ui
