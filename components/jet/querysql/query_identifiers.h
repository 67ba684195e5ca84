#pragma once

#include <string>
#include <string_view>

namespace ostrel::jet::querysql {

// Appends a name as Access writes it in SQL: in square brackets when it holds
// anything but ASCII letters, digits and "_", unless it is bracketed already.
// With perPart, each part between "." is treated on its own (Table.[Field 1]).
void AppendName(std::string& out, std::string_view name, bool perPart);

// Appends a query parameter's name as Access writes it in the PARAMETERS
// clause: a reference to a form's or report's control ("Forms!F 1!Box") keeps
// its "!" separators with each part bracketed where needed; any other name is
// one part. A name stored in brackets stays as it is.
void AppendParameterName(std::string& out, std::string_view name);

// Appends text in square brackets unless it is bracketed already.
void AppendBracketed(std::string& out, std::string_view text);

}  // namespace ostrel::jet::querysql
