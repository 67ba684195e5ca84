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

// Closes the database without letting a failure to close hide the reason the
// run is ending.
void CloseQuietly(std::unique_ptr<schema::Database>& database) noexcept;

}  // namespace ostrel::engine
