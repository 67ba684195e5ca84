#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "components/memory/memory_database.h"
#include "components/schema/schema_error.h"

namespace ostrel::memory {
namespace {

using schema::DateTime;
using schema::SchemaError;

DatabaseBlueprint Refusing() {
    return {.tables = {{.name = "T",
                        .fields = {{.name = "F", .refused = {"Size", "DefaultValue"}}},
                        .indexes = {{.name = "I", .fields = "+F", .refused = {"Fields"}}},
                        .refused = {"RecordCount"}}},
            .queries = {{.name = "Q",
                         .parameters = {{.name = "P", .refused = {"Direction"}}},
                         .refused = {"SQL"}}},
            .relations = {{.name = "R", .refused = {"Attributes"}}},
            .refused = {"Version"}};
}

TEST(MemoryDatabase, RefusedMembersThrowAndOthersAnswer) {
    const auto db = OpenMemoryDatabase(Refusing());
    EXPECT_THROW(db->Version(), SchemaError);
    EXPECT_EQ(db->CollatingOrder(), 1033);

    const auto& table = db->TableDefs().Item(0);
    EXPECT_THROW(table.RecordCount(), SchemaError);
    EXPECT_EQ(table.Name(), "T");
    const auto& field = table.Fields().Item(0);
    EXPECT_THROW(field.Size(), SchemaError);
    EXPECT_THROW(field.DefaultValue(), SchemaError);
    EXPECT_EQ(field.Type(), schema::data_type::kText);
    EXPECT_THROW(table.Indexes().Item(0).Fields(), SchemaError);
    EXPECT_EQ(table.Indexes().Item(0).Name(), "I");

    const auto& query = db->QueryDefs().Item(0);
    EXPECT_THROW(query.SQL(), SchemaError);
    EXPECT_EQ(query.ODBCTimeout(), 60);
    EXPECT_THROW(query.Parameters().Item(0).Direction(), SchemaError);
    EXPECT_EQ(query.Parameters().Item(0).Type(), schema::data_type::kText);
    EXPECT_THROW(db->Relations().Item(0).Attributes(), SchemaError);
}

TEST(MemoryDatabase, RefusalMessageNamesMemberAndOwner) {
    const auto db = OpenMemoryDatabase(Refusing());
    try {
        (void)db->TableDefs().Item(0).Fields().Item(0).Size();
        FAIL() << "no error";
    } catch (const SchemaError& error) {
        EXPECT_STREQ(error.what(), "property 'Size' of 'F' is not available");
    }
}

TEST(MemoryDatabase, ItemsOutsideTheCollectionThrow) {
    const auto db = OpenMemoryDatabase(Refusing());
    EXPECT_EQ(db->TableDefs().Count(), 1);
    EXPECT_THROW(db->TableDefs().Item(1), SchemaError);
    EXPECT_THROW(db->TableDefs().Item(-1), SchemaError);
    EXPECT_THROW(db->Relations().Item(0).Fields().Item(0), SchemaError);
}

TEST(MemoryEngine, OpensOnlyRegisteredPaths) {
    MemoryEngine engine;
    engine.Register("/data/a.mdb", {.version = "3.0"});
    EXPECT_THROW(engine.OpenDatabase("/data/b.mdb"), SchemaError);
    EXPECT_EQ(engine.OpenCount(), 0);
    EXPECT_EQ(engine.OpenDatabase("/data/a.mdb")->Version(), "3.0");
    EXPECT_EQ(engine.OpenCount(), 1);
}

TEST(OleDate, KnownDates) {
    EXPECT_EQ(DateTime::FromOleDate(0.0), (DateTime{1899, 12, 30, 0, 0, 0}));
    EXPECT_EQ(DateTime::FromOleDate(1.0), (DateTime{1899, 12, 31, 0, 0, 0}));
    EXPECT_EQ(DateTime::FromOleDate(2.5), (DateTime{1900, 1, 1, 12, 0, 0}));
    EXPECT_EQ(DateTime::FromOleDate(45000.75), (DateTime{2023, 3, 15, 18, 0, 0}));
    EXPECT_EQ(DateTime::FromOleDate(60.0), (DateTime{1900, 2, 28, 0, 0, 0}));
    EXPECT_EQ(DateTime::FromOleDate(61.0), (DateTime{1900, 3, 1, 0, 0, 0}));
}

TEST(OleDate, BeforeTheEpochTheFractionStillCountsForward) {
    EXPECT_EQ(DateTime::FromOleDate(-1.25), (DateTime{1899, 12, 29, 6, 0, 0}));
    EXPECT_EQ(DateTime::FromOleDate(-2.75), (DateTime{1899, 12, 28, 18, 0, 0}));
    EXPECT_DOUBLE_EQ((DateTime{1899, 12, 29, 6, 0, 0}).ToOleDate(), -1.25);
}

TEST(OleDate, RoundsToTheSecond) {
    EXPECT_EQ(DateTime::FromOleDate(1.0 - 1e-9), (DateTime{1899, 12, 31, 0, 0, 0}));
    EXPECT_EQ(DateTime::FromOleDate(0.5 + 0.4 / 86400), (DateTime{1899, 12, 30, 12, 0, 0}));
    EXPECT_EQ(DateTime::FromOleDate(0.5 + 0.6 / 86400), (DateTime{1899, 12, 30, 12, 0, 1}));
}

TEST(OleDate, RoundTrips) {
    for (const DateTime& d : {DateTime{2026, 12, 6, 18, 15, 30}, DateTime{100, 1, 1, 0, 0, 0},
                              DateTime{9999, 12, 31, 23, 59, 59}, DateTime{1899, 1, 1, 1, 2, 3},
                              DateTime{2000, 2, 29, 0, 0, 1}}) {
        EXPECT_EQ(DateTime::FromOleDate(d.ToOleDate()), d) << d.year << "-" << d.month;
    }
}

TEST(OleDate, ValuesNoFileCanHoldGiveTheEpoch) {
    const DateTime epoch{};
    EXPECT_EQ(DateTime::FromOleDate(std::numeric_limits<double>::quiet_NaN()), epoch);
    EXPECT_EQ(DateTime::FromOleDate(std::numeric_limits<double>::infinity()), epoch);
    EXPECT_EQ(DateTime::FromOleDate(1e300), epoch);
    EXPECT_EQ(DateTime::FromOleDate(-1e300), epoch);
}

// The lines the VBA editor shows: the hidden header (an exported class's
// VERSION block, then the "Attribute VB_" lines) left out, any line end
// ending a line, a final one not starting another.
TEST(ModuleText, VisibleLinesAfterTheHiddenHeader) {
    struct Case {
        const char* text;
        std::size_t header;
        int lines;
    };
    const Case cases[] = {
        {"Attribute VB_Name = \"M\"\r\nOption Explicit\r\n", 25, 1},
        {"Attribute VB_Name = \"M\"\rA\rB", 24, 2},
        {"Attribute VB_Name = \"M\"\nA\n\nB\n\n", 24, 4},
        {"VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1\r\nEND\r\nAttribute VB_Name = "
         "\"C\"\r\nPrivate x\r\n",
         73, 1},
        {"VERSION 1.0 CLASS\r\nNo block follows\r\n", 0, 2},
        {"Option Explicit", 0, 1},
        {"Attribute VB_Name = \"M\"\r\n", 25, 1},
        {"", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(schema::HiddenHeaderLength(c.text), c.header);
        EXPECT_EQ(schema::VisibleLineCount(c.text), c.lines);
    }
    const auto db = OpenMemoryDatabase(
        {.modules = {{.name = "Good", .source = cases[3].text},
                     {.name = "Bad", .source = "x", .problem = "damaged: the module"}}});
    EXPECT_EQ(db->Modules().Item(0).LineCount(), 1);
    EXPECT_EQ(db->Modules().Item(1).LineCount(), 0);
    EXPECT_THROW((void)db->Modules().Item(1).Source(), SchemaError);
    EXPECT_EQ(db->Forms().Count(), 0);
}

}  // namespace
}  // namespace ostrel::memory
