#pragma once

#include <cstdint>
#include <string>

namespace ostrel::engine {

// Display names of DAO codes as the report writes them. A code without a name
// gives the empty text.
std::string FieldTypeName(std::int16_t typeCode);
std::string QueryTypeName(std::int16_t typeCode);
std::string ParameterDirectionName(std::int16_t direction);

}  // namespace ostrel::engine
