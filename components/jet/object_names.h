#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ostrel::jet {

namespace name_detail {

// One character of UTF-8 text as a code point folded to lower case for ASCII
// and Latin-1 capitals; other bytes come back one at a time, outside Unicode,
// so that they match only themselves.
inline std::uint32_t NextFolded(std::string_view text, std::size_t& pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
        ++pos;
        return (byte >= 'A' && byte <= 'Z') ? byte + ('a' - 'A') : byte;
    }
    if (byte == 0xC3 && pos + 1 < text.size()) {
        const auto next = static_cast<unsigned char>(text[pos + 1]);
        if ((next & 0xC0) == 0x80) {
            pos += 2;
            std::uint32_t code = 0xC0U + (next & 0x3FU);
            // U+00C0..U+00DE are capitals of U+00E0..U+00FE, except U+00D7 (times).
            if (code <= 0xDE && code != 0xD7) {
                code += 0x20;
            }
            return code;
        }
    }
    ++pos;
    return 0x110000U + byte;
}

// Negative, zero or positive as a sorts before, with or after b.
inline int CompareFolded(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const std::uint32_t x = NextFolded(a, i);
        const std::uint32_t y = NextFolded(b, j);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return (i == a.size() ? 0 : 1) - (j == b.size() ? 0 : 1);
}

}  // namespace name_detail

// Access compares the names of objects, fields and properties without regard
// to letter case (ASCII and the Latin-1 letters of UTF-8 text). This is that
// rule, for everything in the reader and the SQL rebuilder.
inline bool SameName(std::string_view a, std::string_view b) {
    return name_detail::CompareFolded(a, b) == 0;
}

// The order in which DAO lists its collections: by name, letter case aside.
inline bool NameLess(std::string_view a, std::string_view b) {
    return name_detail::CompareFolded(a, b) < 0;
}

}  // namespace ostrel::jet
