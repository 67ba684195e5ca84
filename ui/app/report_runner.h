#pragma once

#include "engine/run_host.h"

namespace ostrel::ui {

// What the Start button sets going: one complete report run against a host.
// Returns whether the run finished (a failed run has told the user why).
class ReportRunner {
  public:
    virtual ~ReportRunner() = default;
    virtual bool RunReport(engine::RunHost& host) = 0;

  protected:
    ReportRunner() = default;
    ReportRunner(const ReportRunner&) = default;
    ReportRunner& operator=(const ReportRunner&) = default;
};

}  // namespace ostrel::ui
