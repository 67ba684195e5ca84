#include "cli/report_command.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "cli/cli_host.h"
#include "cli/object_selection.h"
#include "engine/report_run.h"

namespace ostrel::cli {
namespace {

// A private folder for a report bound for standard output; removed with all it
// holds when the run is over.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ostrel2-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder for the report");
        }
        path_ = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

void CopyToOutput(const std::filesystem::path& file, std::ostream& out) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read back the finished report");
    }
    out << in.rdbuf();
    out.flush();
    if (!out) {
        throw std::runtime_error("cannot write the report to standard output");
    }
}

ObjectSelection SelectFrom(const CommandLine& line, schema::SchemaEngine& engine) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(line.database, error)) {
        // The run itself tells the user that the database does not exist.
        return {};
    }
    // Like the pickers, the selection is read through a database object of
    // its own, released before the run opens the file again.
    const std::unique_ptr<schema::Database> database = engine.OpenDatabase(line.database);
    ObjectSelection selection = SelectObjects(*database, line);
    database->Close();
    return selection;
}

int StatusOf(engine::RunOutcome outcome) {
    switch (outcome) {
        case engine::RunOutcome::Finished:
            return kExitSuccess;
        case engine::RunOutcome::DatabaseMissing:
            return kExitDatabaseMissing;
        case engine::RunOutcome::CsvUnopenable:
            return kExitCsvUnopenable;
        case engine::RunOutcome::Failed:
            break;
    }
    return kExitFailure;
}

}  // namespace

int RunReportCommand(const CommandLine& line, const ReportServices& services,
                     const Console& console) {
    try {
        ObjectSelection selection = SelectFrom(line, services.engine);

        const bool toStandardOutput = line.csvPath == "-";
        std::unique_ptr<TemporaryFolder> folder;
        std::string csvPath = line.csvPath;
        if (toStandardOutput) {
            folder = std::make_unique<TemporaryFolder>();
            csvPath = (folder->Path() / "report.csv").string();
        }

        CliHost host(line.database, csvPath, std::move(selection), console.err,
                     console.showProgress);
        engine::ReportRun run(services.engine, services.switches, services.formatter);
        const engine::RunOutcome outcome = run.RunReport(host);
        host.EndProgress();

        if (outcome == engine::RunOutcome::Finished && toStandardOutput) {
            CopyToOutput(csvPath, console.out);
        }
        return StatusOf(outcome);
    } catch (const std::exception& error) {
        PrintMessage(console.err, error.what());
        return kExitFailure;
    }
}

}  // namespace ostrel::cli
