#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <utility>

#include "engine/switch_table.h"
#include "settings/switch_layout.h"
#include "settings/switch_store.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

namespace ostrel::settings {

// The configuration dialog: the 61 report switches as check boxes, one tab
// page per kind of object, built from the switch table. It reads every switch
// when it opens and writes every switch when the user presses Store.
class frmConfig : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kPageCount = 7;

    explicit frmConfig(SwitchStore& store, QWidget* parent = nullptr);

    // Each gives every check box of its page the state intValue (1 ticks,
    // 0 clears).
    void ToggleDatabase(std::int16_t intValue);
    void ToggleTable(std::int16_t intValue);
    void ToggleFields(std::int16_t intValue);
    void ToggleIndexes(std::int16_t intValue);
    void ToggleRelationships(std::int16_t intValue);
    void ToggleQueries(std::int16_t intValue);

    // The check box of switch i of the table (0-based, table order).
    QCheckBox* CheckBox(int index) const { return checkBoxes_.at(static_cast<std::size_t>(index)); }
    QTabWidget* Tabs() const { return vsTab1_; }

    // Replaces the warning box shown when Store cannot write (tests).
    void SetStoreErrorHandler(std::function<void(const QString&)> handler) {
        storeErrorHandler_ = std::move(handler);
    }

    void cmdStore_Click();
    void cmdCancel_Click();
    void cmdSelectAll_Click();
    void cmdDeselectAll_Click();

  private:
    void BuildPages();
    void BuildTabOrder();
    void Form_Load();
    void TogglePage(SwitchPage page, std::int16_t intValue);

    SwitchStore& store_;
    QTabWidget* vsTab1_ = nullptr;
    std::array<QWidget*, kPageCount> vsElastics_{};
    std::array<QCheckBox*, engine::kSwitchCount> checkBoxes_{};
    QPushButton* cmdStore_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdSelectAll_ = nullptr;
    QPushButton* cmdDeselectAll_ = nullptr;
    QLabel* lblUnreadable_ = nullptr;
    std::function<void(const QString&)> storeErrorHandler_;
};

}  // namespace ostrel::settings
