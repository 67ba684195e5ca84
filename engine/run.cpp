#include "engine/run.h"

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "components/document/output_error.h"
#include "components/schema/own_tables.h"
#include "engine/comparison_form.h"
#include "engine/csv_output.h"
#include "engine/file_exists.h"
#include "engine/json_form.h"
#include "engine/json_renderer.h"
#include "engine/progress.h"
#include "engine/report_forms.h"
#include "engine/report_walk.h"
#include "engine/report_writer.h"
#include "engine/writing_place.h"
#include "ostrel_version.h"

namespace ostrel::engine {
namespace {

constexpr const char* kCaption = "Ostrel2";

std::string TitleLine() {
    return "Ostrel2 Version " + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

void SetStatus(RunHost& host, const std::string& panel1, const std::string& panel2) {
    host.SetStatusText(1, panel1);
    host.SetStatusText(2, panel2);
    host.RepaintStatus();
}

std::string Lowered(std::string text) {
    if (!text.empty() && text.front() >= 'A' && text.front() <= 'Z') {
        text.front() = static_cast<char>(text.front() - 'A' + 'a');
    }
    return text;
}

// The end of a run that failed, once its files and databases are released:
// the status bar says that the run was not completed, and the user learns
// what failed and where.
void TellFailure(RunHost& host, const std::string& runName, const std::string& where,
                 const std::string& failure) {
    SetStatus(host, runName + " not completed", "");
    host.ShowMessage(
        "The " + Lowered(runName) + " could not be completed.\n\nWhile " + where + ": " + failure,
        MessageIcon::Critical, kCaption);
}

const char* OutputKind(ReportTarget target) {
    switch (target) {
        case ReportTarget::CsvFile:
            return "CSV";
        case ReportTarget::JsonFile:
            return "JSON";
        case ReportTarget::Preview:
            break;
    }
    return "PDF";
}

}  // namespace

void RunHost::ShowOutputUnwritable(const std::string& kind, const std::string& path,
                                   const std::string& reason) {
    ShowMessage("Unable to open " + kind +
                    " file - please check that it is not locked elsewhere\n\n" +
                    (path.empty() ? std::string() : path + "\n") + reason,
                MessageIcon::Critical, kCaption);
}

// Where the run's result goes: the preview window's document, or a CSV or
// JSON file written beside its target and put in place at the end.
struct Run::Output {
    ReportTarget target = ReportTarget::Preview;
    std::unique_ptr<PreviewWindow> window;
    std::unique_ptr<CsvFile> file;
    std::optional<ReportWriter> writer;  // the preview's or the CSV file's forms
    CsvQuoting quoting = CsvQuoting::None;

