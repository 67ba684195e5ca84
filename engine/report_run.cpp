#include "engine/report_run.h"

#include <exception>
#include <stdexcept>
#include <string>

#include "components/document/output_error.h"
#include "engine/csv_output.h"
#include "engine/database_section.h"
#include "engine/file_exists.h"
#include "engine/json_report.h"
#include "engine/progress.h"
#include "engine/query_section.h"
#include "engine/relationship_section.h"
#include "engine/report_writer.h"
#include "engine/run_steps.h"
#include "engine/section_context.h"
#include "engine/table_section.h"
#include "engine/writing_place.h"

namespace ostrel::engine {

ReportRun::ReportRun(schema::SchemaEngine& engine, const ReportSwitches& switches,
                     const ValueFormatter& formatter)
    : engine_(engine), switches_(switches), formatter_(formatter) {}

RunOutcome ReportRun::RunReport(RunHost& host) {
    if (!FileExists(host.DatabasePath())) {
        host.ShowMessage(DatabaseMissingMessage(host.DatabasePath()), MessageIcon::Exclamation,
                         kRunCaption);
        return RunOutcome::DatabaseMissing;
    }
    host.SetStatusText(1, "Opening database");

    WritingPlace place;
    ReportTarget target = ReportTarget::Preview;
    std::unique_ptr<schema::Database> database;
    std::unique_ptr<PreviewWindow> window;
    std::unique_ptr<CsvFile> csv;
    std::string failure;
    try {
        place.Stage("opening the database");
        database = engine_.OpenDatabase(host.DatabasePath());

        place.Stage("preparing the report");
        target = host.Target();
        document::ReportDocument* document = nullptr;
        if (target == ReportTarget::Preview) {
            window = host.LoadPreviewWindow();
            if (!window) {
                throw std::runtime_error("the preview window could not be loaded");
            }
            window->SetDatabasePath(host.DatabasePath());
            document = &window->Document();
            PrepareDocument(*document);
        } else {
            const bool json = target == ReportTarget::JsonFile;
            // The database is open: like any file in use, it cannot take the report.
            const std::string path = json ? host.JsonPath() : host.CsvPath();
            std::string reason;
            csv = CsvFile::Open(path, host.DatabasePath(), &reason);
            if (!csv) {
                throw document::OutputError(path, reason);
            }
        }
        if (target == ReportTarget::JsonFile) {
            ShowProgress(host, passCounter_, true);
            csv->Write(JsonReportText(*database, {TitleLine(), formatter_.Now()}, host, switches_,
                                      place, passCounter_));
            host.SetStatusText(1, "Finished processing");
            host.SetStatusText(2, "");
            host.RepaintStatus();
            place.Stage("saving the JSON file");
            csv->Commit();
            csv.reset();
            schema::CloseQuietly(database);
            return RunOutcome::Finished;
        }
        ReportWriter writer =
            document != nullptr
                ? ReportWriter(*document)
                : ReportWriter(*csv, host.QuoteCsv() ? CsvQuoting::Rfc4180 : CsvQuoting::None);

        place.Stage("writing the title block");
        writer.TitleBlock(TitleLine(),
                          "Report produced : " + formatter_.FormatDateTime(formatter_.Now()),
                          "On contents of : " + host.DatabasePath());
        ShowProgress(host, passCounter_, true);

        SectionContext context{host, switches_, formatter_, writer, passCounter_, place};
        DocumentDatabase(*database, context);
        DocumentTables(*database, context);
        DocumentRelationships(*database, context);
        DocumentQueries(*database, context);

        host.SetStatusText(1, "Finished processing");
        host.SetStatusText(2, "");
        host.RepaintStatus();

        // Everything the report needs is in it now: the database is let go
        // before the preview is shown, which may stay open for long, or the
        // file is saved. A database that will not close cleanly changes
        // nothing about the report.
        schema::CloseQuietly(database);
        if (document != nullptr) {
            ShowFinishedPreview(*window, place);
            window.reset();
        } else {
            place.Stage("saving the CSV file");
            csv->Commit();
            csv.reset();
        }
        return RunOutcome::Finished;
    } catch (const RunCancelled&) {
        // Stopped on request: nothing is written and nothing is reported as
        // an error; an earlier CSV file stays as it was.
        window.reset();
        csv.reset();
        schema::CloseQuietly(database);
        host.SetStatusText(1, "Report cancelled");
        host.SetStatusText(2, "");
        host.RepaintStatus();
        return RunOutcome::Cancelled;
    } catch (const document::OutputError& error) {
        window.reset();
        csv.reset();
        schema::CloseQuietly(database);
        TellOutputUnwritable(host, "Report", target, error);
        return RunOutcome::OutputUnwritable;
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "an unexpected error occurred";
    }

    // An orderly end: nothing half-written stays behind, the database is
    // released, and the user learns what failed and where.
    window.reset();
    csv.reset();
    schema::CloseQuietly(database);
    TellFailure(host, "Report", place, failure);
    return RunOutcome::Failed;
}

}  // namespace ostrel::engine
