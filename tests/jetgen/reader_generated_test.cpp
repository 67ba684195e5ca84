// The Jet reader against generated files: each case writes a database that
// varies one object-model member and checks that the reader reports it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "components/jet/jet_engine.h"
#include "components/schema/field.h"
#include "components/schema/query_def.h"
#include "components/schema/relation.h"
#include "components/schema/table_def.h"
#include "tests/jetgen/tool_runner.h"

namespace ostrel::jetgen::test {
namespace {

using Json = nlohmann::json;
using ::testing::HasSubstr;

class ReaderOnGenerated : public ::testing::Test {
  protected:
    const schema::Database& Open(const Json& description) {
        const auto path =
            Generate(dir_, description.dump(), "case" + std::to_string(++n_) + ".mdb");
        databases_.push_back(jet::JetEngine().OpenDatabase(path.string()));
        return *databases_.back();
    }

    static const schema::TableDef& Table(const schema::Database& db, const std::string& name) {
        const auto& tables = db.TableDefs();
        for (int i = 0; i < tables.Count(); ++i) {
            if (tables.Item(i).Name() == name) {
                return tables.Item(i);
            }
        }
        throw std::runtime_error("no table " + name);
    }

    static const schema::Field& FieldOf(const schema::TableDef& t, const std::string& name) {
        for (int i = 0; i < t.Fields().Count(); ++i) {
            if (t.Fields().Item(i).Name() == name) {
                return t.Fields().Item(i);
            }
        }
        throw std::runtime_error("no field " + name);
    }

    static const schema::Index& IndexOf(const schema::TableDef& t, const std::string& name) {
        for (int i = 0; i < t.Indexes().Count(); ++i) {
            if (t.Indexes().Item(i).Name() == name) {
                return t.Indexes().Item(i);
            }
        }
        throw std::runtime_error("no index " + name);
    }

    static const schema::QueryDef& QueryOf(const schema::Database& db, const std::string& name) {
        for (int i = 0; i < db.QueryDefs().Count(); ++i) {
            if (db.QueryDefs().Item(i).Name() == name) {
                return db.QueryDefs().Item(i);
            }
        }
        throw std::runtime_error("no query " + name);
    }

    ScratchDir dir_;
    int n_ = 0;
    std::vector<std::unique_ptr<schema::Database>> databases_;
};

Json OneTable(const Json& columns, const Json& extra = Json::object()) {
    Json table = {{"name", "T"}, {"columns", columns}};
    table.update(extra);
    return {{"created", "2022-02-03T04:05:06"}, {"tables", Json::array({table})}};
}

TEST_F(ReaderOnGenerated, EveryFieldTypeCodeAndSize) {
    const std::vector<std::tuple<Json, int, int>> cases = {
        {{{"type", "Boolean"}}, 1, 1},
        {{{"type", "Byte"}}, 2, 1},
        {{{"type", "Integer"}}, 3, 2},
        {{{"type", "Long"}}, 4, 4},
        {{{"type", "Currency"}}, 5, 8},
        {{{"type", "Single"}}, 6, 4},
        {{{"type", "Double"}}, 7, 8},
        {{{"type", "DateTime"}}, 8, 8},
        {{{"type", "Binary"}, {"size", 20}}, 9, 20},
        {{{"type", "Text"}, {"size", 33}}, 10, 33},
        {{{"type", "Text"}, {"size", 255}}, 10, 255},  // more than 255 bytes stored
        {{{"type", "OLE"}}, 11, 0},
        {{{"type", "Memo"}}, 12, 0},
        {{{"type", "Hyperlink"}}, 12, 0},
        {{{"type", "GUID"}}, 15, 16},
        {{{"type", "Decimal"}, {"precision", 10}, {"scale", 3}}, 20, 16}};  // DAO dbDecimal is 20
    Json columns = Json::array();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        Json c = std::get<0>(cases[i]);
        c["name"] = "C" + std::to_string(i);
        columns.push_back(c);
    }
    const auto& t = Table(Open(OneTable(columns)), "T");
    ASSERT_EQ(t.Fields().Count(), static_cast<int>(cases.size()));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& f = t.Fields().Item(static_cast<int>(i));
        SCOPED_TRACE(std::get<0>(cases[i]).dump());
        EXPECT_EQ(f.Type(), std::get<1>(cases[i]));
        EXPECT_EQ(f.Size(), std::get<2>(cases[i]));
        EXPECT_EQ(f.OrdinalPosition(), static_cast<int>(i));
    }
}

