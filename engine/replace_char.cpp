#include "engine/replace_char.h"

#include <cstddef>

namespace ostrel::engine {
namespace {

// Length of the UTF-8 sequence that starts with this byte; a stray
// continuation byte counts as a character of its own.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0xC0) {
        return 1;
    }
    if (lead < 0xE0) {
        return 2;
    }
    if (lead < 0xF0) {
        return 3;
    }
    return 4;
}

}  // namespace

std::string ReplaceChar(std::string_view text, std::string_view search,
                        std::string_view replacement) {
    if (search.empty() ||
        SequenceLength(static_cast<unsigned char>(search.front())) != search.size()) {
        return std::string(text);
    }
    std::string result;
    result.reserve(text.size());
    if (search.size() == 1 && static_cast<unsigned char>(search.front()) < 0x80) {
        const char wanted = search.front();
        for (const char c : text) {
            if (c == wanted) {
                result.append(replacement);
            } else {
                result.push_back(c);
            }
        }
        return result;
    }
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t length = SequenceLength(static_cast<unsigned char>(text[i]));
        if (length > text.size() - i) {
            length = text.size() - i;
        }
        const std::string_view character = text.substr(i, length);
        if (character == search) {
            result.append(replacement);
        } else {
            result.append(character);
        }
        i += length;
    }
    return result;
}

}  // namespace ostrel::engine
