// Rows from a damaged or hostile file: a clear SchemaError, never a crash or a
// runaway.
#include <gtest/gtest.h>

#include <random>

#include "components/schema/schema_error.h"
#include "query_rows_builder.h"

namespace ostrel::jet {
namespace {

using testing::QueryRowsBuilder;

std::string ErrorOf(const std::vector<QueryRow>& rows) {
    try {
        BuildQueryDesign(rows);
    } catch (const schema::SchemaError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(QuerySqlHostile, InconsistentRowsNameTheProblem) {
    EXPECT_EQ(ErrorOf({}), "the query has no design rows in MSysQueries");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(1).Table("A").Join(1, "A", "Ghost", "A.x = Ghost.x").Rows()),
              "a join names the table 'Ghost', which the query does not list");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(1)
                          .Table("A")
                          .Table("B")
                          .Join(1, "A", "B", "A.x = B.x")
                          .Join(2, "A", "B", "A.y = B.y")
                          .Rows()),
              "the joins between 'A' and 'B' disagree on the join type");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(1).Table("A").Table("B").Join(9, "A", "B", "x").Rows()),
              "the join between 'A' and 'B' has the unknown join type 9");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(1).Table("A").Join(1, "A", "A", "A.x = A.y").Rows()),
              "the joins between 'A' and 'A' disagree on the join type");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(1).Table("A").Where("x").Where("y").Rows()),
              "the query has 2 WHERE rows where only one is allowed");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(42).Rows()), "the query has the unknown query type 42");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(1).Parameter("p", 99).Table("A").Rows()),
              "the query parameter 'p' has the unknown data type 99");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(1).Flags(0x10).Table("A").Column("A.x").Rows()),
              "the query is marked TOP but holds no row count");
    EXPECT_EQ(
        ErrorOf(QueryRowsBuilder(9).Row(5, std::nullopt, std::nullopt, "X7YZ_____1", "S").Rows()),
        "the union query lacks its second part");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(6).Table("A").Column("A.x", std::nullopt, 2).Rows()),
              "the crosstab query does not have exactly one PIVOT column");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(3).Table("A").Rows()),
              "the append query names no target table");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(4).Table("A").Column("1").Rows()),
              "a SET row of the update query names no field");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(1)
                          .Row(5, std::nullopt, std::nullopt, std::nullopt, std::nullopt)
                          .Rows()),
              "a table row of the query names no table");
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(1)
                          .Table("A")
                          .Row(6, 0, std::nullopt, std::nullopt, std::nullopt)
                          .Rows()),
              "a column row of the query has no expression");
    // A subquery in the FROM list without a name or alias cannot be joined.
    EXPECT_EQ(ErrorOf(QueryRowsBuilder(1)
                          .Table("A")
                          .Row(5, std::nullopt, std::nullopt, std::nullopt, "SELECT 1")
                          .Join(1, "A", "B", "A.x = B.x")
                          .Rows()),
              "a join names the table 'B', which the query does not list");
}

TEST(QuerySqlHostile, DeepNestingAndHugeRowCountsAreRefused) {
    QueryRowsBuilder deep(1);
    constexpr int kTables = 300;
    for (int i = 0; i < kTables; ++i) {
        deep.Table("T" + std::to_string(i));
    }
    for (int i = 1; i < kTables; ++i) {
        deep.Join(1, "T0", "T" + std::to_string(i), "c");
    }
    EXPECT_EQ(ErrorOf(deep.Rows()), "the query's joins are nested more than 128 deep");

    std::vector<QueryRow> many(70000);
    EXPECT_EQ(ErrorOf(many),
              "the query has 70000 design rows in MSysQueries, more than a query can have");
}

TEST(QuerySqlHostile, RandomRowsNeverCrash) {
    std::mt19937 random(20261206);
    const std::vector<std::optional<std::string>> texts = {
        std::nullopt, "", "A", "B", "a", "X7YZ_____1", "X7YZ_____2", "D", "[x]", "Ä.b", "10"};
    const std::vector<std::uint8_t> attributes = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 255};
    int built = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<QueryRow> rows(1 + random() % 12);
        for (auto& row : rows) {
            row.attribute = attributes[random() % attributes.size()];
            if (random() % 4 != 0) {
                row.flag = static_cast<std::int16_t>(static_cast<int>(random() % 12) - 1);
            }
            row.name1 = texts[random() % texts.size()];
            row.name2 = texts[random() % texts.size()];
            row.expression = texts[random() % texts.size()];
            row.order = {static_cast<std::uint8_t>(random() % 3)};
        }
        try {
            const QueryDesign design = BuildQueryDesign(rows);
            ++built;
            // Text never grows beyond the input plus the keywords around it.
            EXPECT_LT(design.sql.size(), 400U);
        } catch (const schema::SchemaError&) {
        }
    }
    EXPECT_GT(built, 100);
}

}  // namespace
}  // namespace ostrel::jet
