#include <gtest/gtest.h>

#include "cli/object_selection.h"
#include "components/memory/memory_database.h"
#include "components/memory/memory_schema.h"

namespace ostrel::cli {
namespace {

std::unique_ptr<schema::Database> SampleDatabase() {
    memory::DatabaseBlueprint blueprint;
    for (const char* name :
         {"Orders", "MSysObjects", "msysACEs", "MSys", "MSy", "Msysfoo", "AMSys",
          // the hidden value tables of multi-valued fields, and near misses
          "f_0BFE159C44334BFB968A820EA89C2D7E_Tags", "f_0bfe159c44334bfb968a820ea89c2d7e_x",
          "f_0BFE159C44334BFB968A820EA89C2D7_Tags", "f_0BFE159C44334BFB968A820EA89C2D7G_Tags",
          "F_0BFE159C44334BFB968A820EA89C2D7E_Tags"}) {
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
    EXPECT_EQ(selection.tables, (std::set<std::string>{"Orders", "MSy", "AMSys",
                                                       "f_0BFE159C44334BFB968A820EA89C2D7_Tags",
                                                       "f_0BFE159C44334BFB968A820EA89C2D7G_Tags",
                                                       "F_0BFE159C44334BFB968A820EA89C2D7E_Tags"}));
    EXPECT_EQ(selection.queries, (std::set<std::string>{"~sq_cHidden", "Totals"}));
}

TEST(ObjectSelection, AnInternalTableNamedIsDocumented) {
    const auto database = SampleDatabase();
    CommandLine line;
    line.tables = {"f_0BFE159C44334BFB968A820EA89C2D7E_Tags"};
    EXPECT_EQ(SelectObjects(*database, line).tables,
              (std::set<std::string>{"f_0BFE159C44334BFB968A820EA89C2D7E_Tags"}));
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

std::unique_ptr<schema::Database> DatabaseWith(std::vector<std::string> tables,
                                               std::vector<std::string> queries) {
    memory::DatabaseBlueprint blueprint;
    for (std::string& name : tables) {
        memory::TableBlueprint table;
        table.name = std::move(name);
        blueprint.tables.push_back(table);
    }
    for (std::string& name : queries) {
        memory::QueryBlueprint query;
        query.name = std::move(name);
        blueprint.queries.push_back(query);
    }
    return memory::OpenMemoryDatabase(std::move(blueprint));
}

// Named objects are looked for in both files, letter case ignored, so that
// an object one file lacks is reported as added or removed.
TEST(ObjectSelection, ComparisonTakesNamesFromBothFiles) {
    const auto oldDatabase = DatabaseWith({"Orders", "Gone", "MSysObjects"}, {"Q"});
    const auto newDatabase = DatabaseWith({"ORDERS", "Fresh", "MSysObjects"}, {"Q", "R"});
    ObjectSelection selection = SelectForComparison(*oldDatabase, *newDatabase, CommandLine{});
    EXPECT_EQ(selection.tables, (std::set<std::string>{"Orders", "ORDERS", "Gone", "Fresh"}));
    EXPECT_EQ(selection.queries, (std::set<std::string>{"Q", "R"}));

    CommandLine line;
    line.tables = {"orders", "fresh", "GONE"};
    line.queries = {"r"};
    selection = SelectForComparison(*oldDatabase, *newDatabase, line);
    EXPECT_EQ(selection.tables, (std::set<std::string>{"Orders", "ORDERS", "Gone", "Fresh"}));
    EXPECT_EQ(selection.queries, (std::set<std::string>{"R"}));

    line.tables = {"Nowhere"};
    try {
        SelectForComparison(*oldDatabase, *newDatabase, line);
        ADD_FAILURE() << "a table neither file holds was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "neither database holds a table named 'Nowhere'");
    }
}

}  // namespace
}  // namespace ostrel::cli
