#pragma once

#include <string_view>

namespace ostrel::schema {

// Whether a table is Access's own rather than the user's: a system table
// ("MSys..." in any letter case) or a hidden table that holds the values of a
// multi-valued or attachment field ("f_", 32 hexadecimal digits, "_", the
// field's name). The pickers and the default selection leave them out.
inline bool IsAccessOwnTable(std::string_view name) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (name.size() >= 4 && upper(name[0]) == 'M' && upper(name[1]) == 'S' &&
        upper(name[2]) == 'Y' && upper(name[3]) == 'S') {
        return true;
    }
    constexpr std::size_t kDigits = 32;
    if (name.size() < 2 + kDigits + 1 || name[0] != 'f' || name[1] != '_' ||
        name[2 + kDigits] != '_') {
        return false;
    }
    for (std::size_t i = 2; i < 2 + kDigits; ++i) {
        const char c = upper(name[i]);
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

}  // namespace ostrel::schema
