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
#include "engine/html_comparison.h"
#include "engine/html_renderer.h"
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

void SetStatus(RunStatus& status, const std::string& panel1, const std::string& panel2) {
    status.SetStatusText(1, panel1);
    status.SetStatusText(2, panel2);
    status.RepaintStatus();
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
void TellFailure(RunPorts& ports, const std::string& runName, const std::string& where,
                 const std::string& failure) {
    SetStatus(ports.status, runName + " not completed", "");
    ports.messages.ShowMessage(
        "The " + Lowered(runName) + " could not be completed.\n\nWhile " + where + ": " + failure,
        MessageIcon::Critical, kCaption);
}

const char* OutputKind(ReportTarget target) {
    switch (target) {
        case ReportTarget::CsvFile:
            return "CSV";
        case ReportTarget::JsonFile:
            return "JSON";
        case ReportTarget::HtmlFile:
            return "HTML";
        case ReportTarget::Preview:
            break;
    }
    return "PDF";
}

// An output that could not be opened, or failed while it was written.
void TellOutputFailure(RunPorts& ports, const std::string& runName, ReportTarget target,
                       const document::OutputError& error) {
    if (error.When() == document::OutputError::Stage::Writing) {
        TellFailure(
            ports, runName,
            std::string("writing the ") + OutputKind(target) + " file " + Quoted(error.Path()),
            error.Reason());
        return;
    }
    SetStatus(ports.status, runName + " not completed", "");
    ports.messages.ShowOutputUnwritable(OutputKind(target), error.Path(), error.Reason());
}

// The user's status, and a preview closed while the report is still written
// stops the run as Cancel does.
class WatchedStatus final : public RunStatus {
  public:
    explicit WatchedStatus(RunStatus& inner) : inner_(inner) {}
    void Watch(const PagedOutput* output) { output_ = output; }
    void SetStatusText(int panel, const std::string& text) override {
        inner_.SetStatusText(panel, text);
    }
    void RepaintStatus() override { inner_.RepaintStatus(); }
    bool GoOn() override {
        return inner_.GoOn() && (output_ == nullptr || !output_->CloseRequested());
    }

  private:
    RunStatus& inner_;
    const PagedOutput* output_ = nullptr;
};

// The user's messages; warnings also go to the paged report, to be shown
// with it.
class ForwardedMessages final : public RunMessages {
  public:
    explicit ForwardedMessages(RunMessages& inner) : inner_(inner) {}
    void Watch(PagedOutput* output) { output_ = output; }
    void ShowMessage(const std::string& text, MessageIcon icon,
                     const std::string& caption) override {
        inner_.ShowMessage(text, icon, caption);
    }
    void ShowOutputUnwritable(const std::string& kind, const std::string& path,
                              const std::string& reason) override {
        inner_.ShowOutputUnwritable(kind, path, reason);
    }
    void Warn(const std::string& text) override {
        inner_.Warn(text);
        if (output_ != nullptr) {
            output_->AddWarning(text);
        }
    }

  private:
    RunMessages& inner_;
    PagedOutput* output_ = nullptr;
};

}  // namespace

void RunMessages::ShowOutputUnwritable(const std::string& kind, const std::string& path,
                                       const std::string& reason) {
    ShowMessage("Unable to open " + kind +
                    " file - please check that it is not locked elsewhere\n\n" +
                    (path.empty() ? std::string() : path + "\n") + reason,
                MessageIcon::Critical, kCaption);
}

// Where the run's result goes: a paged document (the preview, a PDF file),
// or the text of a CSV or JSON file (written beside its target and put in
// place at the end, or to standard output as it is made).
struct Run::Output {
    ReportTarget target = ReportTarget::Preview;
    std::unique_ptr<PagedOutput> paged;
    std::unique_ptr<TextOutput> text;
    std::optional<ReportWriter> writer;  // the paged document's or the CSV text's forms

    void Drop() {
        writer.reset();
        paged.reset();
        text.reset();
    }
};

// What a report and a comparison do differently.
struct Run::Job {
    std::string name;  // "Report" or "Comparison"
    // The databases, with the word that names each in messages ("" for a
    // report's one database).
    std::vector<std::pair<std::string, std::string>> databases;
    // The paged output is told the database (its file names and PDF title).
    bool namesPagedOutput = false;
    // Writes the result: the title block and the rest. The databases are
    // open; the job may close them once it no longer needs them.
    std::function<void(std::vector<std::unique_ptr<schema::Database>>&, Output&, WalkContext&)>
        write;
    bool differences = false;  // set by a comparison's write
};

