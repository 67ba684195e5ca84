#pragma once

#include "components/schema/database.h"
#include "engine/report_switches.h"
#include "engine/run_host.h"
#include "engine/value_formatter.h"

namespace ostrel::engine {

// How a run ended, for front ends that report it (the batch program's exit
// status). The user has already been told through the host.
enum class RunOutcome { Finished, DatabaseMissing, OutputUnwritable, Failed, Cancelled };

// Produces complete reports. One object lives as long as the program; it
// keeps the pass counter between runs.
class ReportRun {
  public:
    ReportRun(schema::SchemaEngine& engine, const ReportSwitches& switches,
              const ValueFormatter& formatter);

    // Runs one report from the existence check of the database to the final
    // status line, reading everything it needs from the host.
    RunOutcome RunReport(RunHost& host);

  private:
    schema::SchemaEngine& engine_;
    const ReportSwitches& switches_;
    const ValueFormatter& formatter_;
    int passCounter_ = 0;
};

}  // namespace ostrel::engine
