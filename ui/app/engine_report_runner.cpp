#include "ui/app/engine_report_runner.h"

namespace ostrel::ui {

bool EngineReportRunner::RunReport(const engine::RunRequest& request, engine::RunPorts& ports) {
    return run_.Report(request, ports) == engine::RunOutcome::Finished;
}

void EngineReportRunner::RunComparison(const engine::RunRequest& request,
                                       const std::string& newPath, engine::RunPorts& ports) {
    // The pickers list the old file only: what the new one adds is shown too.
    run_.Compare(request, newPath, engine::ComparisonOptions{}, true, ports);
}

}  // namespace ostrel::ui
