#include "cli/report_command.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

#include "cli/cli_host.h"
#include "cli/object_selection.h"
#include "engine/comparison_run.h"
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

struct Selected {
    ObjectSelection objects;
    // One line for each selected linked table whose source cannot be read.
    std::vector<std::string> unlinked;
};

Selected SelectFrom(const CommandLine& line, schema::SchemaEngine& engine) {
    if (!engine::FileExists(line.database)) {
        // The run itself tells the user that the database does not exist.
        return {};
    }
    // Like the pickers, the selection is read through a database object of
    // its own, released before the run opens the file again.
    const std::unique_ptr<schema::Database> database = engine.OpenDatabase(line.database);
    Selected selected{SelectObjects(*database, line), {}};
    const auto& tables = database->TableDefs();
    for (int i = 0; i < tables.Count(); ++i) {
        const schema::TableDef& table = tables.Item(i);
        if (selected.objects.tables.count(table.Name()) == 0) {
            continue;
        }
        if (const auto problem = table.LinkProblem()) {
            selected.unlinked.push_back("linked table '" + table.Name() +
                                        "': its fields cannot be listed because " + *problem);
        }
    }
    database->Close();
    return selected;
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

// One output the command line asks for. A file bound for standard output is
// written in a private folder first and copied out once complete.
struct Output {
    engine::ReportTarget kind;
    std::string path;
};

std::vector<Output> OutputsOf(const CommandLine& line) {
    std::vector<Output> outputs;
    if (line.csvPath) {
        outputs.push_back({engine::ReportTarget::CsvFile, *line.csvPath});
    }
    if (line.jsonPath) {
        outputs.push_back({engine::ReportTarget::JsonFile, *line.jsonPath});
    }
    if (line.pdfPath) {
        outputs.push_back({engine::ReportTarget::Preview, *line.pdfPath});
    }
    return outputs;
}

ObjectSelection SelectForComparisonFrom(const CommandLine& line, schema::SchemaEngine& engine) {
    if (!engine::FileExists(line.database) || !engine::FileExists(*line.compareWith)) {
        return {};  // the run tells the user which one is missing
    }
    std::unique_ptr<schema::Database> oldDatabase;
    try {
        oldDatabase = engine.OpenDatabase(line.database);
    } catch (const std::exception& error) {
        throw std::runtime_error("cannot read the old database: " + std::string(error.what()));
    }
    std::unique_ptr<schema::Database> newDatabase;
    try {
        newDatabase = engine.OpenDatabase(*line.compareWith);
    } catch (const std::exception& error) {
        oldDatabase->Close();
        throw std::runtime_error("cannot read the new database: " + std::string(error.what()));
    }
    ObjectSelection selection = SelectForComparison(*oldDatabase, *newDatabase, line);
    newDatabase->Close();
    oldDatabase->Close();
    return selection;
}

// The diagram of the relationships between the selected tables, read through
// a database object of its own.
int WriteDiagram(const CommandLine& line, const ReportServices& services,
                 const ObjectSelection& selection, const Console& console) {
    if (!engine::FileExists(line.database)) {
        PrintMessage(console.err, "Database does not exist");
        return kExitDatabaseMissing;
    }
    std::unique_ptr<schema::Database> database = services.engine.OpenDatabase(line.database);
    const diagram::DiagramModel model = diagram::BuildDiagramModel(
        *database,
        [&selection](const std::string& name) { return selection.tables.count(name) != 0; });
    database->Close();
    database.reset();
    services.diagramFile(model, *line.diagramPath);
    return kExitSuccess;
}

}  // namespace

int RunReportCommand(const CommandLine& line, const ReportServices& services,
                     const Console& console) {
    try {
        if (line.pdfPath && !services.pdfWindow) {
            throw std::runtime_error("PDF output is not available in this build");
        }
        if (line.diagramPath && !services.diagramFile) {
            throw std::runtime_error("diagram output is not available in this build");
        }
        const bool comparing = line.compareWith.has_value();
        ObjectSelection selection;
        if (comparing) {
            selection = SelectForComparisonFrom(line, services.engine);
        } else {
            Selected selected = SelectFrom(line, services.engine);
            for (const std::string& unlinked : selected.unlinked) {
                PrintMessage(console.err, (line.strict ? "" : "warning: ") + unlinked);
            }
            if (line.strict && !selected.unlinked.empty()) {
                return kExitFailure;
            }
            selection = std::move(selected.objects);
        }
        engine::ReportRun run(services.engine, services.switches, services.formatter);
        engine::ComparisonRun comparison(services.engine, services.switches, services.formatter);
        engine::ComparisonOptions options;
        options.volatileProperties = line.compareVolatile;
        options.listUnchanged = line.listUnchanged;

        bool differences = false;
        for (const Output& output : OutputsOf(line)) {
            const bool toStandardOutput =
                output.path == "-" && output.kind != engine::ReportTarget::Preview;
            std::unique_ptr<TemporaryFolder> folder;
            std::string path = output.path;
            if (toStandardOutput) {
                folder = std::make_unique<TemporaryFolder>();
                path = (folder->Path() / "report").string();
            }
            CliHost::Output target;
            target.kind = output.kind;
            target.quoteCsv = line.csvQuoted;
            if (output.kind == engine::ReportTarget::CsvFile) {
                target.csvPath = path;
            } else if (output.kind == engine::ReportTarget::JsonFile) {
                target.jsonPath = path;
            } else {
                target.previewWindow = [&services, path] { return services.pdfWindow(path); };
            }
            CliHost host(line.database, std::move(target), selection, console.err,
                         console.showProgress);
            engine::RunOutcome outcome = engine::RunOutcome::Failed;
            if (comparing) {
                const engine::ComparisonOutcome compared =
                    comparison.Compare(host, *line.compareWith, options, false);
                outcome = compared.outcome;
                differences = compared.differences;
            } else {
                outcome = run.RunReport(host);
            }
            host.EndProgress();
            if (outcome != engine::RunOutcome::Finished) {
                return StatusOf(outcome);
            }
            if (toStandardOutput) {
                CopyToOutput(path, console.out);
            }
        }
        if (line.diagramPath) {
            return WriteDiagram(line, services, selection, console);
        }
        return differences ? kExitDifferences : kExitSuccess;
    } catch (const std::exception& error) {
        PrintMessage(console.err, error.what());
        return kExitFailure;
    }
}

}  // namespace ostrel::cli
