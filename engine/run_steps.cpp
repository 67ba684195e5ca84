#include "engine/run_steps.h"

#include "components/document/output_error.h"
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

void ShowFinishedPreview(PreviewWindow& window, WritingPlace& place) {
    place.Stage("finishing the preview");
    document::ReportDocument& document = window.Document();
    document.EndDocument();
    const int pages = document.PageCount();
    if (pages > 1) {
        window.ShowPageButtons();
        window.SetPrevEnabled(false);
        window.SetCaption("Report Preview - Page 1 of " + std::to_string(pages));
    }
    place.Stage("showing the preview");
    window.ShowModal();
}

void RunHost::ShowOutputUnwritable(const std::string& kind, const std::string& path,
                                   const std::string& reason) {
    ShowMessage("Unable to open " + kind +
                    " file - please check that it is not locked elsewhere\n\n" +
                    (path.empty() ? std::string() : path + "\n") + reason,
                MessageIcon::Critical, kRunCaption);
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

namespace ostrel::engine {

void TellOutputUnwritable(RunHost& host, const std::string& runName, ReportTarget target,
                          const document::OutputError& error) {
    const char* kind = target == ReportTarget::CsvFile    ? "CSV"
                       : target == ReportTarget::JsonFile ? "JSON"
                                                          : "PDF";
    if (error.When() == document::OutputError::Stage::Writing) {
        WritingPlace place;
        place.Stage(std::string("writing the ") + kind + " file '" + error.Path() + "'");
        TellFailure(host, runName, place, error.Reason());
        return;
    }
    host.SetStatusText(1, runName + " not completed");
    host.SetStatusText(2, "");
    host.RepaintStatus();
    host.ShowOutputUnwritable(kind, error.Path(), error.Reason());
}

}  // namespace ostrel::engine