namespace {

// The text of a CSV or JSON output: standard output, or a file that none of
// the databases being read can be.
std::unique_ptr<TextOutput> OpenTextOutput(
    const RunRequest& request, const std::vector<std::pair<std::string, std::string>>& databases) {
    const std::string& path = request.outputPath;
    if (path == "-" && request.standardOutput != nullptr) {
        return std::make_unique<StreamOutput>(*request.standardOutput);
    }
    // The databases are open: like any file in use, none can take the result.
    std::string reason = "It is a database being read.";
    bool databaseItself = false;
    for (std::size_t i = 1; i < databases.size(); ++i) {
        databaseItself = databaseItself || SameFile(path, databases[i].second);
    }
    std::unique_ptr<TextOutput> file;
    if (!databaseItself) {
        file = CsvFile::Open(path, databases.front().second, &reason);
    }
    if (!file) {
        throw document::OutputError(path, reason);
    }
    return file;
}

}  // namespace

Run::Run(schema::SchemaEngine& engine, const ReportSwitches& switches,
         const ValueFormatter& formatter)
    : engine_(engine), switches_(switches), formatter_(formatter) {}

// Every database must exist before anything is opened; the first missing one
// is told.
bool Run::DatabasesExist(const Job& job, RunMessages& messages) {
    for (const auto& [which, path] : job.databases) {
        if (!FileExists(path)) {
            messages.ShowMessage(which.empty() ? DatabaseMissingMessage(path)
                                               : "The " + which + " database does not exist: " +
                                                     Quoted(path) + "\n" + WhyNoFile(path),
                                 MessageIcon::Exclamation, kCaption);
            return false;
        }
    }
    return true;
}

// The preview's document, started, or the CSV, JSON or HTML text.
void Run::PrepareOutput(const RunRequest& request, const Job& job, Output& output) {
    output.target = request.target;
    if (output.target != ReportTarget::Preview) {
        output.text = OpenTextOutput(request, job.databases);
        if (output.target == ReportTarget::CsvFile) {
            output.writer.emplace(*output.text,
                                  request.quoteCsv ? CsvQuoting::Rfc4180 : CsvQuoting::None);
        }
        return;
    }
    output.paged = request.pagedOutput ? request.pagedOutput() : nullptr;
    if (!output.paged) {
        throw std::runtime_error("the preview window could not be loaded");
    }
    if (job.namesPagedOutput) {
        output.paged->SetDatabasePath(job.databases.front().second);
    }
    document::ReportDocument& document = output.paged->Document();
    document.SetPageBorder(0);
    document.SetPageCaption("|Page %d|");
    document.SetCaptionTextSize(8);
    document.StartDocument();
    output.writer.emplace(document);
}

// Everything the result needs is in it: the databases are let go before the
// preview is shown, which may stay open for long, or the file is put in place.
void Run::CompleteOutput(std::vector<std::unique_ptr<schema::Database>>& databases, Output& output,
                         WritingPlace& place) {
    for (auto& database : databases) {
        schema::CloseQuietly(database);
    }
    if (output.paged) {
        place.Stage("finishing the preview");
        document::ReportDocument& document = output.paged->Document();
        document.EndDocument();
        place.Stage("showing the preview");
        output.paged->Complete(document.PageCount());
    } else {
        place.Stage("saving the file");
        output.writer.reset();
        output.text->Commit();
    }
}

ComparisonOutcome Run::Execute(const RunRequest& request, RunPorts& ports, const Job& job) {
    if (!DatabasesExist(job, ports.messages)) {
        return {RunOutcome::DatabaseMissing, false};
    }
    ports.status.SetStatusText(1,
                               job.databases.size() > 1 ? "Opening databases" : "Opening database");

    WritingPlace place;
    WatchedStatus status(ports.status);
    ForwardedMessages messages(ports.messages);
    std::vector<std::unique_ptr<schema::Database>> databases;
    Output output;
    const auto release = [&] {
        status.Watch(nullptr);
        messages.Watch(nullptr);
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
        PrepareOutput(request, job, output);
        status.Watch(output.paged.get());
        messages.Watch(output.paged.get());

        ShowProgress(status, passCounter_, true);
        WalkContext context{status, messages, ports.selection, passCounter_, place};
        job.write(databases, output, context);
        SetStatus(status, "Finished processing", "");
        CompleteOutput(databases, output, place);
        release();
        return {RunOutcome::Finished, job.differences};
    } catch (const RunCancelled&) {
        // Stopped on request: nothing is written and nothing is reported as
        // an error; an earlier file stays as it was.
        release();
        SetStatus(ports.status, job.name + " cancelled", "");
        return {RunOutcome::Cancelled, false};
    } catch (const document::OutputError& error) {
        release();
        TellOutputFailure(ports, job.name, output.target, error);
        return {RunOutcome::OutputUnwritable, false};
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "an unexpected error occurred";
    }
    // An orderly end: nothing half-written stays behind, the databases are
    // released, and the user learns what failed and where.
    release();
    TellFailure(ports, job.name, place.Describe(), failure);
    return {RunOutcome::Failed, false};
}