TEST_F(ReaderOnGenerated, FieldAttributeBits) {
    namespace fa = schema::field_attribute;
    const auto& t =
        Table(Open(OneTable({{{"name", "Fixed"}, {"type", "Long"}},
                             {{"name", "Var"}, {"type", "Text"}},
                             {{"name", "Auto"}, {"type", "Long"}, {"autoNumber", true}},
                             {{"name", "AutoGuid"}, {"type", "GUID"}, {"autoNumber", true}},
                             {{"name", "Link"}, {"type", "Hyperlink"}}})),
              "T");
    EXPECT_EQ(FieldOf(t, "Fixed").Attributes(), fa::kFixed | fa::kUpdatable);
    EXPECT_EQ(FieldOf(t, "Var").Attributes(), fa::kVariable | fa::kUpdatable);
    EXPECT_EQ(FieldOf(t, "Auto").Attributes(), fa::kFixed | fa::kUpdatable | fa::kAutoIncrement);
    EXPECT_EQ(FieldOf(t, "AutoGuid").Attributes() & fa::kAutoIncrement, 0U);
    EXPECT_EQ(FieldOf(t, "Link").Attributes(), fa::kVariable | fa::kUpdatable | fa::kHyperlink);
}

TEST_F(ReaderOnGenerated, EachFieldPropertyAlone) {
    const auto& t =
        Table(Open(OneTable(
                  {{{"name", "Plain"}, {"type", "Text"}},
                   {{"name", "Req"}, {"type", "Text"}, {"required", true}},
                   {{"name", "NotReq"}, {"type", "Text"}, {"required", false}},
                   {{"name", "Azl"}, {"type", "Text"}, {"allowZeroLength", true}},
                   {{"name", "Def"}, {"type", "Long"}, {"defaultValue", "42"}},
                   {{"name", "Rule"}, {"type", "Long"}, {"validationRule", ">0"}},
                   {{"name", "Msg"}, {"type", "Long"}, {"validationText", "Must be positive"}}})),
              "T");
    const auto& plain = FieldOf(t, "Plain");
    EXPECT_FALSE(plain.Required());
    EXPECT_FALSE(plain.AllowZeroLength());
    EXPECT_EQ(plain.ValidationRule(), "");
    EXPECT_EQ(plain.ValidationText(), "");
    EXPECT_TRUE(FieldOf(t, "Req").Required());
    EXPECT_FALSE(FieldOf(t, "Req").AllowZeroLength());
    EXPECT_FALSE(FieldOf(t, "NotReq").Required());
    EXPECT_TRUE(FieldOf(t, "Azl").AllowZeroLength());
    EXPECT_FALSE(FieldOf(t, "Azl").Required());
    EXPECT_EQ(FieldOf(t, "Def").DefaultValue(), schema::Variant(std::string("42")));
    EXPECT_EQ(FieldOf(t, "Rule").ValidationRule(), ">0");
    EXPECT_EQ(FieldOf(t, "Rule").ValidationText(), "");
    EXPECT_EQ(FieldOf(t, "Msg").ValidationText(), "Must be positive");
    EXPECT_EQ(FieldOf(t, "Msg").ValidationRule(), "");
}

