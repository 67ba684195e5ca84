#pragma once

// How the expected module table normalises a module's text before counting
// and hashing it, written out again here so that the reader's own line count
// is checked against an independent rule.

#include <string>
#include <string_view>

namespace ostrel::jet::test {

// CR LF and lone CRs become LF.
std::string WithLfLineEnds(std::string_view text);
// The number of LF-separated parts, not counting one empty part after a
// final LF.
int CountLines(std::string_view lfText);
// The LF text without its hidden header: a leading VERSION / BEGIN ... END
// block, then the leading lines that start with "Attribute VB_".
std::string WithoutHiddenHeader(std::string_view lfText);
// SHA-256 as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace ostrel::jet::test
