#pragma once

#include "components/schema/database.h"
#include "engine/report_run.h"
#include "engine/report_switches.h"
#include "engine/run_host.h"
#include "engine/value_formatter.h"

namespace ostrel::ui {

// What the Start button sets going: one complete report run against a host.
class ReportRunner {
  public:
    virtual ~ReportRunner() = default;
    virtual void RunReport(engine::RunHost& host) = 0;

  protected:
    ReportRunner() = default;
    ReportRunner(const ReportRunner&) = default;
    ReportRunner& operator=(const ReportRunner&) = default;
};

// The report engine's run, kept for the life of the program (it carries the
// pass counter from one run to the next).
class EngineReportRunner : public ReportRunner {
  public:
    EngineReportRunner(schema::SchemaEngine& engine, const engine::ReportSwitches& switches,
                       const engine::ValueFormatter& formatter)
        : run_(engine, switches, formatter) {}
    void RunReport(engine::RunHost& host) override { run_.RunReport(host); }

  private:
    engine::ReportRun run_;
};

}  // namespace ostrel::ui
