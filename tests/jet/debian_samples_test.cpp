// The real Access files Debian ships (fetched into the build tree by
// fetch_debian_samples.sh, which this test runs once): a Jet 4 file from
// mrtg-contrib and a Jet 3 file from fp-units-db. Skips when they cannot be
// downloaded.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "components/jet/catalog.h"
#include "components/jet/jet_engine.h"
#include "components/jet/page_file.h"
#include "components/jet/property_maps.h"

namespace ostrel::jet::test {
namespace {

namespace dt = schema::data_type;

const std::string kDir = OSTREL_FETCHED_SAMPLES_DIR "/debian";

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

// The database properties (the MSysDb row's blob) as this reader and as
// mdbtools' mdb-prop read them. The file's blobs hold lengths that disagree
// with their contents (see README.md); both readers keep what fits.
TEST_F(DebianSamples, Jet3DatabasePropertiesAgreeWithMdbtools) {
    const std::string path = PathOf("testodbc.mdb");
    if (path.empty())
        GTEST_SKIP() << "fp-units-db-3.2.2 could not be downloaded";
    const auto file = PageFile::Open(path);
    const Catalog catalog = ReadCatalog(*file);
    const CatalogEntry* msysDb = nullptr;
    for (const CatalogEntry& e : catalog.entries) {
        if (e.name == "MSysDb")
            msysDb = &e;
    }
    ASSERT_NE(msysDb, nullptr);
    const PropertyMaps maps =
        PropertyMaps::ReadStored(*file, msysDb->storedProperties, "database properties");
    ASSERT_NE(maps.Object(), nullptr);
    std::map<std::string, std::string> ours;
    for (const StoredProperty& p : maps.Object()->properties) {
        ours[p.name] = PropertyText(*file, &p).value_or("?");
    }
    EXPECT_EQ(ours.count("AccessVers"), 1U);

    FILE* pipe = ::popen(("mdb-prop '" + path + "' MSysDb 2>/dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::map<std::string, std::string> theirs;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::string text(line);
        const auto colon = text.find(": ");
        if (text.empty() || text[0] != '\t' || colon == std::string::npos)
            continue;
        theirs[text.substr(1, colon - 1)] = text.substr(colon + 2, text.find('\n') - colon - 2);
    }
    if (::pclose(pipe) != 0 || theirs.empty())
        GTEST_SKIP() << "mdbtools not installed";
    EXPECT_EQ(ours, theirs);
}

}  // namespace
}  // namespace ostrel::jet::test
