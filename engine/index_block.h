#pragma once

#include "components/schema/table_def.h"
#include "engine/report_writer.h"
#include "engine/section_context.h"

namespace ostrel::engine {

// Appends one block per index of the table to indexText: "Index - " and the
// name in the first cell, the switched-on property rows, then an empty row.
// Returns whether any property row was appended (captions alone do not count).
bool AppendIndexBlocks(const schema::TableDef& table, SectionContext& context,
                       TableText& indexText);

}  // namespace ostrel::engine
