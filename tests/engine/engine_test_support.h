#pragma once

// Doubles for the report run's surroundings: a host that records what the run
// shows, switches answered from a map, and a formatter with a fixed clock.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "components/memory/memory_database.h"
#include "engine/report_forms.h"
#include "engine/report_switches.h"
#include "engine/report_walk.h"
#include "engine/report_writer.h"
#include "engine/run_ports.h"
#include "engine/switch_table.h"
#include "engine/value_formatter.h"
#include "tests/support/recording_document.h"

namespace ostrel::engine::testing {

// Switches held in a map by exact key; absent keys are on. A key stored with a
// text that does not read as on or off throws SwitchError, as the store does.
class MapSwitches : public ReportSwitches {
  public:
    bool GetReportSwitch(std::string_view key) const override;
    void Set(const std::string& key, bool on) { values_[key] = on ? "True" : "False"; }
    void SetText(const std::string& key, const std::string& text) { values_[key] = text; }
    void AllOff();
    mutable std::vector<std::string> reads;

  private:
    std::map<std::string, std::string, std::less<>> values_;
};

// Dates as "Y-M-D h:m:s"; the clock stands at 2026-12-06 18:15:30.
class FixedFormatter : public ValueFormatter {
  public:
    std::string FormatDateTime(const schema::DateTime& value) const override;
    schema::DateTime Now() const override { return {2026, 12, 6, 18, 15, 30}; }
};

struct RecordedMessage {
    std::string text;
    MessageIcon icon;
    std::string caption;
};

class RecordingPreviewWindow;

// The program around a run: what it asks for (Request), what it shows and
// tells (recorded), and which objects are ticked.
class FakeHost : public RunStatus, public RunMessages, public Selection {
  public:
    RunRequest Request();
    RunPorts Ports() { return {*this, *this, *this}; }
    void SetStatusText(int panel, const std::string& text) override;
    void RepaintStatus() override;
    void ShowMessage(const std::string& text, MessageIcon icon,
                     const std::string& caption) override;
    bool IsSelected(ObjectKind kind, const std::string& name) const override;
    std::unique_ptr<PagedOutput> LoadPreviewWindow();
    // Says yes goOnAnswers times (always when negative), then no.
    bool GoOn() override;

    std::string databasePath;
    int goOnAnswers = -1;
    int goOnAsked = 0;
    std::string csvPath;
    ReportTarget target = ReportTarget::CsvFile;
    // Empty sets tick every table or query.
    std::set<std::string> tables;
    std::set<std::string> queries;
    bool allTables = true;
    bool allQueries = true;
    int pageCount = 1;

    std::string panel1;
    std::string panel2;
    // Panel texts as they were when painted: "1:Pass 0", "2:Processing ...".
    std::vector<std::string> painted;
    std::vector<RecordedMessage> messages;

    // What the last preview window received.
    std::vector<std::string> documentCalls;
    std::vector<std::string> windowCalls;
    bool previewShown = false;
};

// Writes one section into a string, CSV or preview.
class SectionHarness {
  public:
    explicit SectionHarness(ReportTarget target);
    // Writes one part of the report of the database, as the run walks it.
    void Write(ReportPart part, const schema::Database& database);
    ReportWriter& Writer() { return *writer_; }
    // CSV bytes written so far (lines with CR LF).
    const std::string& Csv() const { return sink_.bytes; }
    const document::RecordingDocument& Document() const { return document_; }

    FakeHost host;
    MapSwitches switches;
    FixedFormatter formatter;

  private:
    struct StringSink : LineSink {
        void WriteLine(std::string_view text) override {
            bytes.append(text);
            bytes.append("\r\n");
        }
        std::string bytes;
    };
    StringSink sink_;
    document::RecordingDocument document_;
    std::unique_ptr<ReportWriter> writer_;
    std::unique_ptr<FormsRenderer> forms_;
    int pass_ = 0;
    WritingPlace place_;
};

// An engine that counts how often the databases it opens are closed.
class ClosingSpyEngine : public schema::SchemaEngine {
  public:
    explicit ClosingSpyEngine(schema::SchemaEngine& inner) : inner_(inner) {}
    std::unique_ptr<schema::Database> OpenDatabase(const std::string& path) override;
    int opened = 0;
    int closed = 0;

  private:
    schema::SchemaEngine& inner_;
};

// Reads a file whole, bytes unchanged.
std::string ReadFile(const std::string& path);
// A golden file of tests/engine/golden.
std::string Golden(const std::string& name);
// Compares bytes with a golden file. With OSTREL_WRITE_GOLDEN=1 in the
// environment the file is rewritten instead (review the diff before keeping it).
void ExpectGolden(const std::string& name, const std::string& actual);

}  // namespace ostrel::engine::testing