RunOutcome Run::Report(const RunRequest& request, RunPorts& ports) {
    Job job;
    job.name = "Report";
    job.databases = {{"", request.databasePath}};
    job.namesPagedOutput = true;
    job.write = [this, &request](std::vector<std::unique_ptr<schema::Database>>& databases,
                                 Output& output, WalkContext& context) {
        const schema::DateTime produced = formatter_.Now();
        const ReportTitle title{TitleLine(), produced, formatter_.FormatDateTime(produced),
                                request.databasePath};
        const ReportBuilder builder(*databases.front(), switches_);
        if (output.target == ReportTarget::JsonFile) {
            JsonRenderer json([&output](std::string_view text) { output.text->Write(text); });
            json.Title(title);
            WalkReport(builder, json, context);
            return;
        }
        if (output.target == ReportTarget::HtmlFile) {
            HtmlRenderer html([&output](std::string_view text) { output.text->Write(text); },
                              formatter_, request.diagramSvg);
            html.Title(title);
            WalkReport(builder, html, context);
            return;
        }
        context.place.Stage("writing the title block");
        FormsRenderer forms(*output.writer, formatter_);
        forms.Title(title);
        WalkReport(builder, forms, context);
    };
    return Execute(request, ports, job).outcome;
}

ComparisonOutcome Run::Compare(const RunRequest& request, const std::string& newPath,
                               const ComparisonOptions& options, bool addedObjectsShown,
                               RunPorts& ports) {
    const std::string& oldPath = request.databasePath;
    Job job;
    job.name = "Comparison";
    job.databases = {{"old", oldPath}, {"new", newPath}};
    job.write = [&](std::vector<std::unique_ptr<schema::Database>>& databases, Output& output,
                    WalkContext& context) {
        context.place.Stage("comparing the designs");
        ObjectFilter filter;
        filter.selected = [&ports](ObjectKind kind, const std::string& name) {
            return ports.selection.IsSelected(kind, name);
        };
        if (addedObjectsShown) {
            filter.selectedAdded = [](ObjectKind kind, const std::string& name) {
                return kind != ObjectKind::Table || !schema::IsAccessOwnTable(name);
            };
        }
        const Comparison comparison = CompareDatabases(
            *databases[0], *databases[1], switches_, filter, options,
            [&](ObjectKind kind, const std::string& name) {
                const std::string word(WordsOf(kind).lower);
                context.place.Stage("comparing " + word + " " + Quoted(name));
                context.status.SetStatusText(2, "Comparing " + word + " : " + name);
                context.status.RepaintStatus();
                AskToGoOn(context.status);
            });
        for (auto& database : databases) {
            schema::CloseQuietly(database);
        }
        job.differences = comparison.HasDifferences();
        const schema::DateTime produced = formatter_.Now();
        if (output.target == ReportTarget::JsonFile) {
            context.place.Stage("writing the JSON text");
            output.text->Write(
                ComparisonJsonText(comparison, {TitleLine(), produced}, oldPath, newPath, options));
            return;
        }
        if (output.target == ReportTarget::HtmlFile) {
            context.place.Stage("writing the HTML page");
            WriteComparisonHtml(
                comparison, {TitleLine(), formatter_.FormatDateTime(produced), oldPath, newPath},
                formatter_,
                ComparisonJsonText(comparison, {TitleLine(), produced}, oldPath, newPath, options),
                [&output](std::string_view text) { output.text->Write(text); });
            return;
        }
        context.place.Stage("writing the comparison");
        output.writer->TitleBlock({TitleLine(),
                                   "Comparison produced : " + formatter_.FormatDateTime(produced),
                                   "Old database : " + oldPath, "New database : " + newPath});
        WriteComparison(comparison, *output.writer, formatter_);
    };
    return Execute(request, ports, job);
}

}  // namespace ostrel::engine
