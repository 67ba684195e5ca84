#include "components/jet/sql/query_identifiers.h"

#include <cstddef>
#include <cstdint>

namespace ostrel::jet::querysql {
namespace {

bool IsPlainNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsBracketed(std::string_view text) {
    return text.size() >= 2 && text.front() == '[' && text.back() == ']';
}

void AppendPart(std::string& out, std::string_view part) {
    for (const char c : part) {
        if (!IsPlainNameChar(c)) {
            AppendBracketed(out, part);
            return;
        }
    }
    out.append(part);
}

// Reads one character of UTF-8 text as a code point folded to lower case for
// ASCII and Latin-1 capitals; other bytes come back unchanged, one at a time.
std::uint32_t NextFolded(std::string_view text, std::size_t& pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
        ++pos;
        return (byte >= 'A' && byte <= 'Z') ? byte + ('a' - 'A') : byte;
    }
    if ((byte == 0xC3) && pos + 1 < text.size()) {
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
    return 0x110000U + byte;  // outside Unicode: raw bytes only match themselves
}

}  // namespace

void AppendBracketed(std::string& out, std::string_view text) {
    if (IsBracketed(text)) {
        out.append(text);
        return;
    }
    out.push_back('[');
    out.append(text);
    out.push_back(']');
}

void AppendName(std::string& out, std::string_view name, bool perPart) {
    if (!perPart) {
        AppendPart(out, name);
        return;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = name.find('.', start);
        AppendPart(out, name.substr(start, dot == std::string_view::npos ? dot : dot - start));
        if (dot == std::string_view::npos) {
            return;
        }
        out.push_back('.');
        start = dot + 1;
    }
}

bool SameObjectName(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (NextFolded(a, i) != NextFolded(b, j)) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}

}  // namespace ostrel::jet::querysql
