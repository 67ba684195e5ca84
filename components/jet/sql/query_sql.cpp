#include "components/jet/sql/query_sql.h"

#include "components/schema/schema_error.h"

namespace ostrel::jet {

// Placeholder until the query rebuilder lands: refuses every query.
QueryDesign BuildQueryDesign(const std::vector<QueryRow>& /*rows*/) {
    throw schema::SchemaError("query SQL rebuilding is not available in this build");
}

}  // namespace ostrel::jet
