#pragma once

#include <array>
#include <ostream>
#include <string>

#include "cli/object_selection.h"
#include "engine/run_host.h"

namespace ostrel::cli {

// The report run's surroundings on the command line: the paths and the ticked
// objects come from the arguments, messages go to standard error, and the
// status texts (the pass counter and what is being processed) are shown on
// one refreshed line of standard error when it is a terminal.
class CliHost final : public engine::RunHost {
  public:
    CliHost(std::string databasePath, std::string csvPath, ObjectSelection selection,
            std::ostream& err, bool showProgress);

    std::string DatabasePath() const override { return databasePath_; }
    std::string CsvPath() const override { return csvPath_; }
    engine::ReportTarget Target() const override { return engine::ReportTarget::CsvFile; }

    void SetStatusText(int panel, const std::string& text) override;
    void RepaintStatus() override;
    void ShowMessage(const std::string& text, engine::MessageIcon icon,
                     const std::string& caption) override;

    bool IsTableSelected(const std::string& name) const override;
    bool IsQuerySelected(const std::string& name) const override;

    // The batch program writes CSV only.
    std::unique_ptr<engine::PreviewWindow> LoadPreviewWindow() override;

    // Ends the progress line, if one is showing, so later output starts on a
    // line of its own.
    void EndProgress();

  private:
    std::string databasePath_;
    std::string csvPath_;
    ObjectSelection selection_;
    std::ostream& err_;
    bool showProgress_;
    bool progressShowing_ = false;
    std::array<std::string, 2> panels_;
};

// Writes one message of the program to standard error.
void PrintMessage(std::ostream& err, const std::string& text);

}  // namespace ostrel::cli
