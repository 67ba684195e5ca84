#include "engine/comparison_run.h"

#include <array>
#include <exception>
#include <memory>
#include <stdexcept>

#include "components/document/output_error.h"
#include "components/schema/own_tables.h"
#include "engine/comparison_form.h"
#include "engine/csv_output.h"
#include "engine/file_exists.h"
#include "engine/json_form.h"
#include "engine/object_name.h"
#include "engine/progress.h"
#include "engine/report_writer.h"
#include "engine/run_steps.h"
#include "engine/writing_place.h"

namespace ostrel::engine {
namespace {

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

ObjectFilter FilterFor(const RunHost& host, bool addedObjectsShown) {
    ObjectFilter filter;
    filter.table = [&host](const std::string& name) { return host.IsTableSelected(name); };
    filter.query = [&host](const std::string& name) { return host.IsQuerySelected(name); };
    if (addedObjectsShown) {
        filter.addedTable = [](const std::string& name) { return !schema::IsAccessOwnTable(name); };
        filter.addedQuery = [](const std::string& /*name*/) { return true; };
    }
    return filter;
}

}  // namespace

ComparisonRun::ComparisonRun(schema::SchemaEngine& engine, const ReportSwitches& switches,
                             const ValueFormatter& formatter)
    : engine_(engine), switches_(switches), formatter_(formatter) {}

ComparisonOutcome ComparisonRun::Compare(RunHost& host, const std::string& newPath,
                                         const ComparisonOptions& options, bool addedObjectsShown) {
    const std::string oldPath = host.DatabasePath();
    const std::array<std::pair<std::string, std::string>, 2> files{
        {{"old", oldPath}, {"new", newPath}}};
    for (const auto& [which, path] : files) {
        if (!FileExists(path)) {
            host.ShowMessage("The " + which + " database does not exist: " + Quoted(path) + "\n" +
                                 WhyNoFile(path),
                             MessageIcon::Exclamation, kRunCaption);
            return {RunOutcome::DatabaseMissing, false};
        }
    }
    host.SetStatusText(1, "Opening databases");

    WritingPlace place;
    ReportTarget target = ReportTarget::Preview;
    bool differences = false;
    std::unique_ptr<schema::Database> oldDatabase;
    std::unique_ptr<schema::Database> newDatabase;
    std::unique_ptr<PreviewWindow> window;
    std::unique_ptr<CsvFile> file;
    std::string failure;
    try {
        place.Stage("opening the old database " + Quoted(oldPath));
        oldDatabase = engine_.OpenDatabase(oldPath);
        place.Stage("opening the new database " + Quoted(newPath));
        newDatabase = engine_.OpenDatabase(newPath);

        place.Stage("comparing the designs");
        ShowProgress(host, passCounter_, true);
        const Comparison comparison = CompareDatabases(
            *oldDatabase, *newDatabase, switches_, FilterFor(host, addedObjectsShown), options,
            [&](const char* kind, const std::string& name) {
                place.Stage(std::string("comparing ") + kind + " " + Quoted(name));
                host.SetStatusText(2, std::string("Comparing ") + kind + " : " + name);
                host.RepaintStatus();
            });
        schema::CloseQuietly(newDatabase);
        schema::CloseQuietly(oldDatabase);
        differences = comparison.HasDifferences();

        place.Stage("preparing the report");
        target = host.Target();
        const std::string produced = formatter_.FormatDateTime(formatter_.Now());
        if (target == ReportTarget::Preview) {
            window = host.LoadPreviewWindow();
            if (!window) {
                throw std::runtime_error("the preview window could not be loaded");
            }
            PrepareDocument(window->Document());
        } else {
            const bool json = target == ReportTarget::JsonFile;
            const std::string outputPath = json ? host.JsonPath() : host.CsvPath();
            std::string reason = "It is the new database being compared.";
            if (!SameFile(outputPath, newPath)) {
                file = CsvFile::Open(outputPath, oldPath, &reason);
            }
            if (!file) {
                throw document::OutputError(outputPath, reason);
            }
            if (json) {
                place.Stage("writing the JSON text");
                file->Write(ComparisonJsonText(comparison, {TitleLine(), formatter_.Now()}, oldPath,
                                               newPath, options));
            }
        }
        if (target != ReportTarget::JsonFile) {
            ReportWriter writer = window ? ReportWriter(window->Document())
                                         : ReportWriter(*file, host.QuoteCsv() ? CsvQuoting::Rfc4180
                                                                               : CsvQuoting::None);
            place.Stage("writing the comparison");
            writer.TitleBlock({TitleLine(), "Comparison produced : " + produced,
                               "Old database : " + oldPath, "New database : " + newPath});
            WriteComparison(comparison, writer, formatter_);
        }

        host.SetStatusText(1, "Finished processing");
        host.SetStatusText(2, "");
        host.RepaintStatus();
        if (window) {
            ShowFinishedPreview(*window, place);
            window.reset();
        } else {
            place.Stage("saving the file");
            file->Commit();
            file.reset();
        }
        return {RunOutcome::Finished, differences};
    } catch (const document::OutputError& error) {
        window.reset();
        file.reset();
        schema::CloseQuietly(newDatabase);
        schema::CloseQuietly(oldDatabase);
        TellOutputUnwritable(host, "Comparison", target, error);
        return {RunOutcome::OutputUnwritable, differences};
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "an unexpected error occurred";
    }

    window.reset();
    file.reset();
    schema::CloseQuietly(newDatabase);
    schema::CloseQuietly(oldDatabase);
    TellFailure(host, "Comparison", place, failure);
    return {RunOutcome::Failed, false};
}

}  // namespace ostrel::engine
