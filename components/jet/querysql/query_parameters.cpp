#include "components/jet/querysql/query_parameters.h"

#include <array>

namespace ostrel::jet::querysql {
namespace {

struct TypeEntry {
    std::int16_t jetType;
    ParameterType type;
};

// "Value" parameters carry no data type (DAO code 0). Jet's numeric type is
// DAO's Decimal.
constexpr std::array<TypeEntry, 15> kTypes{{
    {0, {"Value", 0}},
    {1, {"Bit", 1}},
    {2, {"Byte", 2}},
    {3, {"Short", 3}},
    {4, {"Long", 4}},
    {5, {"Currency", 5}},
    {6, {"IEEESingle", 6}},
    {7, {"IEEEDouble", 7}},
    {8, {"DateTime", 8}},
    {9, {"Binary", 9}},
    {10, {"Text", 10}},
    {11, {"LongBinary", 11}},
    {12, {"LongText", 12}},
    {15, {"Guid", 15}},
    {16, {"Decimal", 20}},
}};

}  // namespace

std::optional<ParameterType> ParameterTypeFromJet(std::int16_t jetType) {
    for (const TypeEntry& entry : kTypes) {
        if (entry.jetType == jetType) {
            return entry.type;
        }
    }
    return std::nullopt;
}

}  // namespace ostrel::jet::querysql
