#pragma once

#include <cstdint>
#include <string>

#include "components/schema/vba_module.h"

namespace ostrel::engine {

// Display names of DAO codes as the report writes them. A code without a name
// gives the empty text.
std::string FieldTypeName(std::int16_t typeCode);
std::string QueryTypeName(std::int16_t typeCode);
std::string ParameterDirectionName(std::int16_t direction);
// "Standard", "Class", "Document" or "Designer".
std::string ModuleTypeName(schema::VbaModuleKind kind);

}  // namespace ostrel::engine
