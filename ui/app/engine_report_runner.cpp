#include "ui/app/engine_report_runner.h"

namespace ostrel::ui {

void EngineReportRunner::RunReport(engine::RunHost& host) {
    run_.RunReport(host);
}

}  // namespace ostrel::ui
