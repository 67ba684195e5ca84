#pragma once

#include <array>
#include <string_view>

namespace ostrel::engine {

// The pages of the configuration dialog, in tab order.
enum class SwitchPage { Database, Tables, Fields, Indexes, Relationships, Queries, Application };

// One report switch: its store key, where its check box sits in the
// configuration dialog, and the label of the report row it turns on or off.
struct SwitchInfo {
    std::string_view key;        // key written by the dialog and read by the sections
    std::string_view dialogKey;  // key the dialog reads on opening (differs in case twice)
    SwitchPage page;
    std::string_view checkBox;  // objectName of the dialog's check box
    std::string_view caption;   // check box caption
    std::string_view rowLabel;  // label of the report row ("" for a switch with no row)
    int column;                 // 1-based grid column on the page
    int row;                    // 1-based grid row on the page
    int left;                   // position on the page, in twips
    int top;
};

inline constexpr int kSwitchCount = 76;

// All switches in the order the dialog reads and writes them.
const std::array<SwitchInfo, kSwitchCount>& SwitchTable();

// The entry for a key (letter case ignored), or nullptr.
const SwitchInfo* FindSwitch(std::string_view key);

}  // namespace ostrel::engine
