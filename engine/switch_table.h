#pragma once

#include <array>
#include <string_view>

namespace ostrel::engine {

// One report switch: its store key and the label of the report row it turns
// on or off. Where its check box sits is the configuration dialog's business
// (settings/switch_layout.h).
struct SwitchInfo {
    std::string_view key;        // key the switch is stored and read under
    std::string_view dialogKey;  // key read back when the stored switches are
                                 // shown for editing (differs in case twice)
    std::string_view rowLabel;   // label of the report row ("" for a switch with no row)
};

inline constexpr int kSwitchCount = 76;

// All switches, in the order they are read and written.
const std::array<SwitchInfo, kSwitchCount>& SwitchTable();

// The entry for a key (letter case ignored), or nullptr.
const SwitchInfo* FindSwitch(std::string_view key);

}  // namespace ostrel::engine
