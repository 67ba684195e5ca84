#pragma once

#include <string_view>

namespace ostrel::engine {

// The report page's style sheet and script (engine/html/report.css and
// report.js), built into the program.
std::string_view HtmlStyleSheet();
std::string_view HtmlScript();

}  // namespace ostrel::engine
