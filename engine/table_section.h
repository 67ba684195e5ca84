#pragma once

#include "components/schema/database.h"
#include "engine/section_context.h"

namespace ostrel::engine {

// Section 2: every ticked table with its own properties, its fields and its
// indexes.
void DocumentTables(const schema::Database& database, SectionContext& context);

}  // namespace ostrel::engine
