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

}  // namespace ostrel::engine
