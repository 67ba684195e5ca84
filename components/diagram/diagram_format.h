#pragma once

#include <optional>
#include <string>

namespace ostrel::diagram {

// The kinds of file a diagram can be written as.
enum class DiagramFormat { Svg, Png, Pdf };

// The format a file name asks for by its extension (letter case ignored):
// ".svg", ".png" or ".pdf". A name without an extension, and standard output
// ("-"), take SVG; any other extension is none of them.
std::optional<DiagramFormat> DiagramFormatOf(const std::string& path);

}  // namespace ostrel::diagram
