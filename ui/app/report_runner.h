#pragma once

#include <string>

#include "engine/run_ports.h"

namespace ostrel::ui {

// What the Start button sets going: one complete report run against a host.
// Returns whether the run finished (a failed run has told the user why).
class ReportRunner {
  public:
    virtual ~ReportRunner() = default;
    virtual bool RunReport(const engine::RunRequest& request, engine::RunPorts& ports) = 0;
    // File > Compare With...: the request's database (old) against newPath.
    virtual void RunComparison(const engine::RunRequest& request, const std::string& newPath,
                               engine::RunPorts& ports) = 0;

  protected:
    ReportRunner() = default;
    ReportRunner(const ReportRunner&) = default;
    ReportRunner& operator=(const ReportRunner&) = default;
};

}  // namespace ostrel::ui
