#pragma once

#include <string>

#include "components/diagram/diagram_scene.h"

namespace ostrel::diagram {

// The page as an SVG document, sized to its contents. Tables, relationships
// and "continued" labels are groups with classes and data attributes naming
// what they stand for, so that the file can be styled or read by scripts.
std::string DiagramSvg(const DiagramPage& page);

}  // namespace ostrel::diagram
