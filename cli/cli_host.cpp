#include "cli/cli_host.h"

namespace ostrel::cli {

void PrintMessage(std::ostream& err, const std::string& text) {
    err << "ostrel2-report: " << text << '\n';
    err.flush();
}

void CliHost::SetStatusText(int panel, const std::string& text) {
    if (panel >= 1 && panel <= static_cast<int>(panels_.size())) {
        panels_[static_cast<std::size_t>(panel - 1)] = text;
    }
}

void CliHost::RepaintStatus() {
    if (!showProgress_) {
        return;
    }
    // Back to the start of the line and clear it, then both panels.
    err_ << "\r\x1b[K" << panels_[0];
    if (!panels_[1].empty()) {
        err_ << "  " << panels_[1];
    }
    err_.flush();
    progressShowing_ = true;
}

void CliHost::EndProgress() {
    if (progressShowing_) {
        err_ << '\n';
        err_.flush();
        progressShowing_ = false;
    }
}

void CliHost::ShowMessage(const std::string& text, engine::MessageIcon /*icon*/,
                          const std::string& /*caption*/) {
    EndProgress();
    PrintMessage(err_, text);
}

void CliHost::ShowOutputUnwritable(const std::string& kind, const std::string& path,
                                   const std::string& reason) {
    EndProgress();
    PrintMessage(err_, OutputProblem(kind, path, reason));
}

std::string OutputProblem(const std::string& kind, const std::string& path,
                          const std::string& reason) {
    const std::string where = path == "-" ? "standard output" : "'" + path + "'";
    return "cannot write the " + kind + " output to " + where + ": " + reason;
}

bool CliSelection::IsSelected(engine::ObjectKind kind, const std::string& name) const {
    switch (kind) {
        case engine::ObjectKind::Table:
            return objects_.tables.count(name) != 0;
        case engine::ObjectKind::Query:
            return objects_.queries.count(name) != 0;
        case engine::ObjectKind::Form:
            return objects_.forms.count(name) != 0;
        case engine::ObjectKind::Report:
            return objects_.reports.count(name) != 0;
        case engine::ObjectKind::Macro:
            return objects_.macros.count(name) != 0;
        case engine::ObjectKind::Module:
            return objects_.modules.count(name) != 0;
        case engine::ObjectKind::Relationship:
            break;
    }
    return true;
}

}  // namespace ostrel::cli
