#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "components/schema/variant.h"
#include "engine/value_formatter.h"

namespace ostrel::engine {

// How property values become report text.
constexpr std::string_view BoolWord(bool value) {
    return value ? "True" : "False";
}
inline std::string BoolText(bool value) {
    return std::string(BoolWord(value));
}
inline std::string IntegerText(std::int64_t value) {
    return std::to_string(value);
}

// A floating-point number as Basic's CStr writes it: up to 15 significant
// digits, no trailing zeros, an exponent ("1E+20", "1E-05") for very large or
// small magnitudes. The decimal point is always ".".
std::string DoubleText(double value);

// A variant: Null and Empty give "", Booleans and numbers as above, dates
// through the formatter, text unchanged.
std::string VariantText(const schema::Variant& value, const ValueFormatter& formatter);

}  // namespace ostrel::engine
