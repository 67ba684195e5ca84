// FROM lists with joins: nesting, several conditions between the same two
// tables, and tables left out of every join.
#include <gtest/gtest.h>

#include "query_rows_builder.h"

namespace ostrel::jet {
namespace {

using testing::QueryRowsBuilder;

std::string FromLine(const QueryDesign& design) {
    const auto start = design.sql.find("\r\nFROM ");
    if (start == std::string::npos) {
        return {};
    }
    const auto end = design.sql.find_first_of("\r;", start + 2);
    return design.sql.substr(start + 7, end - start - 7);
}

TEST(QuerySqlJoins, SingleJoinOfEachType) {
    for (const auto& [type, word] : {std::pair{1, "INNER"}, {2, "LEFT"}, {3, "RIGHT"}}) {
        const auto design = QueryRowsBuilder(1)
                                .Table("A")
                                .Table("B")
                                .Column("A.x")
                                .Join(static_cast<std::int16_t>(type), "A", "B", "A.id = B.id")
                                .Build();
        EXPECT_EQ(FromLine(design), std::string("A ") + word + " JOIN B ON A.id = B.id");
    }
}

TEST(QuerySqlJoins, LaterJoinsWrapEarlierOnesInParentheses) {
    const auto design = QueryRowsBuilder(1)
                            .Table("A")
                            .Table("B")
                            .Table("C")
                            .Column("A.x")
                            .Join(2, "A", "C", "A.id = C.id")
                            .Join(1, "C", "B", "C.id = B.id")
                            .Build();
    EXPECT_EQ(FromLine(design), "(A LEFT JOIN C ON A.id = C.id) INNER JOIN B ON C.id = B.id");
}

TEST(QuerySqlJoins, ConditionsBetweenTheSameTablesCombineNewestFirst) {
    const auto design = QueryRowsBuilder(1)
                            .Table("A")
                            .Table("B")
                            .Column("A.x")
                            .Join(1, "A", "B", "A.k1 = B.k1")
                            .Join(1, "A", "B", "A.k2 = B.k2")
                            .Join(1, "B", "A", "A.k3 = B.k3")
                            .Build();
    EXPECT_EQ(FromLine(design),
              "A INNER JOIN B ON (A.k3 = B.k3) AND (A.k2 = B.k2) AND (A.k1 = B.k1)");
}

TEST(QuerySqlJoins, TwoJoinedPairsJoinedTogether) {
    // Two separate joins, then a join linking them, then an outer table.
    const auto design = QueryRowsBuilder(1)
                            .Table("Countries")
                            .Table("Orders")
                            .Table("Customers")
                            .Table("Products")
                            .Table("Order Lines")
                            .Column("Orders.ID")
                            .Join(1, "Orders", "Customers", "Orders.Cust = Customers.ID")
                            .Join(1, "Products", "Order Lines", "Products.ID = [Order Lines].Prod")
                            .Join(1, "Orders", "Order Lines", "Orders.ID = [Order Lines].OrderID")
                            .Join(1, "Countries", "Customers", "Countries.ID = Customers.Country")
                            .Build();
    EXPECT_EQ(FromLine(design),
              "Countries INNER JOIN ((Orders INNER JOIN Customers ON Orders.Cust = Customers.ID) "
              "INNER JOIN (Products INNER JOIN [Order Lines] ON Products.ID = [Order Lines].Prod) "
              "ON Orders.ID = [Order Lines].OrderID) ON Countries.ID = Customers.Country");
}

TEST(QuerySqlJoins, UnjoinedTablesComeFirstAndJoinsByAliasAndAnyCase) {
    const auto design = QueryRowsBuilder(1)
                            .Table("Settings")
                            .Table("Staff", "Boss")
                            .Table("Staff")
                            .Table("Äpfel")
                            .Column("Staff.Name")
                            .Join(2, "staff", "BOSS", "Staff.BossID = Boss.ID")
                            .Join(1, "äPFEL", "Staff", "Äpfel.ID = Staff.Fruit")
                            .Build();
    EXPECT_EQ(FromLine(design),
              "Settings, [Äpfel] INNER JOIN (Staff LEFT JOIN Staff AS Boss ON Staff.BossID = "
              "Boss.ID) ON Äpfel.ID = Staff.Fruit");
}

TEST(QuerySqlJoins, LongChainNestsOneLevelPerJoin) {
    QueryRowsBuilder builder(1);
    constexpr int kTables = 20;
    for (int i = 0; i < kTables; ++i) {
        builder.Table("T" + std::to_string(i));
    }
    builder.Column("T0.x");
    for (int i = 1; i < kTables; ++i) {
        builder.Join(1, "T" + std::to_string(i - 1), "T" + std::to_string(i),
                     "T" + std::to_string(i - 1) + ".id = T" + std::to_string(i) + ".id");
    }
    const std::string from = FromLine(builder.Build());
    EXPECT_EQ(from.rfind("(((", 0), 0U);
    EXPECT_EQ(std::count(from.begin(), from.end(), '('), kTables - 2);
    EXPECT_EQ(std::count(from.begin(), from.end(), ')'), kTables - 2);
    EXPECT_NE(from.find("ON T18.id = T19.id"), std::string::npos);
}

}  // namespace
}  // namespace ostrel::jet
