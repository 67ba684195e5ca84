#include <gtest/gtest.h>

#include "cli/object_selection.h"
#include "components/memory/memory_database.h"
#include "components/memory/memory_schema.h"

namespace ostrel::cli {
namespace {

std::unique_ptr<schema::Database> SampleDatabase() {
    memory::DatabaseBlueprint blueprint;
    for (const char* name :
         {"Orders", "MSysObjects", "msysACEs", "MSys", "MSy", "Msysfoo", "AMSys"}) {
        memory::TableBlueprint table;
        table.name = name;
        blueprint.tables.push_back(table);
    }
    for (const char* name : {"~sq_cHidden", "Totals"}) {
        memory::QueryBlueprint query;
        query.name = name;
        blueprint.queries.push_back(query);
    }
    return memory::OpenMemoryDatabase(std::move(blueprint));
}

TEST(ObjectSelection, DefaultsToWhatThePickersTick) {
    const auto database = SampleDatabase();
    const ObjectSelection selection = SelectObjects(*database, CommandLine{});
    EXPECT_EQ(selection.tables, (std::set<std::string>{"Orders", "MSy", "AMSys"}));
    EXPECT_EQ(selection.queries, (std::set<std::string>{"~sq_cHidden", "Totals"}));
}

TEST(ObjectSelection, NamedObjectsAreExactlyThoseAndCaseMatters) {
    const auto database = SampleDatabase();
    CommandLine line;
    line.tables = {"MSysObjects"};
    ObjectSelection selection = SelectObjects(*database, line);
    EXPECT_EQ(selection.tables, (std::set<std::string>{"MSysObjects"}));
    EXPECT_TRUE(selection.queries.empty());

    line.tables.clear();
    line.queries = {"Totals"};
    selection = SelectObjects(*database, line);
    EXPECT_TRUE(selection.tables.empty());
    EXPECT_EQ(selection.queries, (std::set<std::string>{"Totals"}));

    line.tables = {"orders"};
    try {
        SelectObjects(*database, line);
        ADD_FAILURE() << "a table name in the wrong case was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "the database holds no table named 'orders'");
    }
    line.tables.clear();
    line.queries = {"Missing"};
    EXPECT_THROW(SelectObjects(*database, line), std::runtime_error);
}

}  // namespace
}  // namespace ostrel::cli
