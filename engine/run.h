#pragma once

#include <string>

#include "components/schema/database.h"
#include "engine/comparison.h"
#include "engine/report_switches.h"
#include "engine/run_ports.h"
#include "engine/value_formatter.h"
#include "engine/writing_place.h"

namespace ostrel::engine {

// How a run ended, for front ends that report it (the batch program's exit
// status). The user has already been told through the host.
enum class RunOutcome { Finished, DatabaseMissing, OutputUnwritable, Failed, Cancelled };

struct ComparisonOutcome {
    RunOutcome outcome = RunOutcome::Failed;
    bool differences = false;  // meaningful when the run finished
};

// Runs reports and comparisons, from the existence check of the databases to
// the final status line, as the request asks, through the ports. Both go
// the same way: the databases are opened, the output is prepared (the
// preview's document, a CSV or a JSON file), the title block is written, the
// work is done, and what was opened is closed; a failure names the file and
// the system's reason, and either can be cancelled through the status. One
// object lives as long as the program; it keeps the pass counter between runs.
class Run {
  public:
    Run(schema::SchemaEngine& engine, const ReportSwitches& switches,
        const ValueFormatter& formatter);

    // The report of the request's database.
    RunOutcome Report(const RunRequest& request, RunPorts& ports);

    // Compares the request's database (the old one) with another (the new
    // one). Objects take part when selected by name. With addedObjectsShown,
    // an object only the new file holds takes part unless it is a system
    // table (the desktop's pickers cannot list it).
    ComparisonOutcome Compare(const RunRequest& request, const std::string& newPath,
                              const ComparisonOptions& options, bool addedObjectsShown,
                              RunPorts& ports);

  private:
    struct Job;
    struct Output;
    ComparisonOutcome Execute(const RunRequest& request, RunPorts& ports, const Job& job);
    static bool DatabasesExist(const Job& job, RunMessages& messages);
    static void PrepareOutput(const RunRequest& request, const Job& job, Output& output);
    static void CompleteOutput(std::vector<std::unique_ptr<schema::Database>>& databases,
                               Output& output, WritingPlace& place);

    schema::SchemaEngine& engine_;
    const ReportSwitches& switches_;
    const ValueFormatter& formatter_;
    int passCounter_ = 0;
};

}  // namespace ostrel::engine
