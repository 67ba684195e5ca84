#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ostrel::engine {

// The lines that differ between two texts as a unified diff: hunks headed
// "@@ -a,b +c,d @@", each line of a hunk marked " " (the same in both), "-"
// (only in the old text) or "+" (only in the new one), with `context` lines
// of the same around every change. Lines end at CR LF, CR or LF (see
// CodeLines); the result holds no line ends. Nothing when the lines are the
// same. A difference too large to find the shortest edit for in reasonable
// time is given as the differing middle removed and added whole.
std::vector<std::string> UnifiedDiff(std::string_view oldText, std::string_view newText,
                                     int context = 3);

}  // namespace ostrel::engine
