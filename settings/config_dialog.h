#pragma once

#include <QDialog>

#include <array>
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

// The configuration dialog (object name "frmConfig"): the report switches as
// check boxes, one tab page per kind of object, laid out from the switch
// layout. It reads every switch when it opens and writes every switch in one
// go when the user presses Store.
class ConfigDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kPageCount = 7;

    explicit ConfigDialog(SwitchStore& store, QWidget* parent = nullptr);

    // Ticks or clears every check box of a page (in tab order); other pages
    // and indexes out of range are left alone.
    void SetPageChecked(int page, bool checked);

    // The check box of switch index (0-based, switch table order).
    QCheckBox* CheckBox(int index) const { return checkBoxes_.at(static_cast<std::size_t>(index)); }
    QTabWidget* Tabs() const { return tabs_; }

    // Replaces the warning box shown when Store cannot write (tests).
    void SetStoreErrorHandler(std::function<void(const QString&)> handler) {
        storeErrorHandler_ = std::move(handler);
    }

  public slots:
    // Writes every switch and closes the dialog; on failure says why and
    // stays open with the user's choices.
    void StoreSwitches();
    // Tick or clear the page showing.
    void SelectAllOnPage();
    void DeselectAllOnPage();

  private:
    void BuildPages();
    void BuildTabOrder();
    void LoadSwitches();

    SwitchStore& store_;
    QTabWidget* tabs_ = nullptr;
    std::array<QWidget*, kPageCount> pages_{};
    std::array<QCheckBox*, engine::kSwitchCount> checkBoxes_{};
    QPushButton* storeButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* selectAllButton_ = nullptr;
    QPushButton* deselectAllButton_ = nullptr;
    QLabel* unreadableLabel_ = nullptr;
    std::function<void(const QString&)> storeErrorHandler_;
};

}  // namespace ostrel::settings
