#pragma once

#include <string>
#include <string_view>

namespace ostrel::jet::querysql {

// Appends a name as Access writes it in SQL: in square brackets when it holds
// anything but ASCII letters, digits and "_", unless it is bracketed already.
// With perPart, each part between "." is treated on its own (Table.[Field 1]).
void AppendName(std::string& out, std::string_view name, bool perPart);

// Appends text in square brackets unless it is bracketed already.
void AppendBracketed(std::string& out, std::string_view text);

}  // namespace ostrel::jet::querysql
