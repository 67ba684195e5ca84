// The real Access files Debian ships (fetched into the build tree by
// fetch_debian_samples.sh, which this test runs once): a Jet 4 file from
// mrtg-contrib and a Jet 3 file from fp-units-db. Skips when they cannot be
// downloaded.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "components/jet/jet_engine.h"

namespace ostrel::jet::test {
namespace {

namespace dt = schema::data_type;

const std::string kDir = OSTREL_DEBIAN_SAMPLES_DIR;

class DebianSamples : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const std::string command = std::string("sh '") + OSTREL_SOURCE_DIR +
                                    "/tests/jet/fetch_debian_samples.sh' '" + kDir + "'";
        [[maybe_unused]] const int status = std::system(command.c_str());
    }
    static std::string PathOf(const char* name) {
        const std::string path = kDir + "/" + name;
        return std::filesystem::exists(path) ? path : "";
    }
};

struct ExpectedField {
    const char* name;
    std::int16_t type;
    std::int32_t size;
};

void ExpectFields(const schema::TableDef& table, const std::vector<ExpectedField>& fields) {
    ASSERT_EQ(table.Fields().Count(), static_cast<int>(fields.size()));
    for (int i = 0; i < table.Fields().Count(); ++i) {
        const auto& f = table.Fields().Item(i);
        const ExpectedField& e = fields[static_cast<std::size_t>(i)];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(f.Name(), e.name);
        EXPECT_EQ(f.Type(), e.type);
        EXPECT_EQ(f.Size(), e.size);
        EXPECT_EQ(f.OrdinalPosition(), i);
    }
}

const schema::TableDef* FindTable(const schema::Database& db, const std::string& name) {
    for (int i = 0; i < db.TableDefs().Count(); ++i) {
        if (db.TableDefs().Item(i).Name() == name)
            return &db.TableDefs().Item(i);
    }
    return nullptr;
}

TEST_F(DebianSamples, MrtgMonitorIsJet4) {
    const std::string path = PathOf("Monitor.mdb");
    if (path.empty())
        GTEST_SKIP() << "mrtg-contrib could not be downloaded";
    JetEngine engine;
    const auto db = engine.OpenDatabase(path);
    EXPECT_EQ(db->Version(), "4.0");
    EXPECT_EQ(db->CollatingOrder(), 1033);
    const schema::TableDef* table = FindTable(*db, "Monitor_Authenticate");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->RecordCount(), 1);
    ExpectFields(*table, {{"ID", dt::kLong, 4},
                          {"LineNumber", dt::kDecimal, 16},
                          {"LinePassword", dt::kText, 8},
                          {"LineSpeed", dt::kDecimal, 16},
                          {"EMail_Address", dt::kText, 50},
                          {"Graph_Day", dt::kBoolean, 1},
                          {"Graph_Week", dt::kBoolean, 1},
                          {"Graph_Month", dt::kBoolean, 1},
                          {"Graph_Year", dt::kBoolean, 1},
                          {"Graph_EMail", dt::kBoolean, 1},
                          {"LastVisit", dt::kDate, 8},
                          {"Comment", dt::kText, 255}});
    // Every table is listed, system tables included.
    EXPECT_NE(FindTable(*db, "MSysObjects"), nullptr);
    EXPECT_NE(FindTable(*db, "MSysAccessObjects"), nullptr);
}

TEST_F(DebianSamples, FreePascalOdbcSampleIsJet3) {
    const std::string path = PathOf("testodbc.mdb");
    if (path.empty())
        GTEST_SKIP() << "fp-units-db-3.2.2 could not be downloaded";
    JetEngine engine;
    const auto db = engine.OpenDatabase(path);
    EXPECT_EQ(db->Version(), "3.0");
    const schema::TableDef* table = FindTable(*db, "FPdev");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->RecordCount(), 8);
    ExpectFields(
        *table,
        {{"id", dt::kLong, 4}, {"UserName", dt::kText, 255}, {"InstEmail", dt::kText, 255}});
    EXPECT_NE(FindTable(*db, "MSysModules2"), nullptr);
}

}  // namespace
}  // namespace ostrel::jet::test
