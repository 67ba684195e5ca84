#pragma once

#include <string>

#include "components/diagram/diagram_model.h"

namespace ostrel::cli {

// Writes the diagram as --diagram asks, on the paper the report would be
// printed on. Needs a QGuiApplication; throws std::runtime_error.
void WriteDiagramFile(const diagram::DiagramModel& model, const std::string& path);

}  // namespace ostrel::cli
