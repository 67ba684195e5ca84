#pragma once

#include "components/schema/database.h"
#include "engine/section_context.h"

namespace ostrel::engine {

// Section 1: the database's own properties as one two-column table.
void DocumentDatabase(const schema::Database& database, SectionContext& context);

}  // namespace ostrel::engine
