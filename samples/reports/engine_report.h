#pragma once

#include <functional>
#include <memory>
#include <string>

#include "components/document/report_document.h"
#include "engine/run_ports.h"

namespace ostrel::sample {

// Runs the report engine, every switch on, over an in-memory order-entry
// database and writes the preview report into `doc`, exactly as the desktop
// program would. Returns false with the engine's message when the run fails.
bool WriteEngineReport(document::ReportDocument& doc, std::string& error);

// The same run, shown in the preview window that `loadWindow` gives (the
// desktop program's window, for example). `empty` runs it over a database
// with no objects instead, whose report fits on one page.
bool RunEngineReport(const std::function<std::unique_ptr<engine::PagedOutput>()>& loadWindow,
                     bool empty, std::string& error);

}  // namespace ostrel::sample
