#include "components/diagram/diagram_format.h"

#include <algorithm>
#include <cctype>

namespace ostrel::diagram {

std::optional<DiagramFormat> DiagramFormatOf(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    // A leading dot starts a hidden name, not an extension.
    if (path == "-" || dot == std::string::npos || dot == 0) {
        return DiagramFormat::Svg;
    }
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "svg") {
        return DiagramFormat::Svg;
    }
    if (extension == "png") {
        return DiagramFormat::Png;
    }
    if (extension == "pdf") {
        return DiagramFormat::Pdf;
    }
    return std::nullopt;
}

}  // namespace ostrel::diagram
