#pragma once

#include "components/schema/database.h"
#include "engine/section_context.h"

namespace ostrel::engine {

// Section 3: every relationship of the database, each with its own table.
void DocumentRelationships(const schema::Database& database, SectionContext& context);

}  // namespace ostrel::engine
