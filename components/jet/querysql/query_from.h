#pragma once

#include <string>

#include "components/jet/querysql/query_rows.h"

namespace ostrel::jet::querysql {

// Joins nested deeper than this are damaged data (Access allows far fewer).
inline constexpr int kMaxJoinDepth = 128;

// Appends the FROM list built from the table and join rows: each table with
// its alias, tables linked by join rows combined into nested INNER, LEFT and
// RIGHT JOINs with their ON conditions, the list separated by ", ". Appends
// nothing when there are no table rows. Throws schema::SchemaError when a
// join names a table the query does not list, or two joins between the same
// tables disagree on the join type.
void AppendFromList(std::string& out, const RowSet& rows);

// Whether the query lists any table.
bool HasFromList(const RowSet& rows);

}  // namespace ostrel::jet::querysql