TEST_F(ReaderOnGenerated, TablePropertiesDatesCountsAndKinds) {
    Json d = OneTable({{{"name", "A"}, {"type", "Long"}}}, {{"validationRule", "[A]<>0"},
                                                            {"validationText", "No zero"},
                                                            {"created", "2021-06-07T08:09:10"},
                                                            {"updated", "2021-07-08T09:10:11"},
                                                            {"generate", {{"count", 1234}}}});
    d["tables"].push_back(
        {{"name", "Hidden"}, {"hidden", true}, {"columns", {{{"name", "A"}, {"type", "Long"}}}}});
    d["tables"].push_back(
        {{"name", "USysFlag"}, {"system", true}, {"columns", {{{"name", "A"}, {"type", "Long"}}}}});
    d["linkedTables"] = {
        {{"name", "Link"}, {"database", "C:\\other.mdb"}, {"foreignName", "Remote"}}};
    const auto& db = Open(d);
    const auto& t = Table(db, "T");
    EXPECT_EQ(t.ValidationRule(), "[A]<>0");
    EXPECT_EQ(t.ValidationText(), "No zero");
    EXPECT_EQ(t.RecordCount(), 1234);
    EXPECT_EQ(t.Attributes(), 0U);
    EXPECT_EQ(t.DateCreated(), schema::Variant(schema::DateTime{2021, 6, 7, 8, 9, 10}));
    EXPECT_EQ(t.LastUpdated(), schema::Variant(schema::DateTime{2021, 7, 8, 9, 10, 11}));
    EXPECT_EQ(t.SourceTableName(), "");
    const auto& hidden = Table(db, "Hidden");
    EXPECT_EQ(hidden.ValidationRule(), "");
    EXPECT_EQ(hidden.RecordCount(), 0);
    EXPECT_NE(hidden.Attributes(), 0U);
    EXPECT_EQ(hidden.Attributes() & schema::table_attribute::kSystemObject, 0U);
    EXPECT_NE(Table(db, "USysFlag").Attributes() & schema::table_attribute::kSystemObject, 0U);
    EXPECT_NE(Table(db, "MSysObjects").Attributes() & schema::table_attribute::kSystemObject, 0U);
    const auto& link = Table(db, "Link");
    EXPECT_NE(link.Attributes() & schema::table_attribute::kAttachedTable, 0U);
    EXPECT_EQ(link.SourceTableName(), "Remote");
}

TEST_F(ReaderOnGenerated, IndexFlagsColumnsAndDistinctCounts) {
    const auto& t = Table(
        Open(OneTable(
            {{{"name", "ID"}, {"type", "Long"}},
             {{"name", "K"}, {"type", "Long"}},
             {{"name", "S"}, {"type", "Text"}}},
            {{"indexes",
              {{{"name", "PrimaryKey"}, {"columns", {"ID"}}, {"primary", true}},
               {{"name", "Uniq"}, {"columns", {"S"}}, {"unique", true}},
               {{"name", "Nulls"}, {"columns", {"K"}}, {"ignoreNulls", true}},
               {{"name", "Req"}, {"columns", {"K"}}, {"required", true}},
               {{"name", "Multi"}, {"columns", {"K", {{"name", "S"}, {"descending", true}}}}}}},
             {"rows", {{1, 5, "a"}, {2, 5, "B"}, {3, nullptr, "b"}, {4, 7, nullptr}}}})),
        "T");
    const auto& pk = IndexOf(t, "PrimaryKey");
    EXPECT_TRUE(pk.Primary());
    EXPECT_TRUE(pk.Unique());
    EXPECT_TRUE(pk.Required());
    EXPECT_FALSE(pk.Foreign());
    EXPECT_FALSE(pk.Clustered());
    EXPECT_EQ(pk.DistinctCount(), 4);
    EXPECT_EQ(pk.Fields(), schema::Variant(std::string("+ID")));
    const auto& uniq = IndexOf(t, "Uniq");
    EXPECT_TRUE(uniq.Unique());
    EXPECT_FALSE(uniq.Primary());
    EXPECT_FALSE(uniq.IgnoreNulls());
    EXPECT_EQ(uniq.DistinctCount(), 3);  // "B" and "b" are one key; null is a key
    const auto& nulls = IndexOf(t, "Nulls");
    EXPECT_TRUE(nulls.IgnoreNulls());
    EXPECT_FALSE(nulls.Unique());
    EXPECT_EQ(nulls.DistinctCount(), 2);  // the null key is left out
    EXPECT_TRUE(IndexOf(t, "Req").Required());
    EXPECT_FALSE(IndexOf(t, "Req").IgnoreNulls());
    EXPECT_EQ(IndexOf(t, "Req").DistinctCount(), 3);
    EXPECT_EQ(IndexOf(t, "Multi").Fields(), schema::Variant(std::string("+K;-S")));
    EXPECT_EQ(IndexOf(t, "Multi").DistinctCount(), 4);
}

