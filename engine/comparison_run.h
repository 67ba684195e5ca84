#pragma once

#include <string>

#include "components/schema/database.h"
#include "engine/comparison.h"
#include "engine/report_run.h"
#include "engine/report_switches.h"
#include "engine/run_host.h"
#include "engine/value_formatter.h"

namespace ostrel::engine {

struct ComparisonOutcome {
    RunOutcome outcome = RunOutcome::Failed;
    bool differences = false;  // meaningful when the run finished
};

// Compares the host's database (the old one) with another (the new one) and
// writes the result to the host's target: preview, CSV or JSON. Failures are
// told through the host and name the file they concern.
class ComparisonRun {
  public:
    ComparisonRun(schema::SchemaEngine& engine, const ReportSwitches& switches,
                  const ValueFormatter& formatter);

    // Tables and queries take part when the host has them selected by name.
    // With addedObjectsShown, an object only the new file holds takes part
    // unless it is a system table (the desktop's pickers cannot list it).
    ComparisonOutcome Compare(RunHost& host, const std::string& newPath,
                              const ComparisonOptions& options, bool addedObjectsShown);

  private:
    schema::SchemaEngine& engine_;
    const ReportSwitches& switches_;
    const ValueFormatter& formatter_;
    int passCounter_ = 0;
};

}  // namespace ostrel::engine
