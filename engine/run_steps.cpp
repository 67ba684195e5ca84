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

void TellFailure(RunHost& host, const std::string& runName, const WritingPlace& place,
                 const std::string& failure) {
    host.SetStatusText(1, runName + " not completed");
    host.SetStatusText(2, "");
    host.RepaintStatus();
    std::string lowerName = runName;
    if (!lowerName.empty() && lowerName.front() >= 'A' && lowerName.front() <= 'Z') {
        lowerName.front() = static_cast<char>(lowerName.front() - 'A' + 'a');
    }
    host.ShowMessage("The " + lowerName + " could not be completed.\n\nWhile " + place.Describe() +
                         ": " + failure,
                     MessageIcon::Critical, kRunCaption);
}

}  // namespace ostrel::engine
