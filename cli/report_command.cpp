#include "cli/report_command.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "cli/cli_host.h"
#include "cli/object_selection.h"
#include "engine/file_exists.h"
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
    if (!engine::FileExists(line.database)) {
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
        case engine::RunOutcome::Cancelled:
            break;
    }
    return kExitFailure;
}

}  // namespace

int RunReportCommand(const CommandLine& line, const ReportServices& services,
                     const Console& console) {
    try {
        if (line.pdfPath && !services.pdfWindow) {
            throw std::runtime_error("PDF output is not available in this build");
        }
        const ObjectSelection selection = SelectFrom(line, services.engine);
        engine::ReportRun run(services.engine, services.switches, services.formatter);
        const auto runReport = [&](CliHost::Output target) {
            CliHost host(line.database, std::move(target), selection, console.err,
                         console.showProgress);
            const engine::RunOutcome outcome = run.RunReport(host);
            host.EndProgress();
            return outcome;
        };

        if (line.csvPath) {
            const bool toStandardOutput = *line.csvPath == "-";
            std::unique_ptr<TemporaryFolder> folder;
            CliHost::Output target;
            target.kind = engine::ReportTarget::CsvFile;
            target.csvPath = *line.csvPath;
            if (toStandardOutput) {
                folder = std::make_unique<TemporaryFolder>();
                target.csvPath = (folder->Path() / "report.csv").string();
            }
            const std::string csvPath = target.csvPath;
            const engine::RunOutcome outcome = runReport(std::move(target));
            if (outcome != engine::RunOutcome::Finished) {
                return StatusOf(outcome);
            }
            if (toStandardOutput) {
                CopyToOutput(csvPath, console.out);
            }
        }
        if (line.pdfPath) {
            const std::string& pdfPath = *line.pdfPath;
            CliHost::Output target;
            target.kind = engine::ReportTarget::Preview;
            target.previewWindow = [&services, &pdfPath] { return services.pdfWindow(pdfPath); };
            const engine::RunOutcome outcome = runReport(std::move(target));
            if (outcome != engine::RunOutcome::Finished) {
                return StatusOf(outcome);
            }
        }
        return kExitSuccess;
    } catch (const std::exception& error) {
        PrintMessage(console.err, error.what());
        return kExitFailure;
    }
}

}  // namespace ostrel::cli
