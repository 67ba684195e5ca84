#include "cli/report_command.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <system_error>
#include <vector>

#include "cli/cli_host.h"
#include "cli/object_selection.h"
#include "components/document/output_error.h"
#include "components/document/stream_target.h"
#include "engine/code_export.h"
#include "engine/csv_output.h"
#include "engine/file_exists.h"
#include "engine/run.h"

namespace ostrel::cli {
namespace {

// An output that cannot be written, with the kind of output it is.
struct OutputKindError : document::OutputError {
    OutputKindError(const char* outputKind, const document::OutputError& error)
        : document::OutputError(error), kind(outputKind) {}
    std::string kind;
};

struct Selected {
    ObjectSelection objects;
    // One line for each selected linked table whose source cannot be read.
    std::vector<std::string> unlinked;
};

// One line for each selected linked table of the database whose source
// cannot be read; prefix names the database in a comparison.
void NameUnlinkedTables(const schema::Database& database, const std::set<std::string>& selected,
                        const std::string& prefix, std::vector<std::string>& lines) {
    const auto& tables = database.TableDefs();
    for (int i = 0; i < tables.Count(); ++i) {
        const schema::TableDef& table = tables.Item(i);
        if (selected.count(table.Name()) == 0) {
            continue;
        }
        if (const auto problem = table.LinkProblem()) {
            lines.push_back(prefix + "linked table '" + table.Name() +
                            "': its fields cannot be listed because " + *problem);
        }
    }
}

Selected SelectFrom(const CommandLine& line, schema::SchemaEngine& engine) {
    if (!engine::FileExists(line.database)) {
        // The run itself tells the user that the database does not exist.
        return {};
    }
    // Like the pickers, the selection is read through a database object of
    // its own, released before the run opens the file again.
    const std::unique_ptr<schema::Database> database = engine.OpenDatabase(line.database);
    Selected selected{SelectObjects(*database, line), {}};
    NameUnlinkedTables(*database, selected.objects.tables, "", selected.unlinked);
    database->Close();
    return selected;
}

int StatusOf(engine::RunOutcome outcome) {
    switch (outcome) {
        case engine::RunOutcome::Finished:
            return kExitSuccess;
        case engine::RunOutcome::DatabaseMissing:
            return kExitDatabaseMissing;
        case engine::RunOutcome::OutputUnwritable:
            return kExitOutputUnwritable;
        case engine::RunOutcome::Failed:
        case engine::RunOutcome::Cancelled:
            break;
    }
    return kExitFailure;
}

// One output the command line asks for.
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
    if (line.htmlPath) {
        outputs.push_back({engine::ReportTarget::HtmlFile, *line.htmlPath});
    }
    if (line.pdfPath) {
        outputs.push_back({engine::ReportTarget::Preview, *line.pdfPath});
    }
    return outputs;
}

Selected SelectForComparisonFrom(const CommandLine& line, schema::SchemaEngine& engine) {
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
    Selected selected{SelectForComparison(*oldDatabase, *newDatabase, line), {}};
    NameUnlinkedTables(*oldDatabase, selected.objects.tables, "old database: ", selected.unlinked);
    NameUnlinkedTables(*newDatabase, selected.objects.tables, "new database: ", selected.unlinked);
    newDatabase->Close();
    oldDatabase->Close();
    return selected;
}

// Checks before any work is done that each output file can be written, so
// that a long run does not end in a target it could never write. Streams
// (standard output, devices, pipes) are opened only when written.
void CheckOutputsWritable(const CommandLine& line) {
    const std::array<std::pair<const char*, const std::optional<std::string>*>, 5> outputs{{
        {"CSV", &line.csvPath},
        {"JSON", &line.jsonPath},
        {"HTML", &line.htmlPath},
        {"PDF", &line.pdfPath},
        {"diagram", &line.diagramPath},
    }};
    for (const auto& [kind, path] : outputs) {
        if (!*path || document::IsStreamTarget(**path)) {
            continue;
        }
        std::string reason;
        if (!engine::CsvFile::Open(**path, line.database, &reason)) {
            throw OutputKindError(kind, document::OutputError(**path, reason));
        }
    }
}

// The diagram of the relationships between the selected tables, read through
// a database object of its own.
int WriteDiagram(const CommandLine& line, const ReportServices& services,
                 const ObjectSelection& selection, const Console& console) {
    if (!engine::FileExists(line.database)) {
        PrintMessage(console.err, engine::DatabaseMissingMessage(line.database));
        return kExitDatabaseMissing;
    }
    std::unique_ptr<schema::Database> database = services.engine.OpenDatabase(line.database);
    const diagram::DiagramModel model = diagram::BuildDiagramModel(
        *database,
        [&selection](const std::string& name) { return selection.tables.count(name) != 0; });
    database->Close();
    database.reset();
    try {
        services.diagramFile(model, *line.diagramPath);
    } catch (const document::OutputError& error) {
        throw OutputKindError("diagram", error);
    }
    return kExitSuccess;
}

// Every module to its own file; what was done is told on standard error. A
// module that cannot be read keeps the file an earlier export wrote.
int ExportCodeFiles(const CommandLine& line, const ReportServices& services,
                    const Console& console) {
    if (!engine::FileExists(line.database)) {
        PrintMessage(console.err, engine::DatabaseMissingMessage(line.database));
        return kExitDatabaseMissing;
    }
    const std::unique_ptr<schema::Database> database = services.engine.OpenDatabase(line.database);
    engine::CodeExportOptions options;
    options.utf8 = line.codeUtf8;
    options.prune = line.prune;
    options.encode = services.encodeCode;
    engine::CodeExportResult result;
    try {
        result = engine::ExportCode(*database, *line.exportCodeDir, options);
    } catch (const std::runtime_error& error) {
        PrintMessage(console.err, error.what());
        return kExitOutputUnwritable;
    }
    for (const std::string& unreadable : result.unreadable) {
        PrintMessage(console.err, "warning: module " + unreadable);
    }
    for (const std::string& removed : result.removed) {
        PrintMessage(console.err, "removed " + removed);
    }
    database->Close();
    // The others are written; the run still fails, so that a script notices.
    return result.unreadable.empty() ? kExitSuccess : kExitFailure;
}

}  // namespace

