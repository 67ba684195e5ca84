// Every saved query of the real Access files: the SQL and parameters rebuilt
// from its recorded MSysQueries rows must match the recorded facts.
#include <gtest/gtest.h>

#include <map>

#include "components/schema/schema_error.h"
#include "tests/support/expected_facts.h"
#include "tests/support/query_rows_json.h"
#include "tests/support/testdata_dir.h"

namespace ostrel::jet {
namespace {

// The DAO type code of each PARAMETERS data type word.
const std::map<std::string, std::int16_t>& DaoTypeOfSqlWord() {
    static const std::map<std::string, std::int16_t> types = {
        {"Value", 0},    {"Bit", 1},         {"Byte", 2},       {"Short", 3},    {"Long", 4},
        {"Currency", 5}, {"IEEESingle", 6},  {"IEEEDouble", 7}, {"DateTime", 8}, {"Binary", 9},
        {"Text", 10},    {"LongBinary", 11}, {"LongText", 12},  {"Guid", 15},    {"Decimal", 20}};
    return types;
}

TEST(QuerySqlExpected, EveryRecordedQueryRebuildsExactly) {
    const auto testData = testsupport::TestDataDir();
    if (!testData) {
        GTEST_SKIP() << "no test data beside the project";
    }
    int checked = 0;
    for (const auto& expected : testsupport::LoadAllExpectedFacts(*testData)) {
        if (!expected.facts.contains("queries")) {
            continue;
        }
        for (const auto& query : expected.facts.at("queries")) {
            const std::string name = query.at("name").get<std::string>();
            SCOPED_TRACE(expected.jsonPath.filename().string() + ": " + name);
            QueryDesign design;
            try {
                design =
                    BuildQueryDesign(testsupport::QueryRowsFromJson(query.at("msysQueriesRows")));
            } catch (const schema::SchemaError& error) {
                ADD_FAILURE() << "refused: " << error.what();
                continue;
            }
            ++checked;
            EXPECT_EQ(design.sql, testsupport::SqlAsAccessShowsIt(query));

            const auto& parameters = query.at("parameters");
            ASSERT_EQ(design.parameters.size(), parameters.size());
            for (std::size_t i = 0; i < parameters.size(); ++i) {
                const std::string text = parameters[i].get<std::string>();
                const auto recorded = testsupport::SplitRecordedParameter(text);
                EXPECT_EQ(design.parameters[i].name, recorded.name);
                const auto type = DaoTypeOfSqlWord().find(recorded.typeWord);
                ASSERT_NE(type, DaoTypeOfSqlWord().end()) << text;
                EXPECT_EQ(design.parameters[i].type, type->second) << text;
            }

            // Action and data-definition queries return no records.
            const int kind = query.at("typeValue").get<int>();
            const bool action = kind == 2 || kind == 3 || kind == 4 || kind == 5 || kind == 7;
            EXPECT_EQ(design.returnsRecords, !action);
        }
    }
    // queryTest in three versions (9 each) and the 56 of odbcLinkerTest.
    EXPECT_GE(checked, 83);
}

}  // namespace
}  // namespace ostrel::jet
