#include "ui/app/engine_report_runner.h"

namespace ostrel::ui {

bool EngineReportRunner::RunReport(engine::RunHost& host) {
    return run_.RunReport(host) == engine::RunOutcome::Finished;
}

}  // namespace ostrel::ui