int RunReportCommand(const CommandLine& line, const ReportServices& services,
                     const Console& console) {
    try {
        if (line.pdfPath && !services.pdfOutput) {
            throw std::runtime_error("PDF output is not available in this build");
        }
        if (line.diagramPath && !services.diagramFile) {
            throw std::runtime_error("diagram output is not available in this build");
        }
        if (line.exportCodeDir) {
            return ExportCodeFiles(line, services, console);
        }
        const bool comparing = line.compareWith.has_value();
        Selected selected = comparing ? SelectForComparisonFrom(line, services.engine)
                                      : SelectFrom(line, services.engine);
        for (const std::string& unlinked : selected.unlinked) {
            PrintMessage(console.err, (line.strict ? "" : "warning: ") + unlinked);
        }
        if (line.strict && !selected.unlinked.empty()) {
            return kExitFailure;
        }
        const ObjectSelection selection = std::move(selected.objects);
        // A missing database is told first, by the run.
        if (engine::FileExists(line.database) &&
            (!comparing || engine::FileExists(*line.compareWith))) {
            CheckOutputsWritable(line);
        }
        engine::Run run(services.engine, services.switches, services.formatter);
        engine::ComparisonOptions options;
        options.volatileProperties = line.compareVolatile;
        options.listUnchanged = line.listUnchanged;

        bool differences = false;
        const CliSelection chosen(selection);
        for (const Output& output : OutputsOf(line)) {
            engine::RunRequest request;
            request.databasePath = line.database;
            request.target = output.kind;
            request.outputPath = output.path;
            request.quoteCsv = line.csvQuoted;
            request.standardOutput = &console.out;
            request.pagedOutput = [&services, path = output.path] {
                return services.pdfOutput(path);
            };
            request.diagramSvg = services.diagramSvg;
            CliHost host(console.err, console.showProgress);
            engine::RunPorts ports{host, host, chosen};
            engine::RunOutcome outcome = engine::RunOutcome::Failed;
            if (comparing) {
                const engine::ComparisonOutcome compared =
                    run.Compare(request, *line.compareWith, options, false, ports);
                outcome = compared.outcome;
                differences = compared.differences;
            } else {
                outcome = run.Report(request, ports);
            }
            host.EndProgress();
            if (outcome != engine::RunOutcome::Finished) {
                return StatusOf(outcome);
            }
        }
        if (line.diagramPath) {
            return WriteDiagram(line, services, selection, console);
        }
        return differences ? kExitDifferences : kExitSuccess;
    } catch (const OutputKindError& error) {
        PrintMessage(console.err, OutputProblem(error.kind, error.Path(), error.Reason()));
        return kExitOutputUnwritable;
    } catch (const document::OutputError& error) {
        PrintMessage(console.err, error.what());
        return kExitOutputUnwritable;
    } catch (const std::exception& error) {
        PrintMessage(console.err, error.what());
        return kExitFailure;
    }
}

}  // namespace ostrel::cli
