// Every switch with a report row, driven from the switch table: switching a key
// off removes exactly its rows, and a row that is off never reads its member.

#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "components/memory/memory_database.h"
#include "components/schema/schema_error.h"
#include "engine/property_rows.h"
#include "engine/switch_table.h"
#include "engine_test_support.h"

namespace ostrel::engine::testing {
namespace {

using namespace schema::data_type;

// One object of every kind, with values free of commas so that CSV lines split
// cleanly into cells.
memory::DatabaseBlueprint OneOfEach() {
    return {.tables = {{.name = "T",
                        .dateCreated = schema::DateTime{2020, 1, 2, 3, 4, 5},
                        .fields = {{.name = "F", .type = kLong, .size = 4}},
                        .indexes = {{.name = "I", .primary = true, .fields = "+F;-G"}}}},
            .queries = {{.name = "Q",
                         .sql = "SELECT F FROM T",
                         .parameters = {{.name = "P", .direction = 1, .type = kText}}}},
            .relations = {{.name = "R", .table = "T", .foreignTable = "U", .fields = {{"F", "F"}}}},
            .forms = {{.name = "Fm", .hasModule = true}},
            .reports = {{.name = "Rp"}},
            .macros = {{.name = "Mc"}},
            .modules = {{.name = "Md", .source = "Sub A()\r\nEnd Sub\r\n"}}};
}

std::string ObjectWord(std::string_view key) {
    return std::string(key.substr(0, key.find(' ')));
}

std::string PropertyWord(std::string_view key) {
    return std::string(key.substr(key.find(' ') + 1));
}

// The members each switch's row reads: the property of the same name, or the
// attribute mask for the rows that test its bits.
std::string MemberRead(std::string_view key) {
    static const std::set<std::string, std::less<>> attributeRows = {
        "Table AttachedODBC",
        "Table AttachedTable",
        "Table AttachExclusive",
        "Table AttachSavePWD",
        "Table HiddenObject",
        "Table SystemObject",
        "Field AutoIncrement",
        "Field FixedField",
        "Field HyperlinkField",
        "Field SystemField",
        "Field UpdatableField",
        "Field VariableField",
        "Relationship RelationDeleteCascade",
        "Relationship RelationDontEnforce",
        "Relationship RelationInherited",
        "Relationship RelationUnique",
        "Relationship RelationUpdateCascade"};
    if (key == "Module Type") {
        return "Kind";
    }
    return attributeRows.contains(key) ? "Attributes" : PropertyWord(key);
}

std::vector<std::string>& RefusedList(memory::DatabaseBlueprint& blueprint,
                                      const std::string& objectWord) {
    if (objectWord == "Database") {
        return blueprint.refused;
    }
    if (objectWord == "Table") {
        return blueprint.tables[0].refused;
    }
    if (objectWord == "Field") {
        return blueprint.tables[0].fields[0].refused;
    }
    if (objectWord == "Index") {
        return blueprint.tables[0].indexes[0].refused;
    }
    if (objectWord == "Relationship") {
        return blueprint.relations[0].refused;
    }
    if (objectWord == "Query") {
        return blueprint.queries[0].refused;
    }
    if (objectWord == "Form") {
        return blueprint.forms[0].refused;
    }
    if (objectWord == "Report") {
        return blueprint.reports[0].refused;
    }
    if (objectWord == "Macro") {
        return blueprint.macros[0].refused;
    }
    if (objectWord == "Module") {
        return blueprint.modules[0].refused;
    }
    return blueprint.queries[0].parameters[0].refused;
}

// The preview's paragraphs and tables turned into CSV-like lines, so that both
// targets can be read the same way. The values of OneOfEach hold no separators.
std::string PreviewAsLines(const std::vector<std::string>& calls) {
    std::string lines;
    for (const std::string& call : calls) {
        if (call.starts_with("AddParagraph(")) {
            lines += call.substr(13, call.size() - 14) + "\r\n";
        } else if (call.starts_with("AddTable(")) {
            std::string rows = call.substr(9, call.size() - 10);
            rows.erase(0, rows.find(';') + 1);  // the column format
            for (const char c : rows) {
                lines += c == ';' ? std::string("\r\n") : std::string(1, c == '|' ? ',' : c);
            }
        }
    }
    return lines;
}

std::string RunAllSections(const memory::DatabaseBlueprint& blueprint, const MapSwitches& switches,
                           ReportTarget target = ReportTarget::CsvFile) {
    SectionHarness h(target);
    h.switches = switches;
    const auto database = memory::OpenMemoryDatabase(blueprint);
    h.Write(ReportPart::Database, *database);
    h.Write(ReportPart::Tables, *database);
    h.Write(ReportPart::Relationships, *database);
    h.Write(ReportPart::Queries, *database);
    for (const ReportPart part :
         {ReportPart::Forms, ReportPart::Reports, ReportPart::Macros, ReportPart::Modules}) {
        h.Write(part, *database);
    }
    return target == ReportTarget::CsvFile ? h.Csv() : PreviewAsLines(h.Document().Calls());
}

std::vector<std::string> SplitCells(const std::string& line) {
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, ',')) {
        cells.push_back(cell);
    }
    if (!line.empty() && line.back() == ',') {
        cells.emplace_back();
    }
    return cells;
}

