#pragma once

#include <string>

#include "engine/report_model.h"

namespace ostrel::engine {

// A module's code or a macro's XML as a <pre> block: each line with its
// number as the editor counts it; code with its comments, strings and
// keywords marked for colouring.
std::string CodeBlockHtml(const ObjectText& text);

}  // namespace ostrel::engine
