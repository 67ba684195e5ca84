#pragma once

#include <string>
#include <string_view>

#include "components/schema/database.h"
#include "engine/property_rows.h"
#include "engine/section_context.h"

namespace ostrel::engine {

// Section 4: every ticked query with its own table and its parameter table.
void DocumentQueries(const schema::Database& database, SectionContext& context);

}  // namespace ostrel::engine
