#pragma once

#include <memory>
#include <string>

#include "components/document/report_document.h"

namespace ostrel::engine {

// Where the report goes: the preview window's document, a CSV file, or a file
// of the structured (JSON) form.
enum class ReportTarget { Preview, CsvFile, JsonFile };

enum class MessageIcon { None, Exclamation, Critical };

// The preview window as the report run sees it. A fresh window is loaded for
// every run; it owns the document the run writes into.
class PreviewWindow {
  public:
    virtual ~PreviewWindow() = default;
    virtual document::ReportDocument& Document() = 0;
    // Makes "Next Page" and "Prev Page" visible (they start hidden).
    virtual void ShowPageButtons() = 0;
    virtual void SetPrevEnabled(bool enabled) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    // Shows the window modally; returns when the user has closed it.
    virtual void ShowModal() = 0;
    // The database the report is about, told before anything is written
    // (for the window's file names and the printed file's title).
    virtual void SetDatabasePath(const std::string& /*path*/) {}
    // A window shown while the report is still being written can be closed
    // by the user first; the run then stops.
    virtual bool CloseRequested() const { return false; }
    // Something the reader of the report should know about it, shown with
    // the report (a linked table documented without its fields).
    virtual void AddWarning(const std::string& /*text*/) {}

  protected:
    PreviewWindow() = default;
    PreviewWindow(const PreviewWindow&) = default;
    PreviewWindow& operator=(const PreviewWindow&) = default;
};

// Everything a report run reads from, or shows in, the program around it: the
// main window in the desktop program, the command line in the batch program.
class RunHost {
  public:
    virtual ~RunHost() = default;
    virtual std::string DatabasePath() const = 0;
    virtual std::string CsvPath() const = 0;
    virtual ReportTarget Target() const = 0;
    // The file of the JSON target.
    virtual std::string JsonPath() const { return {}; }
    // Whether CSV cells holding a comma, quote or line break are quoted.
    virtual bool QuoteCsv() const { return false; }

    // Status bar panels are numbered from 1. Texts set are shown only after
    // RepaintStatus.
    virtual void SetStatusText(int panel, const std::string& text) = 0;
    virtual void RepaintStatus() = 0;

    virtual void ShowMessage(const std::string& text, MessageIcon icon,
                             const std::string& caption) = 0;
    // An output that cannot be written: kind names it ("CSV", "JSON", "PDF"),
    // path is its file and reason the system's, as a sentence. The desktop's
    // message keeps its traditional first line and adds the file and why.
    virtual void ShowOutputUnwritable(const std::string& kind, const std::string& path,
                                      const std::string& reason);

    // Whether the object pickers hold a ticked row with exactly this name.
    virtual bool IsTableSelected(const std::string& name) const = 0;
    virtual bool IsQuerySelected(const std::string& name) const = 0;

    // Told during the run of what the report could not document in full
    // (one line each, such as a linked table whose source cannot be read),
    // so that it can be shown with the report.
    virtual void Warn(const std::string& /*text*/) {}

    // Loads a fresh preview window (not yet shown).
    virtual std::unique_ptr<PreviewWindow> LoadPreviewWindow() = 0;

    // Asked at least once for every object the run goes through: false stops
    // the run, which then writes nothing. A desktop host lets its windows
    // repaint and take keys here.
    virtual bool GoOn() { return true; }

  protected:
    RunHost() = default;
    RunHost(const RunHost&) = default;
    RunHost& operator=(const RunHost&) = default;
};

}  // namespace ostrel::engine
