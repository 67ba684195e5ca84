#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ostrel::engine {

// The anchor of a documented table or query of that name, if there is one.
using AnchorLookup = std::function<std::optional<std::string>(std::string_view name)>;

// A query's SQL as HTML in which the tables and queries it reads or writes
// (the names after FROM, JOIN, INTO and UPDATE) that the report documents are
// links; everything else is escaped text.
std::string SqlHtml(std::string_view sql, const AnchorLookup& anchorOf);

}  // namespace ostrel::engine
