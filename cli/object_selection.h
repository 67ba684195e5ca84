#pragma once

#include <set>
#include <string>

#include "cli/command_line.h"
#include "components/schema/database.h"

namespace ostrel::cli {

// The tables and queries a run documents: what the pickers would hold ticked.
struct ObjectSelection {
    std::set<std::string> tables;
    std::set<std::string> queries;
};

// Without named objects: every table but Access's own (schema::IsAccessOwnTable)
// and every query, as the pickers tick them after Browse. With named objects: exactly those; a name
// the database does not hold throws std::runtime_error naming it. Schema errors pass through.
ObjectSelection SelectObjects(const schema::Database& database, const CommandLine& line);

}  // namespace ostrel::cli
