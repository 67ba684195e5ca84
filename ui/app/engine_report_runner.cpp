#include "ui/app/engine_report_runner.h"

namespace ostrel::ui {

void EngineReportRunner::RunReport(engine::RunHost& host) {
    run_.RunReport(host);
}

void EngineReportRunner::RunComparison(engine::RunHost& host, const std::string& newPath) {
    // The pickers list the old file only: what the new one adds is shown too.
    comparison_.Compare(host, newPath, engine::ComparisonOptions{}, true);
}

}  // namespace ostrel::ui
