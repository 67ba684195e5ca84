#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ostrel::jet::querysql {

// A parameter's data type as the PARAMETERS clause names it and as DAO codes
// it, from the Jet type byte stored in the parameter row's Flag column.
struct ParameterType {
    std::string_view sqlName;
    std::int16_t daoType = 0;
};

// Empty for a type byte no parameter can have.
std::optional<ParameterType> ParameterTypeFromJet(std::int16_t jetType);

}  // namespace ostrel::jet::querysql
