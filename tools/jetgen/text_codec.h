// Conversions from description text to the stored forms of Jet values.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/jetgen/byte_writer.h"

namespace ostrel::jetgen {

// UTF-8 to UTF-16 little endian; throws GeneratorError on malformed input.
Bytes Utf8ToUtf16Le(std::string_view utf8);

// "YYYY-MM-DD", "YYYY-MM-DDTHH:MM:SS" or with a blank instead of T, to an OLE automation date.
double ParseOleDate(std::string_view text);

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" (braces optional) in the stored byte order.
std::array<std::uint8_t, 16> ParseGuid(std::string_view text);

// A decimal number as text, scaled to an integer with the given scale.
// The result is a 128-bit magnitude as four 32-bit words, least significant first.
struct ScaledDecimal {
    bool negative = false;
    std::array<std::uint32_t, 4> words{};
};
ScaledDecimal ParseScaledDecimal(std::string_view text, int scale);

// Currency: the value times 10,000, exactly.
std::int64_t ParseCurrency(std::string_view text);

}  // namespace ostrel::jetgen
