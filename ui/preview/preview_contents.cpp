// The preview window's contents pane: the report's sections and objects
// beside the page, each leading to its place in the report.
#include "ui/preview/preview_dialog.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/preview/page_view.h"
#include "ui/preview/preview_twips.h"

namespace ostrel::ui {
namespace {

constexpr int kPageRole = Qt::UserRole;
constexpr int kTopRole = Qt::UserRole + 1;

}  // namespace

void PreviewDialog::BuildContentsPane(QVBoxLayout& layout) {
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
    layout.addWidget(splitter_, 1);
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

void PreviewDialog::OpenContentsItem(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    GoToPage(item->data(0, kPageRole).toInt());
    view_->ScrollToTwips(item->data(0, kTopRole).toDouble());
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

}  // namespace ostrel::ui
