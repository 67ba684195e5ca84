#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "engine/comparison.h"
#include "engine/value_formatter.h"

namespace ostrel::engine {

// What the title block of a comparison's page says.
struct HtmlComparisonTitle {
    std::string programLine;
    std::string producedText;
    std::string oldPath;
    std::string newPath;
};

// Writes the comparison as one self-contained HTML page: the report's
// sections, each object with its change as a symbol and a word (so that it
// reads without colour), each differing property with its old and new value,
// and the comparison's structured form embedded as data (json).
void WriteComparisonHtml(const Comparison& comparison, const HtmlComparisonTitle& title,
                         const ValueFormatter& formatter, std::string_view json,
                         const std::function<void(std::string_view)>& write);

}  // namespace ostrel::engine
