#include "engine/value_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <type_traits>

namespace ostrel::engine {

std::string DoubleText(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Infinity" : "Infinity";
    }
    if (value == 0) {
        return "0";  // also for -0
    }
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::general, 15);
    if (error != std::errc()) {
        return {};
    }
    std::string text(buffer.data(), end);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

std::string VariantText(const schema::Variant& value, const ValueFormatter& formatter) {
    return std::visit(
        [&formatter](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, schema::EmptyValue> ||
                          std::is_same_v<T, schema::NullValue>) {
                return {};
            } else if constexpr (std::is_same_v<T, bool>) {
                return BoolText(v);
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return IntegerText(v);
            } else if constexpr (std::is_same_v<T, double>) {
                return DoubleText(v);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return v;
            } else {
                return formatter.FormatDateTime(v);
            }
        },
        value);
}

}  // namespace ostrel::engine
