#pragma once

#include "engine/report_switches.h"

namespace ostrel::cli {

// Every report switch on: what --all-switches asks for, and what a user who
// never stored a switch gets.
class AllOnSwitches final : public engine::ReportSwitches {
  public:
    bool GetReportSwitch(std::string_view /*key*/) const override { return true; }
};

}  // namespace ostrel::cli
