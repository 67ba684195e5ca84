#pragma once

#include <array>
#include <string_view>

#include "engine/switch_table.h"

namespace ostrel::settings {

// The pages of the configuration dialog, in tab order.
enum class SwitchPage { Database, Tables, Fields, Indexes, Relationships, Queries, Application };

// Where a report switch's check box sits in the configuration dialog.
struct SwitchPlace {
    std::string_view key;  // the switch's store key (engine::SwitchInfo::key)
    SwitchPage page;
    std::string_view checkBox;  // objectName of the check box
    std::string_view caption;   // check box caption
    int column;                 // 1-based grid column on the page
    int row;                    // 1-based grid row on the page
    int left;                   // position on the page, in twips
    int top;
};

// One place per switch, in the order of engine::SwitchTable().
const std::array<SwitchPlace, engine::kSwitchCount>& SwitchLayout();

}  // namespace ostrel::settings
