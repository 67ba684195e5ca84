#pragma once

#include <memory>
#include <string>

#include "components/document/output_error.h"
#include "components/document/report_document.h"
#include "components/schema/database.h"
#include "engine/run_host.h"
#include "engine/writing_place.h"

namespace ostrel::engine {

// Steps the report run and the comparison run share.

inline constexpr const char* kRunCaption = "Ostrel2";

// "Ostrel2 Version 2.0.0": the first line of the title block.
std::string TitleLine();

// Sets up a fresh preview document and starts it.
void PrepareDocument(document::ReportDocument& document);

// Ends the preview's document, shows the page buttons and the page count in
// the caption when there is more than one page, and shows the window until
// the user closes it.
void ShowFinishedPreview(PreviewWindow& window, WritingPlace& place);

// The end of a run that failed, once its files and databases are released:
// the status bar says that the run (named by runName, "Report" or
// "Comparison") was not completed, and the user learns what failed and where.
void TellFailure(RunHost& host, const std::string& runName, const WritingPlace& place,
                 const std::string& failure);

// The end of a run whose output could not be written.
void TellOutputUnwritable(RunHost& host, const std::string& runName, ReportTarget target,
                          const document::OutputError& error);

}  // namespace ostrel::engine
