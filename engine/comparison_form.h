#pragma once

#include <string>
#include <vector>

#include "engine/comparison.h"
#include "engine/report_writer.h"
#include "engine/value_formatter.h"

namespace ostrel::engine {

// The symbol that marks a change in the preview, next to its word.
std::string_view ChangeSymbol(Change change);

// Writes the comparison as the report's four sections: each object line marked
// with its change, and each differing property with its old and new value.
// A section without differences says so.
void WriteComparison(const Comparison& comparison, ReportWriter& writer,
                     const ValueFormatter& formatter);

}  // namespace ostrel::engine
