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
    bool RunReport(engine::RunHost& host) override;
    void RunComparison(engine::RunHost& host, const std::string& newPath) override;

  private:
    engine::Run run_;
};

}  // namespace ostrel::ui
