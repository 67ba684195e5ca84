#pragma once

#include <memory>
#include <string>

#include "components/schema/variant.h"

namespace ostrel::engine {

// Turns dates into report text, and says what "now" is. Injected into the
// report run so that tests can fix both.
class ValueFormatter {
  public:
    virtual ~ValueFormatter() = default;
    // The locale's general date: numeric short date with a four-digit year and
    // the long time; the time is left out at exactly midnight.
    virtual std::string FormatDateTime(const schema::DateTime& value) const = 0;
    virtual schema::DateTime Now() const = 0;

  protected:
    ValueFormatter() = default;
    ValueFormatter(const ValueFormatter&) = default;
    ValueFormatter& operator=(const ValueFormatter&) = default;
};

// The formatter for the user's LC_TIME locale and the local clock.
// en_US: "12/6/2026 6:15:30 PM"; C or POSIX: "2026-12-06 18:15:30".
std::unique_ptr<ValueFormatter> MakeLocaleFormatter();

}  // namespace ostrel::engine