Json TwoTables() {
    Json d = {{"tables",
               {{{"name", "P"},
                 {"columns", {{{"name", "ID"}, {"type", "Long"}}}},
                 {"indexes", {{{"name", "PrimaryKey"}, {"columns", {"ID"}}, {"primary", true}}}}},
                {{"name", "F"},
                 {"columns",
                  {{{"name", "ID"}, {"type", "Long"}}, {{"name", "PID"}, {"type", "Long"}}}}}}}};
    return d;
}

TEST_F(ReaderOnGenerated, EachRelationAttributeBit) {
    namespace ra = schema::relation_attribute;
    const std::vector<std::pair<std::string, std::uint32_t>> cases = {
        {"Plain", 0},
        {"Unique", ra::kUnique},
        {"DontEnforce", ra::kDontEnforce},
        {"UpdateCascade", ra::kUpdateCascade},
        {"DeleteCascade", ra::kDeleteCascade},
        {"Left", ra::kLeft},
        {"Right", ra::kRight},
        {"Both", ra::kUpdateCascade | ra::kDeleteCascade}};
    for (const auto& [name, bits] : cases) {
        SCOPED_TRACE(name);
        Json d = TwoTables();
        d["relationships"] = {{{"name", "R" + name},
                               {"table", "P"},
                               {"columns", {"ID"}},
                               {"foreignTable", "F"},
                               {"foreignColumns", {"PID"}},
                               {"attributes", bits}}};
        const auto& db = Open(d);
        ASSERT_EQ(db.Relations().Count(), 1);
        const auto& r = db.Relations().Item(0);
        EXPECT_EQ(r.Name(), "R" + name);
        EXPECT_EQ(r.Table(), "P");
        EXPECT_EQ(r.ForeignTable(), "F");
        EXPECT_EQ(r.Attributes(), bits);
        ASSERT_EQ(r.Fields().Count(), 1);
        EXPECT_EQ(r.Fields().Item(0).Name(), "ID");
        EXPECT_EQ(r.Fields().Item(0).ForeignName(), "PID");
        // Enforced relationships give both tables a foreign-key index.
        const auto& f = Table(db, "F");
        bool foreignIndex = false;
        for (int i = 0; i < f.Indexes().Count(); ++i) {
            foreignIndex = foreignIndex || f.Indexes().Item(i).Foreign();
        }
        EXPECT_EQ(foreignIndex, (bits & ra::kDontEnforce) == 0);
    }
}