// The rows of a CSV report as (object word, label) pairs, counted.
std::map<std::pair<std::string, std::string>, int> RowsOf(const std::string& csv) {
    std::map<std::pair<std::string, std::string>, int> rows;
    std::string kind;
    std::size_t start = 0;
    while (start < csv.size()) {
        const std::size_t end = csv.find("\r\n", start);
        const std::string line = csv.substr(start, end - start);
        start = end + 2;
        if (line.empty() || line == "None requested") {
            continue;
        }
        if (line.starts_with("1 - ")) {
            kind = "Database";
        } else if (line.starts_with("Table : ")) {
            kind = "Table";
        } else if (line.starts_with("Relationship : ")) {
            kind = "Relationship";
        } else if (line.starts_with("Query : ")) {
            kind = "Query";
        } else if (line.find(" : ") != std::string::npos && line.find(',') == std::string::npos) {
            kind = line.substr(0, line.find(" : "));  // Form, Report, Macro, Module
        } else if (line.find(',') == std::string::npos) {
            if (line.starts_with("Field - ")) {
                kind = "Field";
            } else if (line.starts_with("Index - ")) {
                kind = "Index";
            } else if (line.starts_with("Parameter - ")) {
                kind = "QueryParameter";
            }
            continue;  // a heading, or a caption with no row
        } else {
            const auto cells = SplitCells(line);
            if (kind == "Database") {
                ++rows[{kind, cells[0]}];
                continue;
            }
            if (cells[0].starts_with("Field - ")) {
                kind = "Field";
            } else if (cells[0].starts_with("Index - ")) {
                kind = "Index";
            } else if (cells[0].starts_with("Parameter - ")) {
                kind = "QueryParameter";
            }
            ++rows[{kind, cells.at(1)}];
        }
    }
    return rows;
}

class EverySwitchTest : public ::testing::TestWithParam<SwitchInfo> {};

TEST_P(EverySwitchTest, SwitchingOffRemovesExactlyItsRow) {
    const SwitchInfo& info = GetParam();
    for (const ReportTarget target : {ReportTarget::CsvFile, ReportTarget::Preview}) {
        SCOPED_TRACE(target == ReportTarget::CsvFile ? "CSV" : "preview");
        MapSwitches on;
        const auto allRows = RowsOf(RunAllSections(OneOfEach(), on, target));
        MapSwitches off;
        off.Set(std::string(info.key), false);
        auto rows = RowsOf(RunAllSections(OneOfEach(), off, target));

        const std::pair<std::string, std::string> removed{ObjectWord(info.key),
                                                          std::string(info.rowLabel)};
        ASSERT_EQ(allRows.count(removed), 1U) << "the row is not written when on";
        EXPECT_EQ(allRows.at(removed), 1);
        rows[removed] += 1;
        EXPECT_EQ(rows, allRows);
    }
}

TEST_P(EverySwitchTest, RowThatIsOffDoesNotReadItsMember) {
    const SwitchInfo& info = GetParam();
    const std::string word = ObjectWord(info.key);
    const std::string member = MemberRead(info.key);
    memory::DatabaseBlueprint blueprint = OneOfEach();
    RefusedList(blueprint, word).push_back(member);

    MapSwitches switches;
    for (const SwitchInfo& other : SwitchTable()) {
        if (ObjectWord(other.key) == word && MemberRead(other.key) == member) {
            switches.Set(std::string(other.key), false);
        }
    }
    EXPECT_NO_THROW(RunAllSections(blueprint, switches));
    switches.Set(std::string(info.key), true);
    EXPECT_THROW(RunAllSections(blueprint, switches), schema::SchemaError);
}

std::vector<SwitchInfo> PropertySwitches() {
    std::vector<SwitchInfo> switches;
    std::copy_if(SwitchTable().begin(), SwitchTable().end(), std::back_inserter(switches),
                 [](const SwitchInfo& info) { return HasPropertyRow(info.key); });
    return switches;
}

INSTANTIATE_TEST_SUITE_P(SwitchTable, EverySwitchTest, ::testing::ValuesIn(PropertySwitches()),
                         [](const auto& param) {
                             std::string name(param.param.key);
                             std::erase(name, ' ');
                             return name;
                         });

// A property switch without a row of its own would drop out of the tests above.
TEST(SwitchReads, SeventyThreeSwitchesHaveARowEach) {
    EXPECT_EQ(PropertySwitches().size(), 73U);
}

TEST(SwitchReads, EachRowReadsItsSwitchAfreshPerObject) {
    memory::DatabaseBlueprint blueprint = OneOfEach();
    blueprint.tables[0].fields.push_back({.name = "G", .type = kText, .size = 10});
    SectionHarness h(ReportTarget::CsvFile);
    const auto database = memory::OpenMemoryDatabase(blueprint);
    h.Write(ReportPart::Tables, *database);
    EXPECT_EQ(std::count(h.switches.reads.begin(), h.switches.reads.end(), "Field Size"), 2);
    EXPECT_EQ(std::count(h.switches.reads.begin(), h.switches.reads.end(), "Table RecordCount"), 1);
}

TEST(SwitchReads, EverySwitchOffGivesNoneRequestedInEverySection) {
    MapSwitches switches;
    switches.AllOff();
    EXPECT_EQ(RunAllSections(OneOfEach(), switches),
              "1 - Database Properties\r\n\r\nNone requested\r\n\r\n"
              "2 - Table Properties\r\n\r\nNone requested\r\n\r\n"
              "3 - Relationship Properties\r\n\r\nNone requested\r\n\r\n"
              "4 - Query Properties\r\n\r\nNone requested\r\n\r\n"
              "5 - Form Properties\r\n\r\nNone requested\r\n\r\n"
              "6 - Report Properties\r\n\r\nNone requested\r\n\r\n"
              "7 - Macro Properties\r\n\r\nNone requested\r\n\r\n"
              "8 - Module Properties\r\n\r\nNone requested\r\n\r\n");
}

}  // namespace
}  // namespace ostrel::engine::testing
