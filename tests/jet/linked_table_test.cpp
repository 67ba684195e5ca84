// A linked Access table shows the fields and indexes of its source table,
// found where the link says or beside the database; when the source cannot
// be found, reading them gives a clear error (as DAO does).

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <string>

#include "components/jet/jet_engine.h"
#include "components/schema/schema_error.h"

namespace ostrel::jet::test {
namespace {

namespace fs = std::filesystem;

const fs::path kData = OSTREL_TESTDATA_DIR;
const fs::path kLinker = kData / "jackcess/V2007/linkerTestV2007.accdb";
const fs::path kSomeSource = kData / "jackcess/V2007/testV2007.accdb";

const schema::TableDef& TableNamed(const schema::Database& db, const std::string& name) {
    for (int i = 0; i < db.TableDefs().Count(); ++i) {
        if (db.TableDefs().Item(i).Name() == name)
            return db.TableDefs().Item(i);
    }
    throw std::runtime_error("no table " + name);
}

TEST(LinkedTable, MissingSourceIsAClearError) {
    if (!fs::exists(kLinker))
        GTEST_SKIP() << "test data absent";
    const auto db = JetEngine().OpenDatabase(kLinker.string());
    const schema::TableDef& link = TableNamed(*db, "Table2");
    EXPECT_EQ(link.SourceTableName(), "Table1");
    EXPECT_EQ(link.RecordCount(), -1);
    EXPECT_NE(link.Attributes() & schema::table_attribute::kAttachedTable, 0U);
    try {
        (void)link.Fields().Count();
        FAIL() << "fields of a link without its source";
    } catch (const schema::SchemaError& e) {
        EXPECT_NE(std::string(e.what()).find("linkeeTest.accdb' cannot be found"),
                  std::string::npos)
            << e.what();
    }
}

TEST(LinkedTable, SourceBesideTheDatabaseIsRead) {
    if (!fs::exists(kLinker) || !fs::exists(kSomeSource))
        GTEST_SKIP() << "test data absent";
    const fs::path folder =
        fs::temp_directory_path() / ("ostrel-link-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::copy_file(kLinker, folder / "linker.accdb", fs::copy_options::overwrite_existing);
    fs::copy_file(kSomeSource, folder / "linkeeTest.accdb", fs::copy_options::overwrite_existing);
    {
        const auto db = JetEngine().OpenDatabase((folder / "linker.accdb").string());
        const auto source = JetEngine().OpenDatabase((folder / "linkeeTest.accdb").string());
        const schema::TableDef& link = TableNamed(*db, "Table2");
        const schema::TableDef& original = TableNamed(*source, "Table1");
        ASSERT_EQ(link.Fields().Count(), original.Fields().Count());
        for (int i = 0; i < link.Fields().Count(); ++i) {
            EXPECT_EQ(link.Fields().Item(i).Name(), original.Fields().Item(i).Name());
            EXPECT_EQ(link.Fields().Item(i).Type(), original.Fields().Item(i).Type());
        }
        EXPECT_EQ(link.Indexes().Count(), original.Indexes().Count());
        EXPECT_EQ(link.RecordCount(), -1);
        EXPECT_FALSE(link.Updatable());
        EXPECT_TRUE(original.Updatable());
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace ostrel::jet::test
