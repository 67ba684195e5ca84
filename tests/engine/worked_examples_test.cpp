// The worked examples of the report's forms, byte for byte in the CSV file and
// call by call in the preview.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "components/memory/memory_database.h"
#include "engine_test_support.h"

namespace ostrel::engine::testing {
namespace {

using namespace schema::data_type;
using ::testing::ElementsAre;

std::unique_ptr<schema::Database> Open(memory::DatabaseBlueprint blueprint) {
    return memory::OpenMemoryDatabase(std::move(blueprint));
}

void OnlyOn(MapSwitches& switches, std::initializer_list<const char*> keys) {
    switches.AllOff();
    for (const char* key : keys) {
        switches.Set(key, true);
    }
}

TEST(DatabaseSectionExample, CollatingOrderAndUpdatableOnly) {
    SectionHarness h(ReportTarget::CsvFile);
    OnlyOn(h.switches, {"Database CollatingOrder", "Database Updatable"});
    h.Write(ReportPart::Database, *Open({.collatingOrder = 1033}));
    ExpectGolden("database_two_switches.csv", h.Csv());
}

TEST(DatabaseSectionExample, EverySwitchOffWritesNoneRequestedAndReadsNothing) {
    SectionHarness h(ReportTarget::CsvFile);
    h.switches.AllOff();
    // Every member refused: a row that is off must not ask for its value.
    h.Write(ReportPart::Database, *Open({.refused = {"CollatingOrder", "ReplicaID", "Transactions",
                                                     "Updatable", "Version"}}));
    ExpectGolden("database_all_off.csv", h.Csv());
}

TEST(DatabaseSectionExample, OnlyVersion) {
    SectionHarness h(ReportTarget::CsvFile);
    OnlyOn(h.switches, {"Database Version"});
    h.Write(ReportPart::Database, *Open({.version = "3.0"}));
    ExpectGolden("database_only_version.csv", h.Csv());
}

TEST(DatabaseSectionExample, PreviewWithEverySwitchOn) {
    SectionHarness h(ReportTarget::Preview);
    h.Write(ReportPart::Database,
            *Open({.collatingOrder = 1033, .replicaID = "", .version = "4.0"}));
    EXPECT_THAT(h.Document().Calls(),
                ElementsAre("SetHeadingEmphasis(True)", "SetTextSize(12)",
                            "AddParagraph(1 - Database Properties)", "SetTextSize(8)",
                            "SetHeadingEmphasis(False)", "AddParagraph()", "SetTableStyle(0)",
                            "AddTable(2000|8000;CollatingOrder|1033;ReplicaID|;Transactions|True;"
                            "Updatable|True;Version|4.0;)",
                            "AddParagraph()", "SetTableStyle(7)"));
    EXPECT_EQ(h.host.panel1, "Pass 1");
    EXPECT_EQ(h.host.panel2, "Processing database");
}

TEST(DatabaseSectionExample, PreviewWithEverySwitchOffShowsNoneRequested) {
    SectionHarness h(ReportTarget::Preview);
    h.switches.AllOff();
    h.Write(ReportPart::Database, *Open({}));
    const auto& calls = h.Document().Calls();
    ASSERT_EQ(calls.size(), 10U);
    EXPECT_EQ(calls[7], "AddParagraph(None requested)");
    EXPECT_EQ(calls[8], "AddParagraph()");
    EXPECT_EQ(calls[9], "SetTableStyle(7)");
}

TEST(FieldBlockExample, SizeAndTypeOnly) {
    SectionHarness h(ReportTarget::CsvFile);
    OnlyOn(h.switches, {"Field Size", "Field Type"});
    h.Write(ReportPart::Tables,
            *Open({.tables = {{.name = "Books",
                               .fields = {{.name = "ID", .type = kLong, .size = 4},
                                          {.name = "Title", .type = kText, .size = 50}}}}}));
    ExpectGolden("field_example.csv", h.Csv());
}

TEST(FieldBlockExample, PreviewKeepsAnEmptyParagraphForTheMissingTableOfItsOwnRows) {
    SectionHarness h(ReportTarget::Preview);
    OnlyOn(h.switches, {"Field Size", "Field Type"});
    h.Write(ReportPart::Tables,
            *Open({.tables = {{.name = "Books",
                               .fields = {{.name = "ID", .type = kLong, .size = 4},
                                          {.name = "Title", .type = kText, .size = 50}}}}}));
    const auto& calls = h.Document().Calls();
    const std::vector<std::string> block(calls.begin() + 7, calls.end());
    EXPECT_THAT(block,
                ElementsAre("SetObjectHeadingEmphasis(True)", "AddParagraph(Table : Books)",
                            "SetObjectHeadingEmphasis(False)", "AddParagraph()", "AddParagraph()",
                            "AddTable(2000|2400|5600;Field - ID|Size|4;|Type|Long;;"
                            "Field - Title|Size|50;|Type|Text;;)",
                            "AddParagraph()", "AddParagraph()", "SetTableStyle(7)"));
}

TEST(RelationshipExample, CustomersOrdersEverySwitchOn) {
    SectionHarness h(ReportTarget::CsvFile);
    h.Write(ReportPart::Relationships,
            *Open({.relations = {{.name = "CustomersOrders",
                                  .table = "Customers",
                                  .foreignTable = "Orders",
                                  .attributes = 4352,
                                  .partialReplica = false,
                                  .fields = {{"CustomerID", "CustomerID"}}}}}));
    ExpectGolden("relationship_example.csv", h.Csv());
}

TEST(RelationshipExample, PreviewFieldsCellListsOneFieldPerLine) {
    SectionHarness h(ReportTarget::Preview);
    OnlyOn(h.switches, {"Relationship Fields"});
    h.Write(ReportPart::Relationships,
            *Open({.relations = {{.name = "OrderLines",
                                  .fields = {{"OrderID", "OrderID"}, {"LineNo", "LineNo"}}}}}));
    EXPECT_THAT(h.Document().Tables(), ElementsAre("2000|2400|5600;|Fields|OrderID\rLineNo\r;"));
}

TEST(QueryExample, SqlCleaningAndMakeTableTypeInCsv) {
    SectionHarness h(ReportTarget::CsvFile);
    OnlyOn(h.switches, {"Query SQL", "Query Type"});
    h.Write(ReportPart::Queries,
            *Open({.queries = {{.name = "Tidy", .sql = "SELECT a;\r\nFROM t;", .type = 80}}}));
    ExpectGolden("query_example.csv", h.Csv());
}

TEST(QueryExample, SqlCleaningInPreviewRemovesSemicolons) {
    SectionHarness h(ReportTarget::Preview);
    OnlyOn(h.switches, {"Query SQL", "Query Type"});
    h.Write(ReportPart::Queries,
            *Open({.queries = {{.name = "Tidy", .sql = "SELECT a;\r\nFROM t;", .type = 1}}}));
    EXPECT_THAT(h.Document().Tables(), ElementsAre("2000|2400|5600;|SQL|SELECT a  FROM t;|Type|;"));
}

memory::DatabaseBlueprint SalesByRegion() {
    return {.queries = {{.name = "Sales by Region",
                         .sql = "SELECT * FROM Sales WHERE Region = [Region];",
                         .parameters = {{.name = "Region", .direction = 1, .type = kText}}}}};
}

TEST(ParameterExample, PreviewHandsTwoTables) {
    SectionHarness h(ReportTarget::Preview);
    OnlyOn(h.switches, {"Query Type", "QueryParameter Direction", "QueryParameter Type"});
    h.Write(ReportPart::Queries, *Open(SalesByRegion()));
    EXPECT_THAT(
        h.Document().Tables(),
        ElementsAre("2000|2400|5600;|Type|Select;",
                    "2000|2400|5600;Parameter - Region|Direction|Input Parameter;|Type|Text;"));
}

TEST(ParameterExample, Csv) {
    SectionHarness h(ReportTarget::CsvFile);
    OnlyOn(h.switches, {"Query Type", "QueryParameter Direction", "QueryParameter Type"});
    h.Write(ReportPart::Queries, *Open(SalesByRegion()));
    ExpectGolden("parameter_example.csv", h.Csv());
}

TEST(ParameterExample, OnlyParameterTypeWritesParametersWithoutQueryHeading) {
    SectionHarness h(ReportTarget::CsvFile);
    OnlyOn(h.switches, {"QueryParameter Type"});
    h.Write(ReportPart::Queries,
            *Open({.queries = {{.name = "By Region",
                                .parameters = {{.name = "Region", .type = kText},
                                               {.name = "Year", .type = kInteger}}}}}));
    ExpectGolden("parameter_type_only.csv", h.Csv());
}

}  // namespace
}  // namespace ostrel::engine::testing
