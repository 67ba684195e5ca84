#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ostrel::engine {

// Raised when a stored switch holds text that reads as neither on nor off.
class SwitchError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The 76 on/off report switches as the report sections see them. Keys are
// matched without regard to letter case; an absent key is on.
class ReportSwitches {
  public:
    virtual ~ReportSwitches() = default;
    // Throws SwitchError when the stored text cannot be read as a Boolean.
    virtual bool GetReportSwitch(std::string_view key) const = 0;

  protected:
    ReportSwitches() = default;
    ReportSwitches(const ReportSwitches&) = default;
    ReportSwitches& operator=(const ReportSwitches&) = default;
};

// The text-to-Boolean rule for stored switches: "True"/"False" in any letter
// case, or a number (zero is off, any other number on). Surrounding blanks are
// ignored. Anything else, the empty text included, gives no value.
std::optional<bool> ParseSwitchText(std::string_view text);

}  // namespace ostrel::engine
