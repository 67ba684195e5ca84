// Each kind of saved query, rebuilt from rows shaped like the ones Access
// writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "query_rows_builder.h"

namespace ostrel::jet {
namespace {

using testing::QueryRowsBuilder;

TEST(QuerySqlKinds, SelectWithEveryClause) {
    const QueryDesign design = QueryRowsBuilder(1)
                                   .Table("Orders")
                                   .Column("Orders.Region")
                                   .Column("Sum(Orders.Amount)", "Total")
                                   .Where("((Orders.Amount)>0)")
                                   .GroupBy("Orders.Region")
                                   .Having("((Sum(Orders.Amount))>100)")
                                   .OrderBy("Orders.Region", true)
                                   .OrderBy("Sum(Orders.Amount)")
                                   .Build();
    EXPECT_EQ(design.sql,
              "SELECT Orders.Region, Sum(Orders.Amount) AS Total\r\n"
              "FROM Orders\r\n"
              "WHERE ((Orders.Amount)>0)\r\n"
              "GROUP BY Orders.Region\r\n"
              "HAVING ((Sum(Orders.Amount))>100)\r\n"
              "ORDER BY Orders.Region DESC, Sum(Orders.Amount);");
    EXPECT_TRUE(design.returnsRecords);
    EXPECT_TRUE(design.parameters.empty());
    EXPECT_FALSE(design.maxRecords.has_value());
    EXPECT_FALSE(design.odbcTimeout.has_value());
}

TEST(QuerySqlKinds, SelectPredicates) {
    EXPECT_EQ(QueryRowsBuilder(1).Flags(0x02).Table("T").Column("T.a").Build().sql,
              "SELECT DISTINCT T.a\r\nFROM T;");
    EXPECT_EQ(QueryRowsBuilder(1).Flags(0x08 | 0x01).Table("T").Build().sql,
              "SELECT DISTINCTROW *\r\nFROM T;");
    EXPECT_EQ(QueryRowsBuilder(1).Flags(0x10, "25").Table("T").Column("T.a").Build().sql,
              "SELECT TOP 25 T.a\r\nFROM T;");
    EXPECT_EQ(QueryRowsBuilder(1).Flags(0x10 | 0x20, "10").Table("T").Column("T.a").Build().sql,
              "SELECT TOP 10 PERCENT T.a\r\nFROM T;");
    // DISTINCT does not hide TOP: Access keeps both.
    EXPECT_EQ(QueryRowsBuilder(1).Flags(0x02 | 0x10, "5").Table("T").Column("T.a").Build().sql,
              "SELECT DISTINCT TOP 5 T.a\r\nFROM T;");
    EXPECT_EQ(QueryRowsBuilder(1).Flags(0x01).Table("T").Column("T.a", "x").Build().sql,
              "SELECT T.a AS x, *\r\nFROM T;");
    EXPECT_EQ(QueryRowsBuilder(1).Flags(0x04).Table("T").Column("T.a").Build().sql,
              "SELECT T.a\r\nFROM T\r\nWITH OWNERACCESS OPTION;");
}

TEST(QuerySqlKinds, NamesNeedingBracketsAreBracketed) {
    const QueryDesign design = QueryRowsBuilder(1)
                                   .Table("Order Details", "Det-1")
                                   .Table("Kunder", "K")
                                   .Table("Länder")
                                   .Table("[Already]")
                                   .Column("[Det-1].Qty", "Sum of Qty")
                                   .Build();
    EXPECT_EQ(design.sql,
              "SELECT [Det-1].Qty AS [Sum of Qty]\r\n"
              "FROM [Order Details] AS [Det-1], Kunder AS K, [Länder], [Already];");
}

TEST(QuerySqlKinds, SubqueryInFromList) {
    QueryRowsBuilder rows(1);
    rows.Flags(0x09).Row(5, std::nullopt, std::nullopt, "Sub", "SELECT a FROM [T 1]");
    EXPECT_EQ(rows.Build().sql, "SELECT DISTINCTROW *\r\nFROM [SELECT a FROM [T 1]]. AS Sub;");
}

TEST(QuerySqlKinds, ExternalDatabaseInFrom) {
    QueryRowsBuilder rows(1);
    rows.Table("Remote")
        .Column("Remote.x")
        .Row(4, std::nullopt, "C:\\data\\other.mdb", std::nullopt, std::nullopt);
    EXPECT_EQ(rows.Build().sql, "SELECT Remote.x\r\nFROM Remote IN 'C:\\data\\other.mdb';");
    QueryRowsBuilder typed(1);
    typed.Table("Sheet").Column("Sheet.x").Row(4, std::nullopt, "C:\\a.xls", std::nullopt,
                                               "Excel 8.0;");
    EXPECT_EQ(typed.Build().sql, "SELECT Sheet.x\r\nFROM Sheet IN 'C:\\a.xls' [Excel 8.0;];");
}

TEST(QuerySqlKinds, MakeTable) {
    QueryRowsBuilder rows(2);
    rows.Table("Orders").Column("Orders.ID").Column("Max(Orders.Amount)", "Top Amount");
    rows.GroupBy("Orders.ID");
    // The type row of a make-table query names the new table.
    std::vector<QueryRow> stored = rows.Rows();
    stored[1].name1 = "Order Archive";
    const QueryDesign design = BuildQueryDesign(stored);
    EXPECT_EQ(design.sql,
              "SELECT Orders.ID, Max(Orders.Amount) AS [Top Amount] INTO [Order Archive]\r\n"
              "FROM Orders\r\n"
              "GROUP BY Orders.ID;");
    EXPECT_FALSE(design.returnsRecords);

    stored[1].name2 = "C:\\archive.mdb";
    EXPECT_EQ(BuildQueryDesign(stored).sql,
              "SELECT Orders.ID, Max(Orders.Amount) AS [Top Amount] INTO [Order Archive] IN "
              "'C:\\archive.mdb'\r\nFROM Orders\r\nGROUP BY Orders.ID;");
}

TEST(QuerySqlKinds, AppendFromSelectAndFromValues) {
    QueryRowsBuilder select(3);
    select.Table("Staging")
        .Row(6, 0, std::nullopt, "Name", "Staging.FullName")
        .Row(6, 0, std::nullopt, "Due Date", "Staging.Due")
        .Where("((Staging.Due) Is Not Null)");
    std::vector<QueryRow> stored = select.Rows();
    stored[1].name1 = "Customers";
    QueryDesign design = BuildQueryDesign(stored);
    EXPECT_EQ(design.sql,
              "INSERT INTO Customers (Name, [Due Date])\r\n"
              "SELECT Staging.FullName, Staging.Due\r\n"
              "FROM Staging\r\n"
              "WHERE ((Staging.Due) Is Not Null);");
    EXPECT_FALSE(design.returnsRecords);

    QueryRowsBuilder values(3);
    values.Row(6, static_cast<std::int16_t>(0x8000), std::nullopt, "Name", "\"Ann\"")
        .Row(6, static_cast<std::int16_t>(0x8000), std::nullopt, "Age", "42");
    stored = values.Rows();
    stored[1].name1 = "People";
    EXPECT_EQ(BuildQueryDesign(stored).sql,
              "INSERT INTO People (Name, Age)\r\nVALUES (\"Ann\", 42);");
}

TEST(QuerySqlKinds, UpdateWithParameters) {
    const QueryDesign design = QueryRowsBuilder(4)
                                   .Parameter("New Price", 7)
                                   .Parameter("Which", 10)
                                   .Flags(0)
                                   .Table("Products")
                                   .Table("Prices")
                                   .Join(2, "Products", "Prices", "Products.ID = Prices.ID")
                                   .Row(6, 0, std::nullopt, "Prices.[Unit Price]", "[New Price]")
                                   .Row(6, 0, std::nullopt, "Products.Changed", "Now()")
                                   .Where("((Products.Name)=[Which])")
                                   .Build();
    EXPECT_EQ(design.sql,
              "PARAMETERS [New Price] IEEEDouble, Which Text;\r\n"
              "UPDATE Products LEFT JOIN Prices ON Products.ID = Prices.ID\r\n"
              "SET Prices.[Unit Price] = [New Price], Products.Changed = Now()\r\n"
              "WHERE ((Products.Name)=[Which]);");
    ASSERT_EQ(design.parameters.size(), 2U);
    EXPECT_EQ(design.parameters[0].name, "New Price");
    EXPECT_EQ(design.parameters[0].type, 7);
    EXPECT_EQ(design.parameters[1].name, "Which");
    EXPECT_EQ(design.parameters[1].type, 10);
    EXPECT_FALSE(design.returnsRecords);
}

// The clause must stay valid SQL whatever the names hold, while the
// parameter list keeps each name as stored.
TEST(QuerySqlKinds, ParameterNamesAreBracketedWhereAccessBracketsThem) {
    const QueryDesign design = QueryRowsBuilder(1)
                                   .Parameter("Forms!Sales by Year Dialog!BeginningDate", 8)
                                   .Parameter("[what's your dob?]", 8)
                                   .Parameter("Enter a date!", 8)
                                   .Parameter("'><svg onload=x>", 10)
                                   .Parameter("reports!R!Box", 4)
                                   .Table("T")
                                   .Column("T.a")
                                   .Build();
    EXPECT_EQ(design.sql,
              "PARAMETERS Forms![Sales by Year Dialog]!BeginningDate DateTime, "
              "[what's your dob?] DateTime, [Enter a date!] DateTime, ['><svg onload=x>] Text, "
              "reports!R!Box Long;\r\nSELECT T.a\r\nFROM T;");
    ASSERT_EQ(design.parameters.size(), 5U);
    EXPECT_EQ(design.parameters[0].name, "Forms!Sales by Year Dialog!BeginningDate");
    EXPECT_EQ(design.parameters[3].name, "'><svg onload=x>");
}

TEST(QuerySqlKinds, ParameterTypesBecomeDaoCodes) {
    const QueryDesign design = QueryRowsBuilder(1)
                                   .Parameter("v", 0)
                                   .Parameter("b", 1)
                                   .Parameter("d", 8)
                                   .Parameter("n", 16)
                                   .Parameter("g", 15)
                                   .Parameter("m", 12)
                                   .Table("T")
                                   .Column("T.a")
                                   .Build();
    EXPECT_EQ(design.sql,
              "PARAMETERS v Value, b Bit, d DateTime, n Decimal, g Guid, m LongText;\r\n"
              "SELECT T.a\r\nFROM T;");
    std::vector<std::int16_t> types;
    for (const auto& parameter : design.parameters) {
        types.push_back(parameter.type);
    }
    EXPECT_EQ(types, (std::vector<std::int16_t>{0, 1, 8, 20, 15, 12}));
}

TEST(QuerySqlKinds, Delete) {
    const QueryDesign design = QueryRowsBuilder(5)
                                   .Flags(0)
                                   .Table("Log")
                                   .Column("Log.*")
                                   .Where("((Log.Stamp)<#1/1/2000#)")
                                   .Build();
    EXPECT_EQ(design.sql, "DELETE Log.*\r\nFROM Log\r\nWHERE ((Log.Stamp)<#1/1/2000#);");
    EXPECT_FALSE(design.returnsRecords);
}

TEST(QuerySqlKinds, Crosstab) {
    const QueryDesign design = QueryRowsBuilder(6)
                                   .Table("Sales")
                                   .Column("Sum(Sales.Amount)", "Total", 0)
                                   .Column("Sales.Region", std::nullopt, 2)
                                   .Column("Format([Sold],\"yyyy\")", std::nullopt, 1)
                                   .GroupBy("Sales.Region", 2)
                                   .GroupBy("Format([Sold],\"yyyy\")", 1)
                                   .OrderBy("Sales.Region")
                                   .Build();
    EXPECT_EQ(design.sql,
              "TRANSFORM Sum(Sales.Amount) AS Total\r\n"
              "SELECT Sales.Region\r\n"
              "FROM Sales\r\n"
              "GROUP BY Sales.Region\r\n"
              "ORDER BY Sales.Region\r\n"
              "PIVOT Format([Sold],\"yyyy\");");
    EXPECT_TRUE(design.returnsRecords);
}

TEST(QuerySqlKinds, UnionAndUnionAll) {
    QueryRowsBuilder all(9);
    all.Flags(1)
        .Row(5, std::nullopt, std::nullopt, "X7YZ_____1", "  SELECT a FROM T1\r\n\r\n")
        .Row(5, std::nullopt, std::nullopt, "X7YZ_____2", "SELECT a FROM T2\n\nWHERE a > 1")
        .OrderBy("a");
    EXPECT_EQ(all.Build().sql,
              "SELECT a FROM T1\r\nUNION ALL SELECT a FROM T2\r\nWHERE a > 1\r\nORDER BY a;");

    QueryRowsBuilder distinct(9);
    distinct.Flags(2)
        .Row(5, std::nullopt, std::nullopt, "X7YZ_____2", "SELECT b FROM T2")
        .Row(5, std::nullopt, std::nullopt, "X7YZ_____1", "SELECT b FROM T1");
    const QueryDesign design = distinct.Build();
    EXPECT_EQ(design.sql, "SELECT b FROM T1\r\nUNION SELECT b FROM T2;");
    EXPECT_TRUE(design.returnsRecords);
}

TEST(QuerySqlKinds, PassThroughAndDataDefinitionKeepTheirTextWithoutNul) {
    QueryRowsBuilder passThrough(8);
    std::vector<QueryRow> stored = passThrough.Rows();
    stored[1].name1 = "ODBC;DSN=x";
    stored[1].expression = std::string("EXEC sp_who;\0", 13);
    QueryDesign design = BuildQueryDesign(stored);
    EXPECT_EQ(design.sql, "EXEC sp_who;");
    EXPECT_TRUE(design.returnsRecords);

    stored = QueryRowsBuilder(7).Rows();
    stored[1].expression = std::string("CREATE TABLE T (a TEXT)\0", 24);
    design = BuildQueryDesign(stored);
    EXPECT_EQ(design.sql, "CREATE TABLE T (a TEXT)");
    EXPECT_FALSE(design.returnsRecords);

    stored[1].expression.reset();
    EXPECT_EQ(BuildQueryDesign(stored).sql, "");
}

TEST(QuerySqlKinds, StoredRowOrderDoesNotMatter) {
    QueryRowsBuilder builder(1);
    builder.Parameter("p", 4)
        .Flags(2)
        .Table("A")
        .Table("B")
        .Table("C")
        .Column("A.x")
        .Column("B.y", "why")
        .Column("C.z")
        .Join(1, "A", "B", "A.id = B.id")
        .Join(1, "A", "B", "A.k = B.k")
        .Join(3, "B", "C", "B.id = C.id")
        .Where("A.x > [p]")
        .OrderBy("A.x")
        .OrderBy("C.z", true);
    std::vector<QueryRow> rows = builder.Rows();
    const std::string expected = BuildQueryDesign(rows).sql;
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::shuffle(rows.begin(), rows.end(), random);
        EXPECT_EQ(BuildQueryDesign(rows).sql, expected);
    }
}

}  // namespace
}  // namespace ostrel::jet
