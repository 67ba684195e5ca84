// Behaviour that deliberately differs from the original program's faults:
// "None requested" after written tables, no 16-bit limits, and separators in
// the preview's cell texts kept as text.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "components/memory/memory_database.h"
#include "engine_test_support.h"

namespace ostrel::engine::testing {
namespace {

using namespace schema::data_type;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;

void OnlyOn(MapSwitches& switches, std::initializer_list<const char*> keys) {
    switches.AllOff();
    for (const char* key : keys) {
        switches.Set(key, true);
    }
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(NoneRequested, NotWrittenWhenAnEarlierTableWasWrittenButTheLastWasNot) {
    SectionHarness h(ReportTarget::CsvFile);
    OnlyOn(h.switches, {"Index Primary"});
    const auto database = memory::OpenMemoryDatabase(
        {.tables = {{.name = "WithIndex", .indexes = {{.name = "PK", .primary = true}}},
                    {.name = "WithoutIndex"}}});
    h.Write(ReportPart::Tables, *database);
    EXPECT_EQ(h.Csv(),
              "2 - Table Properties\r\n\r\nTable : WithIndex\r\n\r\n"
              "Index - PK,Primary,True\r\n\r\n\r\n\r\n");
}

TEST(NoneRequested, StillWrittenWhenNoTableWasWritten) {
    SectionHarness h(ReportTarget::Preview);
    OnlyOn(h.switches, {"Index Primary"});
    const auto database = memory::OpenMemoryDatabase({.tables = {{.name = "A"}, {.name = "B"}}});
    h.Write(ReportPart::Tables, *database);
    EXPECT_THAT(h.Document().Calls(),
                ElementsAre("SetHeadingEmphasis(True)", "SetTextSize(12)",
                            "AddParagraph(2 - Table Properties)", "SetTextSize(8)",
                            "SetHeadingEmphasis(False)", "AddParagraph()", "SetTableStyle(0)",
                            "AddParagraph(None requested)", "AddParagraph()", "SetTableStyle(7)"));
}

TEST(NoSixteenBitLimits, MoreThan32767TablesAndFields) {
    memory::DatabaseBlueprint blueprint;
    blueprint.tables.resize(33000);
    for (std::size_t i = 0; i < blueprint.tables.size(); ++i) {
        blueprint.tables[i].name = "T" + std::to_string(i);
    }
    blueprint.tables.back().fields.resize(33000);
    for (std::size_t i = 0; i < blueprint.tables.back().fields.size(); ++i) {
        blueprint.tables.back().fields[i].name = "F" + std::to_string(i);
    }
    SectionHarness h(ReportTarget::CsvFile);
    OnlyOn(h.switches, {"Table RecordCount", "Field Size"});
    h.Write(ReportPart::Tables, *memory::OpenMemoryDatabase(std::move(blueprint)));
    EXPECT_EQ(Occurrences(h.Csv(), "Table : "), 33000U);
    EXPECT_EQ(Occurrences(h.Csv(), "Field - "), 33000U);
    EXPECT_THAT(h.Csv(), HasSubstr("Table : T32999\r\n"));
    EXPECT_THAT(h.Csv(), HasSubstr("Field - F32999,Size,0\r\n"));
}

TEST(NoSixteenBitLimits, SqlLongerThan32767Characters) {
    std::string sql = "SELECT ";
    while (sql.size() < 70000) {
        sql += "LongColumnName, ";
    }
    sql += "Last\r\nFROM T;";
    SectionHarness h(ReportTarget::Preview);
    OnlyOn(h.switches, {"Query SQL"});
    h.Write(ReportPart::Queries,
            *memory::OpenMemoryDatabase({.queries = {{.name = "Q", .sql = sql}}}));
    ASSERT_EQ(h.Document().Tables().size(), 1U);
    const std::string table = h.Document().Tables()[0];
    EXPECT_GT(table.size(), 70000U);
    EXPECT_THAT(table, EndsWith("Last  FROM T;"));
}

memory::DatabaseBlueprint AwkwardNames() {
    return {.tables = {{.name = "A|B",
                        .validationRule = "In ('x;y', 'a|b', 'c\\d')",
                        .fields = {{.name = "Fi|eld;1", .type = kText, .size = 5}},
                        .indexes = {{.name = "Ix;1", .fields = "+Fi|eld;1;-Back\\slash"}}}},
            .queries = {{.name = "Q|1",
                         .sql = "SELECT a|b, 'c\\d';\r\nFROM [x;y]",
                         .parameters = {{.name = "P;1", .type = kText}}}},
            .relations = {{.name = "R;1",
                           .table = "T|1",
                           .foreignTable = "U;2",
                           .fields = {{"K|1", "K|1"}, {"K\\2", "K\\2"}}}}};
}

TEST(PreviewEscaping, SeparatorsInsideTableCellsStayText) {
    SectionHarness h(ReportTarget::Preview);
    OnlyOn(h.switches, {"Table ValidationRule", "Field Size", "Index Fields"});
    h.Write(ReportPart::Tables, *memory::OpenMemoryDatabase(AwkwardNames()));
    EXPECT_THAT(h.Document().Calls(), ::testing::Contains("AddParagraph(Table : A|B)"));
    EXPECT_THAT(h.Document().Tables(),
                ElementsAre("2000|2400|5600;|ValidationRule|In ('x\\;y', 'a\\|b', 'c\\\\d');",
                            "2000|2400|5600;Field - Fi\\|eld\\;1|Size|5;;",
                            // The index's own ";" separators become line breaks first;
                            // what is left of the names is then escaped.
                            "2000|2400|5600;Index - Ix\\;1|Fields|+Fi\\|eld\r1\r-Back\\\\slash;;"));
}

TEST(PreviewEscaping, IndexFieldsRowBecomesOneLinePerField) {
    SectionHarness h(ReportTarget::Preview);
    OnlyOn(h.switches, {"Index Fields"});
    h.Write(ReportPart::Tables,
            *memory::OpenMemoryDatabase(
                {.tables = {{.name = "T", .indexes = {{.name = "I", .fields = "+A;+B"}}}}}));
    EXPECT_THAT(h.Document().Tables(), ElementsAre("2000|2400|5600;Index - I|Fields|+A\r+B;;"));
}

TEST(PreviewEscaping, SqlSemicolonsAreRemovedBeforeTheRestIsEscaped) {
    SectionHarness h(ReportTarget::Preview);
    OnlyOn(h.switches, {"Query SQL", "QueryParameter Type"});
    h.Write(ReportPart::Queries, *memory::OpenMemoryDatabase(AwkwardNames()));
    EXPECT_THAT(h.Document().Tables(),
                ElementsAre("2000|2400|5600;|SQL|SELECT a\\|b, 'c\\\\d'  FROM [xy];",
                            "2000|2400|5600;Parameter - P\\;1|Type|Text;"));
    EXPECT_THAT(h.Document().Calls(), ::testing::Contains("AddParagraph(Query : Q|1)"));
}

TEST(PreviewEscaping, RelationshipValues) {
    SectionHarness h(ReportTarget::Preview);
    OnlyOn(h.switches, {"Relationship Fields", "Relationship ForeignTable", "Relationship Table"});
    h.Write(ReportPart::Relationships, *memory::OpenMemoryDatabase(AwkwardNames()));
    EXPECT_THAT(h.Document().Tables(),
                ElementsAre("2000|2400|5600;|Fields|K\\|1\rK\\\\2\r;|ForeignTable|U\\;2;"
                            "|Table|T\\|1;"));
}

TEST(PreviewEscaping, CsvStaysUnquotedByteForByte) {
    SectionHarness h(ReportTarget::CsvFile);
    OnlyOn(h.switches,
           {"Table ValidationRule", "Index Fields", "Query SQL", "Relationship ForeignTable"});
    const auto database = memory::OpenMemoryDatabase(AwkwardNames());
    h.Write(ReportPart::Tables, *database);
    h.Write(ReportPart::Relationships, *database);
    h.Write(ReportPart::Queries, *database);
    EXPECT_THAT(h.Csv(), HasSubstr("\r\n,ValidationRule,In ('x;y', 'a|b', 'c\\d')\r\n"));
    EXPECT_THAT(h.Csv(), HasSubstr("\r\nIndex - Ix;1,Fields,+Fi|eld;1;-Back\\slash\r\n"));
    EXPECT_THAT(h.Csv(), HasSubstr("\r\n,ForeignTable,U;2\r\n"));
    EXPECT_THAT(h.Csv(), HasSubstr("\r\n,SQL,SELECT a|b, 'c\\d';  FROM [x;y]\r\n"));
}

}  // namespace
}  // namespace ostrel::engine::testing