TEST_F(ReaderOnGenerated, EachQueryTypeWithItsParameters) {
    namespace qt = schema::query_type;
    Json d = TwoTables();
    d["queries"] = {
        {{"name", "Sel"},
         {"type", "select"},
         {"tables", {"P"}},
         {"columns", {"P.ID"}},
         {"parameters",
          {{{"name", "[Low]"}, {"type", "Long"}},
           {{"name", "[Label]"}, {"type", "Text"}, {"size", 20}}}},
         {"where", "P.ID > [Low]"},
         {"created", "2020-01-02T03:04:05"}},
        {{"name", "Xtab"},
         {"type", "crosstab"},
         {"tables", {"F"}},
         {"columns",
          {{{"expression", "F.ID"}, {"crosstab", "rowHeading"}},
           {{"expression", "F.PID"}, {"crosstab", "columnHeading"}},
           {{"expression", "Count(F.ID)"}, {"alias", "N"}, {"crosstab", "value"}}}},
         {"groupBy",
          {{{"expression", "F.ID"}, {"crosstab", "rowHeading"}},
           {{"expression", "F.PID"}, {"crosstab", "columnHeading"}}}}},
        {{"name", "Del"},
         {"type", "delete"},
         {"tables", {"F"}},
         {"columns", {"F.*"}},
         {"where", "F.PID Is Null"}},
        {{"name", "Upd"},
         {"type", "update"},
         {"tables", {"F"}},
         {"parameters", {{{"name", "[New]"}, {"type", "Long"}}}},
         {"columns", {{{"expression", "[New]"}, {"target", "F.PID"}}}}},
        {{"name", "App"},
         {"type", "append"},
         {"target", "P"},
         {"tables", {"F"}},
         {"columns", {{{"expression", "F.ID"}, {"target", "ID"}}}}},
        {{"name", "Make"},
         {"type", "makeTable"},
         {"target", "Copy"},
         {"tables", {"P"}},
         {"columns", {"P.ID"}}},
        {{"name", "Ddl"}, {"type", "dataDefinition"}, {"sql", "DROP TABLE Copy;"}},
        {{"name", "Pass"}, {"type", "passThrough"}, {"sql", "SELECT 1"}, {"connect", "ODBC;DSN=X"}},
        {{"name", "Uni"}, {"type", "union"}, {"union", {"SELECT ID FROM P", "SELECT ID FROM F"}}},
        {{"name", "Top"},
         {"type", "select"},
         {"top", "7"},
         {"distinct", true},
         {"tables", {"P"}},
         {"columns", {"P.ID"}},
         {"orderBy", {{{"expression", "P.ID"}, {"descending", true}}}}}};
    const auto& db = Open(d);
    const std::vector<std::tuple<std::string, std::int16_t, std::string>> cases = {
        {"Sel", qt::kSelect, "WHERE"},
        {"Xtab", qt::kCrosstab, "TRANSFORM"},
        {"Del", qt::kDelete, "DELETE"},
        {"Upd", qt::kUpdate, "UPDATE"},
        {"App", qt::kAppend, "INSERT INTO"},
        {"Make", qt::kMakeTable, "INTO"},
        {"Ddl", qt::kDataDefinition, "DROP TABLE Copy;"},
        {"Pass", qt::kPassThrough, "SELECT 1"},
        {"Uni", qt::kUnion, "UNION"},
        {"Top", qt::kSelect, "TOP 7"}};
    ASSERT_EQ(db.QueryDefs().Count(), static_cast<int>(cases.size()));
    for (const auto& [name, type, sqlPart] : cases) {
        SCOPED_TRACE(name);
        const auto& q = QueryOf(db, name);
        EXPECT_EQ(q.Type(), type);
        EXPECT_THAT(q.SQL(), HasSubstr(sqlPart));
    }
    const auto& sel = QueryOf(db, "Sel");
    ASSERT_EQ(sel.Parameters().Count(), 2);
    EXPECT_EQ(sel.Parameters().Item(0).Name(), "[Low]");
    EXPECT_EQ(sel.Parameters().Item(0).Type(), 4);
    EXPECT_EQ(sel.Parameters().Item(1).Name(), "[Label]");
    EXPECT_EQ(sel.Parameters().Item(1).Type(), 10);
    EXPECT_EQ(sel.Parameters().Item(0).Direction(), schema::parameter_direction::kInput);
    EXPECT_EQ(sel.DateCreated(), schema::Variant(schema::DateTime{2020, 1, 2, 3, 4, 5}));
    EXPECT_THAT(QueryOf(db, "Top").SQL(), HasSubstr("DISTINCT"));
    EXPECT_EQ(QueryOf(db, "Upd").Parameters().Count(), 1);
    EXPECT_EQ(QueryOf(db, "Del").Parameters().Count(), 0);
}

TEST_F(ReaderOnGenerated, DatabaseCollatingOrderFollowsTheHeader) {
    for (const int order : {1033, 1053}) {
        Json d = OneTable({{{"name", "A"}, {"type", "Long"}}});
        d["sortOrder"] = order;
        EXPECT_EQ(Open(d).CollatingOrder(), order);
    }
}

}  // namespace
}  // namespace ostrel::jetgen::test
