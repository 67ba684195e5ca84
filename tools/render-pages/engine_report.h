#pragma once

#include <string>

#include "components/document/report_document.h"

namespace ostrel::sample {

// Runs the report engine, every switch on, over an in-memory order-entry
// database and writes the preview report into `doc`, exactly as the desktop
// program would. Returns false with the engine's message when the run fails.
bool WriteEngineReport(document::ReportDocument& doc, std::string& error);

}  // namespace ostrel::sample
