#pragma once

#include <memory>
#include <string>

#include "components/document/report_document.h"
#include "components/schema/database.h"

namespace ostrel::engine {

// Steps the report run and the comparison run share.

inline constexpr const char* kRunCaption = "Ostrel2";

// "Ostrel2 Version 2.0.0": the first line of the title block.
std::string TitleLine();

// Sets up a fresh preview document and starts it.
void PrepareDocument(document::ReportDocument& document);

}  // namespace ostrel::engine
