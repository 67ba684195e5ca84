#pragma once

#include <array>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "cli/object_selection.h"
#include "engine/run_host.h"

namespace ostrel::cli {

// Makes the window a preview run writes into; on the command line it saves the
// finished document instead of showing it.
using PreviewFactory = std::function<std::unique_ptr<engine::PreviewWindow>()>;

// The report run's surroundings on the command line: the paths, the target and
// the ticked objects come from the arguments, messages go to standard error,
// and the status texts (the pass counter and what is being processed) are
// shown on one refreshed line of standard error when it is a terminal.
class CliHost final : public engine::RunHost {
  public:
    struct Output {
        engine::ReportTarget kind = engine::ReportTarget::CsvFile;
        std::string csvPath;   // for the CSV target
        std::string jsonPath;  // for the JSON target
        bool quoteCsv = false;
        PreviewFactory previewWindow;  // for the preview target
    };

    CliHost(std::string databasePath, Output output, ObjectSelection selection, std::ostream& err,
            bool showProgress);

    std::string DatabasePath() const override { return databasePath_; }
    std::string CsvPath() const override { return output_.csvPath; }
    engine::ReportTarget Target() const override { return output_.kind; }
    std::string JsonPath() const override { return output_.jsonPath; }
    bool QuoteCsv() const override { return output_.quoteCsv; }

    void SetStatusText(int panel, const std::string& text) override;
    void RepaintStatus() override;
    void ShowMessage(const std::string& text, engine::MessageIcon icon,
                     const std::string& caption) override;
    void ShowOutputUnwritable(const std::string& kind, const std::string& path,
                              const std::string& reason) override;

    bool IsTableSelected(const std::string& name) const override;
    bool IsQuerySelected(const std::string& name) const override;

    // Throws std::logic_error when the host was made without a preview factory.
    std::unique_ptr<engine::PreviewWindow> LoadPreviewWindow() override;

    // Ends the progress line, if one is showing, so later output starts on a
    // line of its own.
    void EndProgress();

  private:
    std::string databasePath_;
    Output output_;
    ObjectSelection selection_;
    std::ostream& err_;
    bool showProgress_;
    bool progressShowing_ = false;
    std::array<std::string, 2> panels_;
};

// Writes one message of the program to standard error.
void PrintMessage(std::ostream& err, const std::string& text);

// The message for an output that cannot be written ("CSV", "JSON", "PDF",
// "diagram").
std::string OutputProblem(const std::string& kind, const std::string& path,
                          const std::string& reason);

}  // namespace ostrel::cli
