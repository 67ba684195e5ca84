// The JSON description: what it accepts, how it reports mistakes, and that a
// failed generation leaves no file behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tools/jetgen/description_json.h"
#include "tools/jetgen/generator.h"
#include "tools/jetgen/generator_error.h"

namespace ostrel::jetgen {
namespace {

std::string ErrorOf(const std::string& json) {
    try {
        ParseDescription(json);
    } catch (const GeneratorError& e) {
        return e.what();
    }
    return "no error";
}

TEST(Description, ReadsTablesRowsAndDefaults) {
    const DatabaseDescription db = ParseDescription(R"({
        "created": "2020-05-06T07:08:09",
        "tables": [{"name": "T", "hidden": true,
            "columns": [{"name": "A", "type": "Long", "autoNumber": true},
                        {"name": "W", "type": "Hyperlink"},
                        {"name": "C", "type": "Currency"}],
            "indexes": [{"name": "PK", "columns": ["A", {"name": "C", "descending": true}], "primary": true}],
            "rows": [[null, "x#y#", 1.5], {"C": "2.25"}],
            "generate": {"count": 5}}],
        "relationships": [{"name": "R", "table": "T", "columns": ["A"], "foreignTable": "T",
                           "foreignColumns": ["C"], "cascadeDeletes": true, "join": "left"}],
        "queries": [{"name": "Q", "type": "crosstab", "columns": [{"expression": "x", "crosstab": "columnHeading"}]}]
    })");
    ASSERT_EQ(db.tables.size(), 1U);
    const TableDescription& t = db.tables[0];
    EXPECT_TRUE(t.hidden);
    EXPECT_DOUBLE_EQ(t.created, db.created);
    EXPECT_TRUE(t.columns[1].hyperlink);
    EXPECT_EQ(t.columns[1].type, ColumnType::Memo);
    EXPECT_TRUE(t.indexes[0].columns[1].descending);
    ASSERT_EQ(t.rows.size(), 2U);
    EXPECT_EQ(t.rows[0][2].integer, 15000);  // currency is scaled by 10,000
    EXPECT_EQ(t.rows[1][0].kind, Cell::Kind::Null);
    EXPECT_EQ(t.rows[1][2].integer, 22500);
    EXPECT_EQ(t.generated.count, 5);
    EXPECT_EQ(db.relationships[0].attributes, kRelationDeleteCascade | kRelationLeft);
    EXPECT_EQ(db.queries[0].type, QueryType::Crosstab);
    EXPECT_EQ(db.queries[0].columns[0].crosstab, 1);
    EXPECT_EQ(db.encodingKey, 0U);  // pages plain unless a key is given
    EXPECT_EQ(ParseDescription(R"({"encodingKey": 4294967295})").encodingKey, 0xFFFFFFFFU);
}

TEST(Description, NamesTheObjectInEveryMistake) {
    using ::testing::HasSubstr;
    EXPECT_THAT(ErrorOf("{"), HasSubstr("not valid JSON"));
    EXPECT_THAT(ErrorOf(R"({"tabels": []})"), HasSubstr("unknown key \"tabels\""));
    EXPECT_THAT(
        ErrorOf(R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Float"}]}]})"),
        HasSubstr("table \"T\", column \"A\": unknown type \"Float\""));
    EXPECT_THAT(ErrorOf(R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Long"}],
                         "rows": [[1, 2]]}]})"),
                HasSubstr("row 1: has 2 values for 1 columns"));
    EXPECT_THAT(ErrorOf(R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "DateTime"}],
                         "rows": [["yesterday"]]}]})"),
                HasSubstr("bad date"));
    EXPECT_THAT(ErrorOf(R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": "Long"}],
                         "rows": [{"B": 1}]}]})"),
                HasSubstr("no column \"B\""));
    EXPECT_THAT(ErrorOf(R"({"queries": [{"name": "Q", "type": "append"}]})"),
                HasSubstr("query \"Q\": make-table and append queries need a \"target\""));
    EXPECT_THAT(ErrorOf(R"({"queries": [{"name": "Q", "type": "update", "columns": ["x"]}]})"),
                HasSubstr("needs its \"target\""));
    EXPECT_THAT(ErrorOf(R"({"queries": [{"name": "Q", "type": "union", "union": ["SELECT 1"]}]})"),
                HasSubstr("at least two"));
    EXPECT_THAT(
        ErrorOf(
            R"({"relationships": [{"name": "R", "table": "A", "foreignTable": "B", "join": "outer"}]})"),
        HasSubstr("\"join\" must be inner, left or right"));
    EXPECT_THAT(ErrorOf(R"({"encodingKey": 4294967296})"),
                HasSubstr("\"encodingKey\" is out of range"));
}

class GeneratorFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("ostrel-jetgen-files-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(GeneratorFiles, FailureLeavesNoFileBehind) {
    const auto out = dir_ / "broken.mdb";
    const DatabaseDescription db = ParseDescription(R"({"tables": [{"name": "T",
        "columns": [{"name": "A", "type": "Byte"}], "rows": [[300]]}]})");
    EXPECT_THROW(WriteDatabase(db, out), GeneratorError);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_TRUE(std::filesystem::is_empty(dir_));
    const DatabaseDescription dangling = ParseDescription(R"({"tables": [{"name": "T",
        "columns": [{"name": "A", "type": "Long"}]}], "relationships": [{"name": "R",
        "table": "T", "columns": ["A"], "foreignTable": "Missing"}]})");
    EXPECT_THROW(WriteDatabase(dangling, out), GeneratorError);
    EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

TEST_F(GeneratorFiles, SameDescriptionGivesSameBytes) {
    const DatabaseDescription db = ParseDescription(R"({"created": "2021-01-01",
        "tables": [{"name": "T", "columns": [{"name": "G", "type": "GUID", "autoNumber": true},
                                             {"name": "N", "type": "Memo"}],
                    "generate": {"count": 300, "seed": 9}}]})");
    WriteDatabase(db, dir_ / "a.mdb");
    WriteDatabase(db, dir_ / "b.mdb");
    std::ifstream a(dir_ / "a.mdb", std::ios::binary);
    std::ifstream b(dir_ / "b.mdb", std::ios::binary);
    std::stringstream sa;
    std::stringstream sb;
    sa << a.rdbuf();
    sb << b.rdbuf();
    EXPECT_GT(sa.str().size(), 8U * 4096U);
    EXPECT_EQ(sa.str().size() % 4096, 0U);
    EXPECT_TRUE(sa.str() == sb.str());
}

}  // namespace
}  // namespace ostrel::jetgen
