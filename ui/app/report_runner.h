#pragma once

#include <string>

#include "engine/run_host.h"

namespace ostrel::ui {

// What the Start button sets going: one complete report run against a host.
// Returns whether the run finished (a failed run has told the user why).
class ReportRunner {
  public:
    virtual ~ReportRunner() = default;
    virtual bool RunReport(engine::RunHost& host) = 0;
    // File > Compare With...: the host's database (old) against newPath.
    virtual void RunComparison(engine::RunHost& host, const std::string& newPath) = 0;

  protected:
    ReportRunner() = default;
    ReportRunner(const ReportRunner&) = default;
    ReportRunner& operator=(const ReportRunner&) = default;
};

}  // namespace ostrel::ui
