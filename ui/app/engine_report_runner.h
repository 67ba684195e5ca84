#pragma once

#include "components/schema/database.h"
#include "engine/report_switches.h"
#include "engine/run.h"
#include "engine/value_formatter.h"
#include "ui/app/report_runner.h"

namespace ostrel::ui {

// The report engine's run, kept for the life of the program (it carries the
// pass counter from one run to the next).
class EngineReportRunner : public ReportRunner {
  public:
    EngineReportRunner(schema::SchemaEngine& engine, const engine::ReportSwitches& switches,
                       const engine::ValueFormatter& formatter)
        : run_(engine, switches, formatter) {}
    bool RunReport(const engine::RunRequest& request, engine::RunPorts& ports) override;
    void RunComparison(const engine::RunRequest& request, const std::string& newPath,
                       engine::RunPorts& ports) override;

  private:
    engine::Run run_;
};

}  // namespace ostrel::ui
