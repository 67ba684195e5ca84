#include "engine/run_steps.h"

#include "ostrel_version.h"

namespace ostrel::engine {

std::string TitleLine() {
    return "Ostrel2 Version " + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

void PrepareDocument(document::ReportDocument& document) {
    document.SetPageBorder(0);
    document.SetPageCaption("|Page %d|");
    document.SetCaptionTextSize(8);
    document.SetPreviewMode(true);
    document.StartDocument();
}

void CloseQuietly(std::unique_ptr<schema::Database>& database) noexcept {
    if (database) {
        try {
            database->Close();
        } catch (...) {  // NOLINT(bugprone-empty-catch): nothing more can be done
        }
        database.reset();
    }
}

}  // namespace ostrel::engine
