#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "components/diagram/diagram_model.h"
#include "components/document/report_document.h"
#include "engine/report_model.h"

namespace ostrel::engine {

// Where a report goes: the paged document (the preview window, or a PDF
// file in the batch program), a CSV file, a file of the structured (JSON)
// form, or one HTML page.
enum class ReportTarget { Preview, CsvFile, JsonFile, HtmlFile };

enum class MessageIcon { None, Exclamation, Critical };

// What a run shows while it goes, and whether the user lets it go on.
class RunStatus {
  public:
    virtual ~RunStatus() = default;
    // Status bar panels are numbered from 1. Texts set are shown only after
    // RepaintStatus.
    virtual void SetStatusText(int panel, const std::string& text) = 0;
    virtual void RepaintStatus() = 0;
    // Asked at least once for every object the run goes through: false stops
    // the run, which then writes nothing. A desktop lets its windows repaint
    // and take keys here.
    virtual bool GoOn() { return true; }

  protected:
    RunStatus() = default;
    RunStatus(const RunStatus&) = default;
    RunStatus& operator=(const RunStatus&) = default;
};

// How a run tells the user what failed, and what its report could not hold.
class RunMessages {
  public:
    virtual ~RunMessages() = default;
    virtual void ShowMessage(const std::string& text, MessageIcon icon,
                             const std::string& caption) = 0;
    // An output that cannot be written: kind names it ("CSV", "JSON", "PDF"),
    // path is its file and reason the system's, as a sentence. By default the
    // message keeps the traditional first line and adds the file and why.
    virtual void ShowOutputUnwritable(const std::string& kind, const std::string& path,
                                      const std::string& reason);
    // Something the report could not document in full (a linked table whose
    // source cannot be read), one line each, told as the run goes.
    virtual void Warn(const std::string& /*text*/) {}

  protected:
    RunMessages() = default;
    RunMessages(const RunMessages&) = default;
    RunMessages& operator=(const RunMessages&) = default;
};

// Which objects a run documents: one question for every kind of object.
class Selection {
  public:
    virtual ~Selection() = default;
    virtual bool IsSelected(ObjectKind kind, const std::string& name) const = 0;

  protected:
    Selection() = default;
    Selection(const Selection&) = default;
    Selection& operator=(const Selection&) = default;
};

// Where a paged report goes: the preview window, or a PDF file. A fresh one
// is made for every run.
class PagedOutput {
  public:
    virtual ~PagedOutput() = default;
    virtual document::ReportDocument& Document() = 0;
    // The database the report is about, told before anything is written
    // (for file names and a PDF's title).
    virtual void SetDatabasePath(const std::string& /*path*/) {}
    // A line of RunMessages::Warn, to be shown with the report.
    virtual void AddWarning(const std::string& /*text*/) {}
    // A preview shown while the report is still written can be closed by the
    // user first; the run then stops.
    virtual bool CloseRequested() const { return false; }
    // The document is complete, with this many pages: the preview window is
    // shown until the user closes it, a PDF file is written (throwing
    // document::OutputError when it cannot be).
    virtual void Complete(int pages) = 0;

  protected:
    PagedOutput() = default;
    PagedOutput(const PagedOutput&) = default;
    PagedOutput& operator=(const PagedOutput&) = default;
};

// The relationship diagram as one picture of every group, or as the pages of
// a PDF of it (a large page shows them one by one as they come into view).
enum class DiagramForm { Whole, Pages };

// Draws the relationship diagram as SVG documents (laying it out needs what
// the engine does not have): one for Whole, one a page for Pages; throws
// std::runtime_error when it cannot.
using DiagramSvgWriter =
    std::function<std::vector<std::string>(const diagram::DiagramModel& model, DiagramForm form)>;

// What the user asked a run for.
struct RunRequest {
    std::string databasePath;
    ReportTarget target = ReportTarget::Preview;
    // The CSV or JSON file; "-" writes to standardOutput as the report is made.
    std::string outputPath;
    // CSV cells holding a comma, quote or line break are quoted (RFC 4180).
    bool quoteCsv = false;
    std::ostream* standardOutput = nullptr;
    // Makes the paged output of the Preview target.
    std::function<std::unique_ptr<PagedOutput>()> pagedOutput;
    // The diagram in an HTML page; without it the page has none.
    DiagramSvgWriter diagramSvg;
};

// The program around a run: what it shows, tells and asks.
struct RunPorts {
    RunStatus& status;
    RunMessages& messages;
    const Selection& selection;
};

}  // namespace ostrel::engine
