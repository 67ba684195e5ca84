// ostrel2-report: the batch front end. Writes the report of one database as
// CSV text, as a PDF of the print preview's pages, or both, without a window,
// for scripts and build pipelines.
#include <unistd.h>

#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

#include "cli/all_on_switches.h"
#include "cli/cli_host.h"
#include "cli/command_line.h"
#include "cli/command_line_passwords.h"
#include "cli/report_command.h"
#include "components/jet/jet_engine.h"
#include "components/jet/text_decoding.h"
#include "engine/value_formatter.h"
#ifdef OSTREL_CLI_PDF
#include "cli/diagram_output.h"
#include "cli/pdf_output.h"
#include "components/diagram/diagram_file.h"
#endif
#ifdef OSTREL_CLI_SWITCH_STORE
#include "settings/switch_store.h"
#endif

int main(int argc, char** argv) {
    using namespace ostrel;
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    cli::CommandLine line;
    try {
        line = cli::ParseCommandLine(arguments);
    } catch (const cli::UsageError& error) {
        cli::PrintMessage(std::cerr, error.what());
        std::cerr << "Try 'ostrel2-report --help' for more information.\n";
        return cli::kExitUsage;
    }
    if (line.help) {
        std::cout << cli::UsageText();
        return cli::kExitSuccess;
    }
    if (line.version) {
        std::cout << cli::VersionText();
        return cli::kExitSuccess;
    }

    jet::JetEngine jetEngine(line.linkFolders);
    // Passwords are read, or asked for, only when a file needs one.
    cli::CommandLinePasswords passwords(line, ::isatty(STDIN_FILENO) == 1
                                                  ? cli::TerminalPrompt(cli::AskAtTerminal)
                                                  : cli::TerminalPrompt());
    jetEngine.SetPasswordProvider(passwords.Provider());
    // The user's stored switches, as the desktop program uses them, unless
    // every property is asked for.
    const cli::AllOnSwitches allOn;
    std::unique_ptr<engine::ReportSwitches> stored;
#ifdef OSTREL_CLI_SWITCH_STORE
    if (!line.allSwitches) {
        stored = std::make_unique<settings::SwitchStore>();
    }
#endif
    const engine::ReportSwitches& switches =
        stored ? *stored : static_cast<const engine::ReportSwitches&>(allOn);
    const auto formatter = engine::MakeLocaleFormatter();
    cli::PdfOutputFactory pdfOutput;
#ifdef OSTREL_CLI_PDF
    if (line.pdfPath) {
        cli::EnsureGuiApplication();
        pdfOutput = [](const std::string& path) { return std::make_unique<cli::PdfOutput>(path); };
    }
#endif
    cli::DiagramFileWriter diagramFile;
#ifdef OSTREL_CLI_PDF
    if (line.diagramPath) {
        cli::EnsureGuiApplication();
        diagramFile = [](const diagram::DiagramModel& model, const std::string& path) {
            cli::WriteDiagramFile(model, path);
        };
    }
#endif
    engine::DiagramSvgWriter diagramSvg;
#ifdef OSTREL_CLI_PDF
    if (line.htmlPath) {
        cli::EnsureGuiApplication();
        diagramSvg = [](const diagram::DiagramModel& model, engine::DiagramForm form) {
            if (form == engine::DiagramForm::Pages) {
                return diagram::DiagramSvgPages(model);
            }
            return std::vector<std::string>{diagram::DiagramSvgText(model)};
        };
    }
#endif
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    return cli::RunReportCommand(line,
                                 {jetEngine, switches, *formatter, pdfOutput, diagramFile,
                                  diagramSvg, jet::EncodeCodePageText},
                                 {std::cout, std::cerr, terminal});
}
