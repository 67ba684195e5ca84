#pragma once

#include <vector>

#include <nlohmann/json.hpp>

#include "components/jet/querysql/query_sql.h"

namespace ostrel::testsupport {

// A query's recorded MSysQueries rows ("msysQueriesRows" of an expected
// query) as the rebuilder takes them. Binary columns are recorded as "0x..."
// hexadecimal text. Throws std::runtime_error on malformed records.
std::vector<jet::QueryRow> QueryRowsFromJson(const nlohmann::json& rows);

}  // namespace ostrel::testsupport
