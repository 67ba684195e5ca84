#include "settings/config_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "settings/switch_layout.h"
#include "settings/twips.h"

namespace ostrel::settings {
namespace {

using engine::SwitchTable;

constexpr std::array<const char*, ConfigDialog::kPageCount> kPageCaptions{
    "Database", "Tables", "Fields", "Indexes", "Relationships", "Queries", "Application"};

int PageIndex(SwitchPage page) {
    return static_cast<int>(page);
}

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Keyboard order within a page: column by column, each top to bottom; on the
// Fields page the field ValidationRule box comes first.
std::vector<int> PageOrder(SwitchPage page) {
    std::vector<int> order;
    const auto& table = SwitchLayout();
    for (int i = 0; i < engine::kSwitchCount; ++i) {
        if (table[static_cast<std::size_t>(i)].page == page) {
            order.push_back(i);
        }
    }
    std::stable_sort(order.begin(), order.end(), [&table](int a, int b) {
        const SwitchPlace& x = table[static_cast<std::size_t>(a)];
        const SwitchPlace& y = table[static_cast<std::size_t>(b)];
        const bool xFirst = x.key == "Field ValidationRule";
        const bool yFirst = y.key == "Field ValidationRule";
        if (xFirst != yFirst) {
            return xFirst;
        }
        return std::pair(x.column, x.row) < std::pair(y.column, y.row);
    });
    return order;
}

}  // namespace

ConfigDialog::ConfigDialog(SwitchStore& store, QWidget* parent) : QDialog(parent), store_(store) {
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("OSTREL2 - Configuration"));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("vsTab1"));
    // Every tab shows its whole caption, whatever the font: the dialog grows
    // rather than hiding tabs behind scroll arrows.
    tabs_->setUsesScrollButtons(false);
    tabs_->setElideMode(Qt::ElideNone);
    BuildPages();

    storeButton_ = new QPushButton(QStringLiteral("&Store"), this);
    storeButton_->setObjectName(QStringLiteral("cmdStore"));
    storeButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cmdCancel"));
    selectAllButton_ = new QPushButton(QStringLiteral("Select &All"), this);
    selectAllButton_->setObjectName(QStringLiteral("cmdSelectAll"));
    deselectAllButton_ = new QPushButton(QStringLiteral("&Deselect All"), this);
    deselectAllButton_->setObjectName(QStringLiteral("cmdDeselectAll"));

    // Buttons 1170 x 330 twips, 525 twips apart, beside the tab control.
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(TwipsToPixels(*this, 525 - 330));
    for (QPushButton* button :
         {storeButton_, cancelButton_, selectAllButton_, deselectAllButton_}) {
        button->setMinimumSize(TwipsToPixels(*this, 1170), TwipsToPixels(*this, 330));
        buttons->addWidget(button);
    }
    buttons->addStretch(1);

    unreadableLabel_ = new QLabel(this);
    unreadableLabel_->setObjectName(QStringLiteral("lblUnreadable"));
    unreadableLabel_->setWordWrap(true);
    unreadableLabel_->hide();

    auto* row = new QHBoxLayout;
    row->addWidget(tabs_, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    const int margin = TwipsToPixels(*this, 105);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(unreadableLabel_);
    layout->addLayout(row, 1);
    tabs_->setMinimumSize(TwipsToPixels(*this, 7155), TwipsToPixels(*this, 4950) / 2);

    BuildTabOrder();

    connect(storeButton_, &QPushButton::clicked, this, &ConfigDialog::StoreSwitches);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(selectAllButton_, &QPushButton::clicked, this, &ConfigDialog::SelectAllOnPage);
    connect(deselectAllButton_, &QPushButton::clicked, this, &ConfigDialog::DeselectAllOnPage);

    LoadSwitches();
}

