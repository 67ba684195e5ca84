#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "cli/command_line.h"
#include "components/diagram/diagram_model.h"
#include "components/schema/database.h"
#include "engine/code_export.h"
#include "engine/report_switches.h"
#include "engine/run_ports.h"
#include "engine/value_formatter.h"

namespace ostrel::cli {

// The program's exit status.
enum ExitStatus : int {
    kExitSuccess = 0,
    kExitDifferences = 1,  // a comparison found differences
    kExitDatabaseMissing = 2,
    kExitOutputUnwritable = 3,
    kExitFailure = 4,
    // The command line could not be understood (sysexits' EX_USAGE).
    kExitUsage = 64,
};

// Makes the paged output that writes the finished document as a PDF file at
// the path given.
using PdfOutputFactory =
    std::function<std::unique_ptr<engine::PagedOutput>(const std::string& pdfPath)>;

// Writes a relationship diagram to a file, its format chosen by the file's
// extension; throws std::runtime_error with a message for the user.
using DiagramFileWriter =
    std::function<void(const diagram::DiagramModel& model, const std::string& path)>;

// What a run needs from the program around it.
struct ReportServices {
    schema::SchemaEngine& engine;
    const engine::ReportSwitches& switches;
    const engine::ValueFormatter& formatter;
    PdfOutputFactory pdfOutput;          // empty where PDF output is not built in
    DiagramFileWriter diagramFile = {};  // empty where drawing is not built in
    // The diagram in an HTML report; empty where drawing is not built in.
    engine::DiagramSvgWriter diagramSvg = {};
    // Text in a project's code page, for --export-code.
    engine::CodePageEncoder encodeCode = {};
};

struct Console {
    std::ostream& out;  // a CSV or JSON report bound for standard output
    std::ostream& err;  // messages, and progress when showProgress
    bool showProgress = false;
};

// Runs the report, or the comparison, as the command line asks (CSV first,
// then JSON, then HTML, then PDF, then the diagram, for those asked for) and returns the
// exit status. Every failure is told on standard error; nothing half-written
// is left behind.
int RunReportCommand(const CommandLine& line, const ReportServices& services,
                     const Console& console);

}  // namespace ostrel::cli
