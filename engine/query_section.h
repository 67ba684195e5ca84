#pragma once

#include <string>
#include <string_view>

#include "components/schema/database.h"
#include "engine/section_context.h"

namespace ostrel::engine {

// Section 4: every ticked query with its own table and its parameter table.
void DocumentQueries(const schema::Database& database, SectionContext& context);

// The SQL text as one line of the report: carriage returns and line feeds
// become blanks, and characters equal to the row separator are removed.
std::string CleanSql(std::string_view sql, std::string_view rowSeparator);

}  // namespace ostrel::engine
