// Files that are not databases, are cut short, encrypted or damaged must give
// a clear error naming the file and what is wrong, never a crash, a hang or a
// huge allocation. The files are built here, so these tests need nothing from
// outside the project.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "components/jet/jet_engine.h"
#include "components/schema/schema_error.h"
#include "tests/jet/jet_file_builder.h"

namespace ostrel::jet::test {
namespace {

const std::string kLabel = "built.mdb";

std::unique_ptr<schema::Database> Open(const BuiltFile& f) {
    return OpenDatabaseFromMemory(f.bytes, kLabel);
}

// Runs action and returns the SchemaError's message ("" when none was thrown).
template <class Action>
std::string ErrorOf(Action action) {
    try {
        action();
    } catch (const schema::SchemaError& e) {
        return e.what();
    }
    return "";
}

void ReadEverything(const schema::Database& db) {
    for (int i = 0; i < db.TableDefs().Count(); ++i) {
        const schema::TableDef& t = db.TableDefs().Item(i);
        (void)t.RecordCount();
        for (int j = 0; j < t.Fields().Count(); ++j) {
            (void)t.Fields().Item(j).DefaultValue();
        }
        (void)t.Indexes().Count();
    }
}

TEST(BuiltFile, OpensWithItsTableFieldsAndKey) {
    const BuiltFile f = BuildJet4File();
    const auto db = Open(f);
    EXPECT_EQ(db->Version(), "4.0");
    EXPECT_EQ(db->CollatingOrder(), 1033);
    EXPECT_EQ(db->ReplicaID(), "{12345678-1234-5678-9ABC-DEF001234567}");
    EXPECT_TRUE(db->Transactions());
    EXPECT_FALSE(db->Updatable());  // a buffer cannot be written
    ASSERT_EQ(db->TableDefs().Count(), 1);
    const schema::TableDef& orders = db->TableDefs().Item(0);
    EXPECT_EQ(orders.Name(), "Orders");
    EXPECT_EQ(orders.RecordCount(), 3);
    ASSERT_EQ(orders.Fields().Count(), 2);
    const schema::Field& id = orders.Fields().Item(0);
    EXPECT_EQ(id.Type(), schema::data_type::kLong);
    EXPECT_EQ(id.Attributes(),
              schema::field_attribute::kFixed | schema::field_attribute::kUpdatable |
                  schema::field_attribute::kAutoIncrement | schema::field_attribute::kSystem);
    const schema::Field& customer = orders.Fields().Item(1);
    EXPECT_EQ(customer.Type(), schema::data_type::kText);
    EXPECT_EQ(customer.Size(), 50);
    EXPECT_EQ(customer.Attributes(),
              schema::field_attribute::kVariable | schema::field_attribute::kUpdatable);
    ASSERT_EQ(orders.Indexes().Count(), 1);
    const schema::Index& key = orders.Indexes().Item(0);
    EXPECT_TRUE(key.Primary());
    EXPECT_TRUE(key.Unique());
    EXPECT_TRUE(key.Required());
    EXPECT_EQ(key.DistinctCount(), 3);
    EXPECT_EQ(key.Fields(), schema::Variant(std::string("+OrderID")));
    EXPECT_EQ(orders.ValidationRule(), "[Customer]<>'x'");
    EXPECT_EQ(orders.ValidationText(), "no x");
    EXPECT_TRUE(schema::IsNull(orders.ReplicaFilter()));
    EXPECT_EQ(customer.DefaultValue(), schema::Variant(std::string("\"anon\"")));
    EXPECT_TRUE(customer.Required());
    EXPECT_TRUE(customer.AllowZeroLength());  // the later block wins
    EXPECT_EQ(customer.ValidationRule(), "Like 'A*'");
    EXPECT_EQ(customer.ValidationText(), "starts with A");
    EXPECT_FALSE(id.Required());
    EXPECT_EQ(id.DefaultValue(), schema::Variant(std::string()));
    EXPECT_EQ(db->QueryDefs().Count(), 0);
    EXPECT_EQ(db->Relations().Count(), 0);
    db->Close();
    EXPECT_NE(ErrorOf([&] { (void)db->Version(); }).find("closed"), std::string::npos);
}

TEST(BadHeader, IsReportedWithTheFileName) {
    BuiltFile f = BuildJet4File();
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* message;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}, "not an Access database"});
    cases.push_back({"text", std::vector<std::uint8_t>(5000, 'x'), "not an Access database"});
    BuiltFile magic = f;
    magic.bytes[1] = 7;
    cases.push_back({"magic", magic.bytes, "not an Access database"});
    BuiltFile engine = f;
    engine.bytes[4] = 'X';
    cases.push_back({"engine name", engine.bytes, "not an Access database"});
    BuiltFile version = f;
    version.bytes[0x14] = 9;
    cases.push_back({"version", version.bytes, "unknown Access file version"});
    BuiltFile ace = f;
    const std::string aceName = "Standard ACE DB";
    std::copy(aceName.begin(), aceName.end(), ace.bytes.begin() + 4);
    cases.push_back({"Jet version byte in an ACE file", ace.bytes, "unknown Access file version"});
    cases.push_back({"header only",
                     std::vector<std::uint8_t>(f.bytes.begin(), f.bytes.begin() + 0x20),
                     "truncated"});
    cases.push_back({"two pages",
                     std::vector<std::uint8_t>(f.bytes.begin(), f.bytes.begin() + 8192),
                     "truncated"});
    BuiltFile encoded = f;
    encoded.PutHeader32(0x3E, 0x12345678);
    // Encoded pages decrypted with a key they were not encoded with are garbage.
    cases.push_back({"encoded pages under another key", encoded.bytes, "damaged"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string message = ErrorOf([&] { OpenDatabaseFromMemory(c.bytes, kLabel); });
        EXPECT_NE(message.find(kLabel), std::string::npos) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
}

TEST(BadFile, MissingFileIsReported) {
    JetEngine engine;
    const std::string message = ErrorOf([&] { engine.OpenDatabase("/nonexistent/none.mdb"); });
    EXPECT_NE(message.find("/nonexistent/none.mdb"), std::string::npos) << message;
}

TEST(DamagedDefinition, NamesTheTableAndPage) {
    BuiltFile f = BuildJet4File();
    f.Put32(f.ordersIdOffset, 999);  // definition page beyond the file
    const auto db = Open(f);
    const std::string message = ErrorOf([&] { ReadEverything(*db); });
    EXPECT_NE(message.find("damaged: table definition of 'Orders' at page 999"), std::string::npos)
        << message;
    EXPECT_NE(message.find(kLabel), std::string::npos);

    BuiltFile notDefinition = BuildJet4File();
    notDefinition.Put32(notDefinition.ordersIdOffset, 4);  // a data page
    const auto db2 = Open(notDefinition);
    EXPECT_NE(ErrorOf([&] { ReadEverything(*db2); }).find("not a table definition page"),
              std::string::npos);
}

TEST(DamagedDefinition, LoopingAndLongChainsEnd) {
    BuiltFile loop = BuildJet4File();
    loop.Put32(loop.PageOffset(BuiltFile::kOrdersDefinitionPage) + 4,
               BuiltFile::kOrdersDefinitionPage);
    const auto db = Open(loop);
    EXPECT_NE(ErrorOf([&] { ReadEverything(*db); }).find("loop"), std::string::npos);

    BuiltFile outside = BuildJet4File();
    outside.Put32(outside.PageOffset(BuiltFile::kOrdersDefinitionPage) + 4, 0x7FFFFFFF);
    const auto db2 = Open(outside);
    EXPECT_NE(ErrorOf([&] { ReadEverything(*db2); }).find("beyond the end of the file"),
              std::string::npos);
}

TEST(DamagedDefinition, HugeCountsGiveErrorsNotAllocations) {
    const std::size_t at = BuildJet4File().PageOffset(BuiltFile::kOrdersDefinitionPage);
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
        bool wide;
    };
    const Case cases[] = {{"column count", at + 45, 0xFFFF, false},
                          {"logical index count", at + 47, 0xFFFFFFFF, true},
                          {"real index count", at + 51, 0x40000000, true},
                          {"logical index pointing nowhere",
                           // header, key count, two columns, two names, the key, then its field
                           at + std::size_t{63 + 12 + 50 + 16 + 18 + 52 + 8}, 77, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuiltFile f = BuildJet4File();
        if (c.wide) {
            f.Put32(c.offset, c.value);
        } else {
            f.Put16(c.offset, static_cast<std::uint16_t>(c.value));
        }
        const auto db = Open(f);
        const std::string message = ErrorOf([&] { ReadEverything(*db); });
        EXPECT_NE(message.find("damaged: table definition of 'Orders' at page 5"),
                  std::string::npos)
            << message;
    }
}

TEST(DamagedCatalog, RowsAndUsageMapsAreChecked) {
    // A row offset pointing inside the row table.
    BuiltFile rows = BuildJet4File();
    rows.Put16(rows.PageOffset(BuiltFile::kCatalogDataPage) + 14, 3);
    EXPECT_NE(ErrorOf([&] { Open(rows); }).find("damaged: catalog"), std::string::npos);

    // A usage map marking a page beyond the file.
    BuiltFile map = BuildJet4File();
    map.Put32(map.PageOffset(3) + BuiltFile::kPageSize - 69 + 1, 0x7FFFFF00);
    EXPECT_NE(ErrorOf([&] { Open(map); }).find("beyond the end of the file"), std::string::npos);

    // A usage map of an unknown kind.
    BuiltFile kind = BuildJet4File();
    kind.bytes[kind.PageOffset(3) + BuiltFile::kPageSize - 69] = 7;
    EXPECT_NE(ErrorOf([&] { Open(kind); }).find("unknown usage map type"), std::string::npos);

    // A catalog whose rows claim more variable columns than they hold.
    BuiltFile vars = BuildJet4File();
    const std::size_t lastRowEnd =
        vars.PageOffset(BuiltFile::kCatalogDataPage) + BuiltFile::kPageSize;
    vars.Put16(lastRowEnd - 1 - 2, 0x7FFF);
    EXPECT_NE(ErrorOf([&] { Open(vars); }).find("damaged"), std::string::npos);
}

TEST(DamagedProperties, BlobsAreCheckedWhenRead) {
    const BuiltFile good = BuildJet4File();
    const std::string tag = "MR2";  // Orders' blob lies after the database's on the page
    const auto at = static_cast<std::size_t>(
        std::find_end(good.bytes.begin(), good.bytes.end(), tag.begin(), tag.end()) -
        good.bytes.begin());
    ASSERT_LT(at, good.bytes.size());
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
        const char* message;
    };
    const Case cases[] = {
        {"block longer than the blob", at + 4, 0xFFFFFFF0U, "property block length"},
        {"long value longer than the file", at - 12, 0x80000000U | 0x3FFFFFF0U, "exceeds the file"},
        {"long value on a page beyond the file", at - 12 + 4, 0x7FFFFF00U,
         "beyond the end of the file"},
        {"unknown tag", at, 0x00585858U, "unknown property blob tag"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuiltFile f = BuildJet4File();
        f.Put32(c.offset, c.value);
        if (std::string(c.what).find("page beyond") != std::string::npos) {
            f.Put32(at - 12, 100);  // stored on a long value page, not inline
        }
        const auto db = Open(f);
        const std::string message = ErrorOf([&] { ReadEverything(*db); });
        EXPECT_NE(message.find("properties of table 'Orders'"), std::string::npos) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
}

TEST(DamagedFile, TruncatedAfterTheCatalogStillNamesWhatIsMissing) {
    BuiltFile f = BuildJet4File();
    f.bytes.resize(f.PageOffset(BuiltFile::kOrdersDefinitionPage) + 100);  // cut inside Orders
    const auto db = Open(f);
    const std::string message = ErrorOf([&] { ReadEverything(*db); });
    EXPECT_NE(message.find("table definition of 'Orders' at page 5"), std::string::npos) << message;
}

}  // namespace
}  // namespace ostrel::jet::test
