#pragma once

#include <string_view>
#include <vector>

namespace ostrel::engine {

// The lines of a text without their ends: CR LF, a lone CR and a lone LF
// each end a line, and a final line end does not start another line. The
// views point into text.
std::vector<std::string_view> CodeLines(std::string_view text);

}  // namespace ostrel::engine
