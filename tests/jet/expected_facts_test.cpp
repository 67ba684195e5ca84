// Opens every real Access file of the test data folder and compares what the
// reader offers with the facts an independent reader recorded for the file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "components/jet/jet_engine.h"
#include "components/schema/schema_error.h"
#include "tests/support/expected_facts.h"
#include "tests/support/real_files.h"
#include "tests/support/testdata_dir.h"

namespace ostrel::jet::test {
namespace {

using nlohmann::json;
using schema::data_type::kAttachment;

// Members read leniently: a missing or null member reads as empty.
std::string Str(const json& j, const char* key) {
    const auto it = j.find(key);
    return it != j.end() && it->is_string() ? it->get<std::string>() : std::string();
}
std::int64_t Int(const json& j, const char* key) {
    const auto it = j.find(key);
    return it != j.end() && it->is_number() ? it->get<std::int64_t>() : 0;
}
bool Bool(const json& j, const char* key) {
    const auto it = j.find(key);
    return it != j.end() && it->is_boolean() && it->get<bool>();
}
const json& Member(const json& j, const char* key) {
    static const json kNull;
    const auto it = j.find(key);
    return it != j.end() ? *it : kNull;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The expected objects in DAO's order: by name without regard to case.
std::vector<const json*> SortedByName(const json& array) {
    std::vector<const json*> items;
    if (!array.is_array()) {
        return items;
    }
    for (const json& v : array) {
        items.push_back(&v);
    }
    std::stable_sort(items.begin(), items.end(), [](const json* a, const json* b) {
        return Lower(Str(*a, "name")) < Lower(Str(*b, "name"));
    });
    return items;
}

std::string VersionText(const std::string& jetFormat) {
    if (jetFormat == "VERSION_3")
        return "3.0";
    if (jetFormat == "VERSION_4")
        return "4.0";
    if (jetFormat == "VERSION_12")
        return "12.0";
    if (jetFormat == "VERSION_14")
        return "14.0";
    if (jetFormat == "VERSION_16")
        return "16.0";
    if (jetFormat == "VERSION_17")
        return "17.0";
    return "?";
}

// DAO's type code of a multi-valued column: the multi-valued code of the
// type of the "Value" column in the hidden table that holds its values,
// "f_" + 32 hex digits + "_" + the column's name (cut to 64 characters);
// -1 when the expected facts hold no such table.
int MultiValuedDaoType(const json& tables, const std::string& column) {
    static const std::map<std::int64_t, int> complexCodes = {{0x02, 102}, {0x03, 103}, {0x04, 104},
                                                             {0x06, 105}, {0x07, 106}, {0x0F, 107},
                                                             {0x10, 108}, {0x0A, 109}};
    constexpr std::size_t kPrefix = 35;  // "f_", 32 hex digits, "_"
    for (const json& candidate : tables) {
        const std::string name = Str(candidate, "name");
        if (name.size() <= kPrefix || !name.starts_with("f_") ||
            !column.starts_with(name.substr(kPrefix)))
            continue;
        for (const json& c : Member(candidate, "columns")) {
            if (Str(c, "name") == "Value") {
                const auto it = complexCodes.find(Int(c, "typeCode"));
                return it != complexCodes.end() ? it->second : -1;
            }
        }
    }
    return -1;
}

// DAO's type code for a column as the expected facts describe it (for a
// calculated column its result type); -1 when those facts do not tell
// (types that reader does not know).
int ExpectedDaoType(const json& column, const json& tables) {
    const int code = static_cast<int>(Int(column, "typeCode"));
    switch (code) {
        case 0x0F:
            return schema::data_type::kGuid;
        case 0x10:
            return schema::data_type::kDecimal;
        case 0x13:
            return schema::data_type::kBigInt;
        case 0x14:
            return schema::data_type::kDateTimeExtended;
        case 0x12: {
            const std::string kind = Str(column, "complexType");
            if (kind == "ATTACHMENT")
                return kAttachment;
            if (kind == "VERSION_HISTORY")
                return schema::data_type::kMemo;
            if (kind == "MULTI_VALUE") {
                const int type = MultiValuedDaoType(tables, Str(column, "name"));
                EXPECT_GE(type, 0) << "no value table for " << Str(column, "name");
                return type;
            }
            return -1;
        }
        case 0xFE:
        case 0xFF:
            return -1;
        default:
            return code;
    }
}

std::string StringProperty(const json& properties, const char* name) {
    const json& v = Member(properties, name);
    if (v.is_string())
        return v.get<std::string>();
    if (v.is_number())
        return std::to_string(v.get<std::int64_t>());
    return "";
}

bool BoolProperty(const json& properties, const char* name) {
    return Bool(properties, name);
}

// DAO's Size of a value of a fixed-size Jet type.
std::int32_t FixedSize(int jetType) {
    static const std::map<int, std::int32_t> sizes = {{0x01, 1}, {0x02, 1}, {0x03, 2}, {0x04, 4},
                                                      {0x05, 8}, {0x06, 4}, {0x07, 8}, {0x10, 16}};
    const auto it = sizes.find(jetType);
    return it != sizes.end() ? it->second : -1;
}

void CompareField(const schema::Field& field, const json& column, int position, int textUnit,
                  int type) {
    SCOPED_TRACE("field " + Str(column, "name"));
    namespace fa = schema::field_attribute;
    EXPECT_EQ(field.Name(), Str(column, "name"));
    EXPECT_EQ(field.OrdinalPosition(), position);
    if (type >= 0) {
        EXPECT_EQ(field.Type(), type);
    }
    const int code = static_cast<int>(Int(column, "typeCode"));
    const auto length = static_cast<std::int32_t>(Int(column, "length"));
    if (Bool(column, "calculated")) {
        // The stored length covers the calculated value's stored form; the
        // size is the result's: text in characters as recorded, other
        // types their own size.
        if (code == 0x0A) {
            EXPECT_EQ(field.Size(), Int(column, "lengthInUnits"));
        } else if (code == 0x0C) {
            EXPECT_EQ(field.Size(), 0);
        } else {
            EXPECT_EQ(field.Size(), FixedSize(code));
        }
    } else if (code == 0x0A) {
        EXPECT_EQ(field.Size(), length / textUnit);
    } else if (code == 0x0B || code == 0x0C) {
        EXPECT_EQ(field.Size(), 0);
    } else if (code == 0x10) {
        EXPECT_EQ(field.Size(), 16);
    } else if (code != 0x01) {
        EXPECT_EQ(field.Size(), length);
    }
    const std::uint32_t attributes = field.Attributes();
    EXPECT_EQ((attributes & fa::kFixed) != 0, Bool(column, "fixedLength"));
    EXPECT_EQ((attributes & fa::kVariable) != 0, Bool(column, "variableLength"));
    EXPECT_EQ((attributes & fa::kAutoIncrement) != 0, Str(column, "autoNumberType") == "LONG");
    EXPECT_EQ((attributes & fa::kHyperlink) != 0, Bool(column, "hyperlink"));
    const json& properties = Member(column, "properties");
    if (Str(column, "complexType") == "UNSUPPORTED") {
        return;  // a column type made up for that file: its properties have no DAO meaning
    }
    EXPECT_EQ(field.Required(), BoolProperty(properties, "Required"));
    EXPECT_EQ(field.AllowZeroLength(), BoolProperty(properties, "AllowZeroLength"));
    EXPECT_EQ(field.ValidationRule(), StringProperty(properties, "ValidationRule"));
    EXPECT_EQ(field.ValidationText(), StringProperty(properties, "ValidationText"));
    EXPECT_EQ(field.DefaultValue(), schema::Variant(StringProperty(properties, "DefaultValue")));
}

void CompareIndex(const schema::Index& index, const json& expected) {
    SCOPED_TRACE("index " + Str(expected, "name"));
    EXPECT_EQ(index.Name(), Str(expected, "name"));
    EXPECT_EQ(index.Primary(), Bool(expected, "primaryKey"));
    EXPECT_EQ(index.Foreign(), Bool(expected, "foreignKey"));
    EXPECT_EQ(index.Unique(), Bool(expected, "unique"));
    EXPECT_EQ(index.IgnoreNulls(), Bool(expected, "ignoreNulls"));
    EXPECT_EQ(index.Required(), Bool(expected, "required"));
    EXPECT_FALSE(index.Clustered());
    EXPECT_EQ(index.DistinctCount(), Int(expected, "uniqueEntryCount"));
    std::string fields;
    for (const json& c : Member(expected, "columns")) {
        if (!fields.empty())
            fields += ';';
        fields += (Bool(c, "ascending") ? "+" : "-") + Str(c, "name");
    }
    EXPECT_EQ(index.Fields(), schema::Variant(fields));
}

void CompareTable(const schema::TableDef& table, const json& expected, int textUnit,
                  const json& allTables) {
    SCOPED_TRACE("table " + Str(expected, "name"));
    namespace ta = schema::table_attribute;
    EXPECT_EQ(table.Name(), Str(expected, "name"));
    const int type = static_cast<int>(Int(expected, "catalogType"));
    auto attributes = static_cast<std::uint32_t>(Int(expected, "catalogFlags"));
    if (type == 6)
        attributes |= ta::kAttachedTable;
    if (type == 4)
        attributes |= ta::kAttachedOdbc;
    EXPECT_EQ(table.Attributes(), attributes);
    EXPECT_EQ(table.DateCreated(), schema::Variant(schema::DateTime::FromOleDate(
                                       Member(expected, "dateCreateRaw").get<double>())));
    EXPECT_EQ(table.LastUpdated(), schema::Variant(schema::DateTime::FromOleDate(
                                       Member(expected, "dateUpdateRaw").get<double>())));
    const bool linked = type == 4 || type == 6;
    EXPECT_EQ(table.RecordCount(), linked ? -1 : Int(expected, "rowCount"));
    EXPECT_EQ(table.SourceTableName(), linked ? Str(expected, "linkedTableName") : "");
    const json& properties = Member(expected, "properties");
    EXPECT_EQ(table.ValidationRule(), StringProperty(properties, "ValidationRule"));
    EXPECT_EQ(table.ValidationText(), StringProperty(properties, "ValidationText"));
    if (type == 6) {
        return;  // the definition lives in the linked file
    }
    // Fields in the stored order (the expected facts list them by number).
    std::vector<const json*> columns;
    for (const json& c : Member(expected, "columns"))
        columns.push_back(&c);
    std::stable_sort(columns.begin(), columns.end(), [](const json* a, const json* b) {
        return Int(*a, "displayIndex") < Int(*b, "displayIndex");
    });
    const auto& fields = table.Fields();
    ASSERT_EQ(fields.Count(), static_cast<int>(columns.size()));
    for (int i = 0; i < fields.Count(); ++i) {
        const json& column = *columns[static_cast<std::size_t>(i)];
        CompareField(fields.Item(i), column, i, textUnit, ExpectedDaoType(column, allTables));
    }
    const auto indexes = SortedByName(Member(expected, "indexes"));
    const auto& actual = table.Indexes();
    ASSERT_EQ(actual.Count(), static_cast<int>(indexes.size()));
    for (int i = 0; i < actual.Count(); ++i) {
        CompareIndex(actual.Item(i), *indexes[static_cast<std::size_t>(i)]);
    }
}

std::string ForeignObjectOf(const json& relationships, const std::string& name) {
    for (const json& row : Member(relationships, "msysRelationships")) {
        if (Str(row, "szRelationship") == name) {
            return Str(row, "szObject");
        }
    }
    return "?";
}

void CompareRelations(const schema::Database& db, const json& expected) {
    const auto relations = SortedByName(Member(expected, "relationships"));
    const auto& actual = db.Relations();
    ASSERT_EQ(actual.Count(), static_cast<int>(relations.size()));
    for (int i = 0; i < actual.Count(); ++i) {
        const json& e = *relations[static_cast<std::size_t>(i)];
        const schema::Relation& r = actual.Item(i);
        SCOPED_TRACE("relation " + Str(e, "name"));
        EXPECT_EQ(r.Name(), Str(e, "name"));
        EXPECT_EQ(r.Table(), Str(e, "fromTable"));
        // DAO names the local table of the foreign side (szObject); the
        // recorded toTable follows a link to the table's name at its source.
        EXPECT_EQ(r.ForeignTable(), ForeignObjectOf(expected, Str(e, "name")));
        EXPECT_EQ(r.Attributes(), static_cast<std::uint32_t>(Int(e, "flags")));
        const json& from = Member(e, "fromColumns");
        const json& to = Member(e, "toColumns");
        ASSERT_EQ(r.Fields().Count(), static_cast<int>(from.size()));
        for (int j = 0; j < r.Fields().Count(); ++j) {
            const auto at = static_cast<std::size_t>(j);
            EXPECT_EQ(r.Fields().Item(j).Name(), from[at].get<std::string>());
            EXPECT_EQ(r.Fields().Item(j).ForeignName(), to[at].get<std::string>());
        }
    }
}

// The Flag of the MSysQueries parameter row (Attribute 2) named name.
int ParameterRowType(const json& query, const std::string& name) {
    for (const json& row : Member(query, "msysQueriesRows")) {
        if (Int(row, "Attribute") == 2 && Str(row, "Name1") == name) {
            return Member(row, "Flag").is_number() ? static_cast<int>(Int(row, "Flag")) : -1;
        }
    }
    return -1;
}

void CompareQueries(const schema::Database& db, const json& expected) {
    const auto queries = SortedByName(Member(expected, "queries"));
    const auto& actual = db.QueryDefs();
    ASSERT_EQ(actual.Count(), static_cast<int>(queries.size()));
    for (int i = 0; i < actual.Count(); ++i) {
        const json& e = *queries[static_cast<std::size_t>(i)];
        const schema::QueryDef& q = actual.Item(i);
        SCOPED_TRACE("query " + Str(e, "name"));
        EXPECT_EQ(q.Name(), Str(e, "name"));
        // The recorded catalogFlags keep the low bits (3 for the hidden
        // "~sq_" queries); DAO's type code is the flags masked with 0xF0.
        const int type = static_cast<int>(Int(e, "catalogFlags") & 0xF0);
        EXPECT_EQ(q.Type(), type);
        EXPECT_EQ(q.DateCreated(), schema::Variant(schema::DateTime::FromOleDate(
                                       Member(e, "dateCreateRaw").get<double>())));
        EXPECT_EQ(q.SQL(), testsupport::SqlAsAccessShowsIt(e));
        const bool action = type >= 32 && type <= 96;
        const json& maps = Member(e, "propertyMaps");
        const json& props =
            maps.is_array() && !maps.empty() ? Member(maps[0], "properties") : json();
        if (type == 112 && Member(props, "ReturnsRecords").is_boolean()) {
            EXPECT_EQ(q.ReturnsRecords(), Bool(props, "ReturnsRecords"));
        } else {
            EXPECT_EQ(q.ReturnsRecords(), !action);
        }
        EXPECT_EQ(q.ODBCTimeout(),
                  Member(props, "ODBCTimeout").is_number() ? Int(props, "ODBCTimeout") : 60);
        EXPECT_EQ(q.MaxRecords(), Int(props, "MaxRecords"));
        const json& parameters = Member(e, "parameters");
        ASSERT_EQ(q.Parameters().Count(), static_cast<int>(parameters.size()));
        for (int j = 0; j < q.Parameters().Count(); ++j) {
            // The type is the MSysQueries row's Flag (a DAO code, 0 for "Value").
            const auto recorded = testsupport::SplitRecordedParameter(
                parameters[static_cast<std::size_t>(j)].get<std::string>());
            const schema::Parameter& parameter = q.Parameters().Item(j);
            EXPECT_EQ(parameter.Name(), recorded.name);
            EXPECT_EQ(parameter.Type(), ParameterRowType(e, parameter.Name()));
            EXPECT_EQ(parameter.Direction(), schema::parameter_direction::kInput);
        }
    }
}

class ExpectedFacts : public ::testing::TestWithParam<std::string> {};

TEST_P(ExpectedFacts, ReaderMatchesRecordedFacts) {
    const auto testData = testsupport::TestDataDir();
    if (!testData) {
        GTEST_SKIP() << "test data folder absent: " << OSTREL_TESTDATA_DIR;
    }
    const auto recorded = testsupport::LoadExpectedFacts(*testData, GetParam());
    const json& expected = recorded.facts;
    const std::string path = recorded.databasePath.string();
    JetEngine engine;
    if (!expected.contains("tables")) {
        // That reader could not open the file: it must be the one with a
        // database password, which needs it and opens with it.
        const auto password = testsupport::KnownPassword(path);
        ASSERT_TRUE(password.has_value()) << "recorded without tables: " << path;
        try {
            engine.OpenDatabase(path);
            FAIL() << "opened a password-protected file without its password";
        } catch (const schema::PasswordError& e) {
            EXPECT_EQ(e.WhatFailed(), schema::PasswordError::Reason::Missing) << e.what();
        }
        engine.SetPasswordProvider(
            [&](const std::string&) { return std::optional<schema::Password>(*password); });
        const auto db = engine.OpenDatabase(path);
        ASSERT_GT(db->TableDefs().Count(), 0);
        for (int i = 0; i < db->TableDefs().Count(); ++i) {
            EXPECT_GT(db->TableDefs().Item(i).Fields().Count(), 0);
        }
        return;
    }
    const auto db = engine.OpenDatabase(path);
    const json& database = Member(expected, "database");
    EXPECT_EQ(db->CollatingOrder(), Int(Member(database, "defaultSortOrder"), "value"));
    EXPECT_EQ(db->Version(), VersionText(Str(database, "jetFormat")));
    EXPECT_TRUE(db->Transactions());
    const int textUnit = Str(database, "jetFormat") == "VERSION_3" ? 1 : 2;

    const auto tables = SortedByName(Member(expected, "tables"));
    const auto& actual = db->TableDefs();
    ASSERT_EQ(actual.Count(), static_cast<int>(tables.size()));
    for (int i = 0; i < actual.Count(); ++i) {
        CompareTable(actual.Item(i), *tables[static_cast<std::size_t>(i)], textUnit,
                     Member(expected, "tables"));
    }
    CompareRelations(*db, Member(expected, "relationships"));
    CompareQueries(*db, expected);
    db->Close();
}

std::vector<std::string> FilesOrPlaceholder() {
    auto files = testsupport::ListDatabases(OSTREL_TESTDATA_DIR);
    if (files.empty()) {
        files.emplace_back("absent");
    }
    return files;
}

INSTANTIATE_TEST_SUITE_P(RealFiles, ExpectedFacts, ::testing::ValuesIn(FilesOrPlaceholder()),
                         [](const auto& p) { return testsupport::TestNameOf(p.param); });

}  // namespace
}  // namespace ostrel::jet::test
