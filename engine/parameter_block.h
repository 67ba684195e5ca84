#pragma once

#include "components/schema/query_def.h"
#include "engine/report_writer.h"
#include "engine/section_context.h"

namespace ostrel::engine {

// Appends one block per parameter of the query: "Parameter - " and the name,
// then the switched-on "Direction" and "Type" rows, with no empty row between
// blocks. Returns whether any row was appended (names alone do not count).
bool AppendParameterBlocks(const schema::QueryDef& query, SectionContext& context,
                           TableText& parameterText);

}  // namespace ostrel::engine
