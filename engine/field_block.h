#pragma once

#include "components/schema/table_def.h"
#include "engine/report_writer.h"
#include "engine/section_context.h"

namespace ostrel::engine {

// Appends one block per field of the table to fieldText: "Field - " and the
// name in the first cell, the switched-on property rows, then an empty row.
// Returns whether any property row was appended (captions alone do not count).
bool AppendFieldBlocks(const schema::TableDef& table, SectionContext& context,
                       TableText& fieldText);

}  // namespace ostrel::engine
