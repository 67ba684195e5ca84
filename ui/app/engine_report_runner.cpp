#include "ui/app/engine_report_runner.h"

namespace ostrel::ui {

bool EngineReportRunner::RunReport(engine::RunHost& host) {
    return run_.Report(host) == engine::RunOutcome::Finished;
}

void EngineReportRunner::RunComparison(engine::RunHost& host, const std::string& newPath) {
    // The pickers list the old file only: what the new one adds is shown too.
    run_.Compare(host, newPath, engine::ComparisonOptions{}, true);
}

}  // namespace ostrel::ui
