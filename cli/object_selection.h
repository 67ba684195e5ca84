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
    std::set<std::string> forms;
    std::set<std::string> reports;
    std::set<std::string> macros;
    std::set<std::string> modules;
};

// Without named objects: every table but Access's own (schema::IsAccessOwnTable)
// and every query, as the pickers tick them after Browse. With named objects: exactly those; a name
// the database does not hold throws std::runtime_error naming it. Schema errors pass through.
ObjectSelection SelectObjects(const schema::Database& database, const CommandLine& line);

// For a comparison: the names, as each file spells them, of the objects of
// both files that take part. Without named objects: all but the "MSys" tables
// of either file, and every query. With named objects: those whose names match
// a named one, letter case ignored; a name neither file holds throws
// std::runtime_error naming it.
ObjectSelection SelectForComparison(const schema::Database& oldDatabase,
                                    const schema::Database& newDatabase, const CommandLine& line);

}  // namespace ostrel::cli