    void Drop() {
        writer.reset();
        window.reset();
        file.reset();
    }
};

// What a report and a comparison do differently.
struct Run::Job {
    std::string name;  // "Report" or "Comparison"
    // The databases, with the word that names each in messages ("" for a
    // report's one database).
    std::vector<std::pair<std::string, std::string>> databases;
    // The preview window is told the database (its file names and PDF title).
    bool namesPreview = false;
    // Writes the result: the title block and the rest. The databases are
    // open; the job may close them once it no longer needs them.
    std::function<void(std::vector<std::unique_ptr<schema::Database>>&, Output&, WalkContext&)>
        write;
    bool differences = false;  // set by a comparison's write
};

Run::Run(schema::SchemaEngine& engine, const ReportSwitches& switches,
         const ValueFormatter& formatter)
    : engine_(engine), switches_(switches), formatter_(formatter) {}

ComparisonOutcome Run::Execute(RunHost& host, const Job& job) {
    for (const auto& [which, path] : job.databases) {
        if (!FileExists(path)) {
            host.ShowMessage(which.empty() ? DatabaseMissingMessage(path)
                                           : "The " + which + " database does not exist: " +
                                                 Quoted(path) + "\n" + WhyNoFile(path),
                             MessageIcon::Exclamation, kCaption);
            return {RunOutcome::DatabaseMissing, false};
        }
    }
    host.SetStatusText(1, job.databases.size() > 1 ? "Opening databases" : "Opening database");

    WritingPlace place;
    std::vector<std::unique_ptr<schema::Database>> databases;
    Output output;
    const auto release = [&] {
        output.Drop();
        for (auto& database : databases) {
            schema::CloseQuietly(database);
        }
    };
    std::string failure;
    try {
        for (const auto& [which, path] : job.databases) {
            place.Stage(which.empty() ? "opening the database"
                                      : "opening the " + which + " database " + Quoted(path));
            databases.push_back(engine_.OpenDatabase(path));
        }

        place.Stage("preparing the report");
        output.target = host.Target();
        output.quoting = host.QuoteCsv() ? CsvQuoting::Rfc4180 : CsvQuoting::None;
        if (output.target == ReportTarget::Preview) {
            output.window = host.LoadPreviewWindow();
            if (!output.window) {
                throw std::runtime_error("the preview window could not be loaded");
            }
            if (job.namesPreview) {
                output.window->SetDatabasePath(job.databases.front().second);
            }
            document::ReportDocument& document = output.window->Document();
            document.SetPageBorder(0);
            document.SetPageCaption("|Page %d|");
            document.SetCaptionTextSize(8);
            document.SetPreviewMode(true);
            document.StartDocument();
            output.writer.emplace(document);
        } else {
            const std::string path =
                output.target == ReportTarget::JsonFile ? host.JsonPath() : host.CsvPath();
            // The databases are open: like any file in use, none can take the
            // result.
            std::string reason = "It is a database being read.";
            bool databaseItself = false;
            for (std::size_t i = 1; i < job.databases.size(); ++i) {
                databaseItself = databaseItself || SameFile(path, job.databases[i].second);
            }
            if (!databaseItself) {
                output.file = CsvFile::Open(path, job.databases.front().second, &reason);
            }
            if (!output.file) {
                throw document::OutputError(path, reason);
            }
            if (output.target == ReportTarget::CsvFile) {
                output.writer.emplace(*output.file, output.quoting);
            }
        }

        ShowProgress(host, passCounter_, true);
        WalkContext context{host, passCounter_, place};
        job.write(databases, output, context);
        SetStatus(host, "Finished processing", "");

        // Everything the result needs is in it now: the databases are let go
        // before the preview is shown, which may stay open for long, or the
        // file is put in place.
        for (auto& database : databases) {
            schema::CloseQuietly(database);
        }
        if (output.window) {
            place.Stage("finishing the preview");
            document::ReportDocument& document = output.window->Document();
            document.EndDocument();
            const int pages = document.PageCount();
            if (pages > 1) {
                output.window->ShowPageButtons();
                output.window->SetPrevEnabled(false);
                output.window->SetCaption("Report Preview - Page 1 of " + std::to_string(pages));
            }
            place.Stage("showing the preview");
            output.window->ShowModal();
        } else {
            place.Stage("saving the file");
            output.writer.reset();
            output.file->Commit();
        }
        output.Drop();
        return {RunOutcome::Finished, job.differences};
    } catch (const RunCancelled&) {
        // Stopped on request: nothing is written and nothing is reported as
        // an error; an earlier file stays as it was.
        release();
        SetStatus(host, job.name + " cancelled", "");
        return {RunOutcome::Cancelled, false};
    } catch (const document::OutputError& error) {
        release();
        if (error.When() == document::OutputError::Stage::Writing) {
            TellFailure(host, job.name,
                        std::string("writing the ") + OutputKind(output.target) + " file " +
                            Quoted(error.Path()),
                        error.Reason());
        } else {
            SetStatus(host, job.name + " not completed", "");
            host.ShowOutputUnwritable(OutputKind(output.target), error.Path(), error.Reason());
        }
        return {RunOutcome::OutputUnwritable, false};
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "an unexpected error occurred";
    }
    // An orderly end: nothing half-written stays behind, the databases are
    // released, and the user learns what failed and where.
    release();
    TellFailure(host, job.name, place.Describe(), failure);
    return {RunOutcome::Failed, false};
}

RunOutcome Run::Report(RunHost& host) {
    Job job;
    job.name = "Report";
    job.databases = {{"", host.DatabasePath()}};
    job.namesPreview = true;
    job.write = [this, &host](std::vector<std::unique_ptr<schema::Database>>& databases,
                              Output& output, WalkContext& context) {
        const schema::DateTime produced = formatter_.Now();
        const ReportTitle title{TitleLine(), produced, formatter_.FormatDateTime(produced),
                                host.DatabasePath()};
        const ReportBuilder builder(*databases.front(), switches_);
        if (output.target == ReportTarget::JsonFile) {
            JsonRenderer json([&output](std::string_view text) { output.file->Write(text); });
            json.Title(title);
            WalkReport(builder, json, context);
            return;
        }
        context.place.Stage("writing the title block");
        FormsRenderer forms(*output.writer, formatter_);
        forms.Title(title);
        WalkReport(builder, forms, context);
    };
    return Execute(host, job).outcome;
}

ComparisonOutcome Run::Compare(RunHost& host, const std::string& newPath,
                               const ComparisonOptions& options, bool addedObjectsShown) {
    const std::string oldPath = host.DatabasePath();
    Job job;
    job.name = "Comparison";
    job.databases = {{"old", oldPath}, {"new", newPath}};
    job.write = [&](std::vector<std::unique_ptr<schema::Database>>& databases, Output& output,
                    WalkContext& context) {
        context.place.Stage("comparing the designs");
        ObjectFilter filter;
        filter.selected = [&host](ObjectKind kind, const std::string& name) {
            return IsSelected(host, kind, name);
        };
        if (addedObjectsShown) {
            filter.selectedAdded = [](ObjectKind kind, const std::string& name) {
                return kind != ObjectKind::Table || !schema::IsAccessOwnTable(name);
            };
        }
        const Comparison comparison =
            CompareDatabases(*databases[0], *databases[1], switches_, filter, options,
                             [&](ObjectKind kind, const std::string& name) {
                                 const std::string word(WordsOf(kind).lower);
                                 context.place.Stage("comparing " + word + " " + Quoted(name));
                                 host.SetStatusText(2, "Comparing " + word + " : " + name);
                                 host.RepaintStatus();
                                 AskToGoOn(host);
                             });
        for (auto& database : databases) {
            schema::CloseQuietly(database);
        }
        job.differences = comparison.HasDifferences();
        const schema::DateTime produced = formatter_.Now();
        if (output.target == ReportTarget::JsonFile) {
            context.place.Stage("writing the JSON text");
            output.file->Write(
                ComparisonJsonText(comparison, {TitleLine(), produced}, oldPath, newPath, options));
            return;
        }
        context.place.Stage("writing the comparison");
        output.writer->TitleBlock({TitleLine(),
                                   "Comparison produced : " + formatter_.FormatDateTime(produced),
                                   "Old database : " + oldPath, "New database : " + newPath});
        WriteComparison(comparison, *output.writer, formatter_);
    };
    return Execute(host, job);
}

}  // namespace ostrel::engine
