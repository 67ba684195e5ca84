#pragma once

#include <memory>
#include <optional>
#include <string>

#include "components/schema/variant.h"
#include "engine/value_formatter.h"

namespace ostrel::engine {

// What a locale says about writing dates: its date and time patterns in
// strftime form and its AM/PM texts. An empty dateFormat means the C locale,
// which writes ISO dates ("2026-12-06 18:15:30").
struct LocaleDateParts {
    std::string dateFormat;
    std::string timeFormat;
    std::string am;
    std::string pm;
};

// The parts of an installed locale ("en_US.UTF-8"); "" takes the user's LC_TIME
// from the environment. A locale that is not installed gives nullopt.
std::optional<LocaleDateParts> LoadLocaleDateParts(const std::string& localeName);

// The general date form: the short date in numbers with a four-digit year and
// no leading zeros on month and day, then the long time with two-digit minutes
// and seconds and no leading zero on the hour; the time is left out at exactly
// midnight. Year-first patterns (and the C locale) keep ISO's two-digit fields,
// the hour's included.
std::string FormatGeneralDate(const LocaleDateParts& parts, const schema::DateTime& value);

// A formatter for a named locale (falls back to the C form when the locale is
// not installed) and the local clock.
std::unique_ptr<ValueFormatter> MakeLocaleFormatter(const std::string& localeName);

}  // namespace ostrel::engine
