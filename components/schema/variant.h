#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace ostrel::schema {

// A calendar date and time of day, as Jet stores it (no time zone).
struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Jet and DAO keep dates as OLE Automation dates: days since 1899-12-30,
    // with the time of day as the fraction (for dates before the epoch the
    // fraction still counts forward from midnight). Rounded to the second.
    static DateTime FromOleDate(double oleDate);
    double ToOleDate() const;

    bool IsMidnight() const { return hour == 0 && minute == 0 && second == 0; }
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

struct EmptyValue {
    friend bool operator==(EmptyValue, EmptyValue) { return true; }
};
struct NullValue {
    friend bool operator==(NullValue, NullValue) { return true; }
};

// A value that may be Empty, Null, Boolean, integer, floating point, text or a
// date-time, like an OLE variant. Text is UTF-8.
using Variant =
    std::variant<EmptyValue, NullValue, bool, std::int64_t, double, std::string, DateTime>;

inline bool IsNull(const Variant& v) {
    return std::holds_alternative<NullValue>(v);
}
inline bool IsEmpty(const Variant& v) {
    return std::holds_alternative<EmptyValue>(v);
}

}  // namespace ostrel::schema
