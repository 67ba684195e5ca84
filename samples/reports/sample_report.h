#pragma once

#include <string>

#include "components/document/report_document.h"

namespace ostrel::sample {

// Writes reports into a document through the same calls, in the same forms,
// that the report run makes: title block, numbered section headings, object
// headings, property tables ("2000|8000;" and "2000|2400|5600;" formats) and
// section ends.

// A small, realistic report of an order-entry database: a few tables with
// field and index blocks, relationships and queries with long SQL, names in
// several scripts, a cell with escaped separators and line breaks, and a word
// too long for its column.
void WriteOrdersReport(document::ReportDocument& doc);

// A large synthetic report: `tables` tables of `fields` fields each. Every
// field block carries `fieldRows` property rows (0 to 15; Type, Size,
// Required, OrdinalPosition, DefaultValue and so on) and the empty row that
// ends a block.
void WriteLargeReport(document::ReportDocument& doc, int tables, int fields, int fieldRows);

}  // namespace ostrel::sample
