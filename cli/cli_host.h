#pragma once

#include <array>
#include <ostream>
#include <string>

#include "cli/object_selection.h"
#include "engine/run_ports.h"

namespace ostrel::cli {

// The run's surroundings on the command line: messages go to standard error,
// and the status texts (the pass counter and what is being processed) are
// shown on one refreshed line of standard error when it is a terminal.
class CliHost final : public engine::RunStatus, public engine::RunMessages {
  public:
    CliHost(std::ostream& err, bool showProgress) : err_(err), showProgress_(showProgress) {}

    void SetStatusText(int panel, const std::string& text) override;
    void RepaintStatus() override;
    void ShowMessage(const std::string& text, engine::MessageIcon icon,
                     const std::string& caption) override;
    void ShowOutputUnwritable(const std::string& kind, const std::string& path,
                              const std::string& reason) override;

    // Ends the progress line, if one is showing, so later output starts on a
    // line of its own.
    void EndProgress();

  private:
    std::ostream& err_;
    bool showProgress_;
    bool progressShowing_ = false;
    std::array<std::string, 2> panels_;
};

// The objects the command line selects, as the run asks for them.
class CliSelection final : public engine::Selection {
  public:
    explicit CliSelection(const ObjectSelection& objects) : objects_(objects) {}
    bool IsSelected(engine::ObjectKind kind, const std::string& name) const override;

  private:
    const ObjectSelection& objects_;
};

// Writes one message of the program to standard error.
void PrintMessage(std::ostream& err, const std::string& text);

// The message for an output that cannot be written ("CSV", "JSON", "PDF",
// "diagram").
std::string OutputProblem(const std::string& kind, const std::string& path,
                          const std::string& reason);

}  // namespace ostrel::cli