void ConfigDialog::BuildPages() {
    std::array<QGridLayout*, kPageCount> grids{};
    for (int page = 0; page < kPageCount; ++page) {
        auto* container = new QWidget;
        container->setObjectName(QStringLiteral("vsElastics%1").arg(page));
        auto* grid = new QGridLayout(container);
        // Row 1 and column 1 lie 315 twips from the page's top left corner.
        const int offset = TwipsToPixels(*this, 315);
        grid->setContentsMargins(offset, offset / 2, offset, offset);
        grid->setHorizontalSpacing(TwipsToPixels(*this, 105));
        grid->setVerticalSpacing(0);
        pages_[static_cast<std::size_t>(page)] = container;
        grids[static_cast<std::size_t>(page)] = grid;
        tabs_->addTab(container,
                      QString::fromLatin1(kPageCaptions[static_cast<std::size_t>(page)]));
    }

    // Column widths follow the design's column positions, so that the columns
    // line up as designed and widen only where a caption needs more room.
    std::array<std::vector<int>, kPageCount> columnLefts{};
    const auto& table = SwitchLayout();
    for (const SwitchPlace& info : table) {
        auto& lefts = columnLefts[static_cast<std::size_t>(PageIndex(info.page))];
        if (std::find(lefts.begin(), lefts.end(), info.left) == lefts.end()) {
            lefts.push_back(info.left);
        }
    }
    const int rowHeight = TwipsToPixels(*this, 315);
    for (int i = 0; i < engine::kSwitchCount; ++i) {
        const SwitchPlace& info = table[static_cast<std::size_t>(i)];
        auto* box = new QCheckBox(Text(info.caption));
        box->setObjectName(Text(info.checkBox));
        QGridLayout* grid = grids[static_cast<std::size_t>(PageIndex(info.page))];
        grid->addWidget(box, info.row - 1, info.column - 1);
        grid->setRowMinimumHeight(info.row - 1, rowHeight);
        checkBoxes_[static_cast<std::size_t>(i)] = box;
    }
    for (int page = 0; page < kPageCount; ++page) {
        auto& lefts = columnLefts[static_cast<std::size_t>(page)];
        std::sort(lefts.begin(), lefts.end());
        QGridLayout* grid = grids[static_cast<std::size_t>(page)];
        for (std::size_t c = 0; c + 1 < lefts.size(); ++c) {
            grid->setColumnMinimumWidth(
                static_cast<int>(c),
                TwipsToPixels(*this, lefts[c + 1] - lefts[c]) - grid->horizontalSpacing());
        }
        // Spare room goes below and to the right of the boxes.
        grid->setRowStretch(grid->rowCount(), 1);
        grid->setColumnStretch(grid->columnCount(), 1);
    }
}

void ConfigDialog::BuildTabOrder() {
    QWidget* previous = tabs_;
    for (int page = 0; page < kPageCount; ++page) {
        for (int index : PageOrder(static_cast<SwitchPage>(page))) {
            QWidget* box = checkBoxes_[static_cast<std::size_t>(index)];
            setTabOrder(previous, box);
            previous = box;
        }
    }
    for (QWidget* button :
         {static_cast<QWidget*>(storeButton_), static_cast<QWidget*>(cancelButton_),
          static_cast<QWidget*>(selectAllButton_), static_cast<QWidget*>(deselectAllButton_)}) {
        setTabOrder(previous, button);
        previous = button;
    }
}

void ConfigDialog::LoadSwitches() {
    // A stored value that cannot be read shows as on, the default; the user
    // is told which ones, and Store replaces them with readable values.
    store_.Refresh();
    QStringList unreadable;
    const auto& table = SwitchTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        bool on = true;
        try {
            on = store_.GetReportSwitch(table[i].dialogKey);
        } catch (const engine::SwitchError&) {
            unreadable << Text(table[i].key);
        }
        checkBoxes_[i]->setChecked(on);
    }
    if (const auto& fileError = store_.LoadError()) {
        unreadableLabel_->setText(QString::fromStdString(*fileError) +
                                  QStringLiteral(" The switches are shown ticked; Store writes a "
                                                 "new file and keeps the old one as .damaged."));
        unreadableLabel_->show();
    } else if (!unreadable.isEmpty()) {
        unreadableLabel_->setText(
            QStringLiteral("These stored switches could not be read and are shown ticked: %1.")
                .arg(unreadable.join(QStringLiteral(", "))));
        unreadableLabel_->show();
    }
}

void ConfigDialog::SetPageChecked(int page, bool checked) {
    if (page < 0 || page >= kPageCount) {
        return;
    }
    const auto& table = SwitchLayout();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].page == static_cast<SwitchPage>(page)) {
            checkBoxes_[i]->setChecked(checked);
        }
    }
}

void ConfigDialog::SelectAllOnPage() {
    SetPageChecked(tabs_->currentIndex(), true);
}

void ConfigDialog::DeselectAllOnPage() {
    SetPageChecked(tabs_->currentIndex(), false);
}

void ConfigDialog::StoreSwitches() {
    std::vector<std::pair<std::string, bool>> values;
    values.reserve(engine::kSwitchCount);
    const auto& table = SwitchTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        values.emplace_back(std::string(table[i].key), checkBoxes_[i]->isChecked());
    }
    try {
        // All 61 switches in one write: a failed Store changes nothing.
        store_.SaveReportSwitches(values);
    } catch (const StoreWriteError& error) {
        if (storeErrorHandler_) {
            storeErrorHandler_(QString::fromStdString(error.what()));
        } else {
            QMessageBox::warning(this, QStringLiteral("Ostrel2"),
                                 QString::fromStdString(error.what()));
        }
        return;  // the dialog stays open with the user's choices
    }
    accept();
}

}  // namespace ostrel::settings
