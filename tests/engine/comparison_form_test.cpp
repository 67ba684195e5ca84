// The comparison's CSV form, plain and quoted, and the quoting of the
// report's own CSV.
#include <gtest/gtest.h>

#include "components/memory/memory_database.h"
#include "engine/comparison_form.h"
#include "engine/report_builder.h"
#include "engine/report_forms.h"
#include "engine_test_support.h"

namespace ostrel::engine::testing {
namespace {

struct StringSink : LineSink {
    void WriteLine(std::string_view text) override {
        bytes.append(text);
        bytes.append("\r\n");
    }
    std::string bytes;
};

Comparison SmallComparison() {
    Comparison comparison;
    comparison.database.push_back(
        {FindSwitch("Database Version"), std::string("4.0"), std::string("5.0"), TextForm::Plain});
    ObjectComparison table;
    table.name = "Orders, old";
    table.change = Change::Changed;
    table.properties.push_back({FindSwitch("Table ValidationText"), std::string("say \"hi\""),
                                schema::NullValue{}, TextForm::Plain});
    MemberComparison field;
    field.name = "Qty";
    field.change = Change::Changed;
    field.properties.push_back(
        {FindSwitch("Field Size"), std::int64_t{2}, std::int64_t{4}, TextForm::Plain});
    table.fields.push_back(field);
    MemberComparison index;
    index.name = "ByQty";
    index.change = Change::Added;
    table.indexes.push_back(index);
    comparison.tables.push_back(table);
    ObjectComparison query;
    query.name = "Totals";
    query.change = Change::Removed;
    comparison.queries.push_back(query);
    return comparison;
}

constexpr const char* kSections =
    "1 - Database Properties\r\n\r\n"
    ",Version,4.0,5.0\r\n\r\n\r\n"
    "2 - Table Properties\r\n\r\n"
    "%TABLE%,changed\r\n\r\n"
    ",ValidationText,%TEXT%,\r\n"
    "Field - Qty,changed\r\n"
    ",Size,2,4\r\n"
    "Index - ByQty,added\r\n\r\n\r\n"
    "3 - Relationship Properties\r\n\r\n"
    "No differences\r\n\r\n"
    "4 - Query Properties\r\n\r\n"
    "Query : Totals,removed\r\n\r\n";

std::string Expected(const std::string& table, const std::string& text) {
    std::string expected = kSections;
    expected.replace(expected.find("%TABLE%"), 7, table);
    expected.replace(expected.find("%TEXT%"), 6, text);
    return expected;
}

TEST(ComparisonForm, CsvPlainAndQuoted) {
    FixedFormatter formatter;
    StringSink plain;
    ReportWriter plainWriter(plain);
    WriteComparison(SmallComparison(), plainWriter, formatter);
    EXPECT_EQ(plain.bytes, Expected("Table : Orders, old", "say \"hi\""));

    StringSink quoted;
    ReportWriter quotedWriter(quoted, CsvQuoting::Rfc4180);
    WriteComparison(SmallComparison(), quotedWriter, formatter);
    EXPECT_EQ(quoted.bytes, Expected("\"Table : Orders, old\"", "\"say \"\"hi\"\"\""));
}

TEST(ComparisonForm, PreviewMarksEachObjectWithSymbolAndWord) {
    FixedFormatter formatter;
    document::RecordingDocument document;
    ReportWriter writer(document);
    WriteComparison(SmallComparison(), writer, formatter);
    std::string calls;
    for (const std::string& call : document.Calls()) {
        calls += call + "\n";
    }
    EXPECT_NE(calls.find("Table : Orders, old   \u0394 changed"), std::string::npos) << calls;
    EXPECT_NE(calls.find("Query : Totals   \u2212 removed"), std::string::npos);
    EXPECT_NE(calls.find("|Property|Old value|New value;"), std::string::npos);
}

// Quoting applies to every cell that holds a comma, a quote or a line break,
// and to nothing else.
TEST(ComparisonForm, QuotedReportCells) {
    memory::DatabaseBlueprint blueprint;
    blueprint.version = "4,0 \"beta\"\r\n";
    blueprint.replicaID = "plain";
    const auto database = memory::OpenMemoryDatabase(blueprint);
    const auto databaseSection = [&database](CsvQuoting quoting) {
        StringSink sink;
        ReportWriter writer(sink, quoting);
        MapSwitches switches;
        FixedFormatter formatter;
        FormsRenderer(writer, formatter)
            .DatabaseSection(ReportBuilder(*database, switches).DatabaseProperties());
        return sink.bytes;
    };
    const std::string plain = databaseSection(CsvQuoting::None);
    EXPECT_NE(plain.find("ReplicaID,plain\r\n"), std::string::npos) << plain;
    EXPECT_NE(plain.find("Version,4,0 \"beta\"\r\n\r\n"), std::string::npos) << plain;
    const std::string quoted = databaseSection(CsvQuoting::Rfc4180);
    EXPECT_NE(quoted.find("ReplicaID,plain\r\n"), std::string::npos) << quoted;
    EXPECT_NE(quoted.find("Version,\"4,0 \"\"beta\"\"\r\n\"\r\n"), std::string::npos) << quoted;
}

}  // namespace
}  // namespace ostrel::engine::testing
