#pragma once

#include <string>
#include <string_view>

namespace ostrel::engine {

// Copies text, putting replacement in place of every character that equals
// search. search must be exactly one character (one UTF-8 sequence) to match
// anything: "\r\n" never matches, so the text comes back unchanged. There is
// no limit on the length of the text.
std::string ReplaceChar(std::string_view text, std::string_view search,
                        std::string_view replacement);

}  // namespace ostrel::engine
