#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ostrel::jet {

// One row of the MSysQueries system table, as stored. Null columns are empty
// optionals.
struct QueryRow {
    std::uint8_t attribute = 0;
    std::optional<std::string> expression;
    std::optional<std::int16_t> flag;
    std::optional<std::string> name1;
    std::optional<std::string> name2;
    // For a parameter row, the declared size of a Text parameter.
    std::optional<std::int32_t> lvExtra;
    std::int32_t objectId = 0;
    std::vector<std::uint8_t> order;  // binary sort key of the row within its attribute
};

// A declared parameter: its name and its DAO data type code.
struct QueryParameterInfo {
    std::string name;
    std::int16_t type = 0;
};

// What a query's rows tell about it.
struct QueryDesign {
    // The statement as Access's SQL view shows it: lines joined with CR LF,
    // ending in ";" (the stored text for pass-through and data-definition
    // queries, without its terminating NUL).
    std::string sql;
    std::vector<QueryParameterInfo> parameters;
    // Values of the query's own options where its rows hold them.
    std::optional<std::int32_t> maxRecords;
    std::optional<std::int16_t> odbcTimeout;
    bool returnsRecords = true;
};

// Rebuilds a query's design from all of its MSysQueries rows (any order).
// Throws schema::SchemaError when the rows are inconsistent beyond repair.
QueryDesign BuildQueryDesign(const std::vector<QueryRow>& rows);

}  // namespace ostrel::jet
