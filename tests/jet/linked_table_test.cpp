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

// The bundled sample links ArchivedOrders to Orders in C:\Data\HarbourArchive.mdb,
// which sits beside it.
const fs::path kSamples = fs::path(OSTREL_SOURCE_DIR) / "samples";
const fs::path kLinker = kSamples / "sample-business.mdb";
const fs::path kSource = kSamples / "HarbourArchive.mdb";

const schema::TableDef& TableNamed(const schema::Database& db, const std::string& name) {
    for (int i = 0; i < db.TableDefs().Count(); ++i) {
        if (db.TableDefs().Item(i).Name() == name)
            return db.TableDefs().Item(i);
    }
    throw std::runtime_error("no table " + name);
}

TEST(LinkedTable, MissingSourceIsAClearError) {
    const fs::path folder =
        fs::temp_directory_path() / ("ostrel-link-alone-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::copy_file(kLinker, folder / "linker.mdb", fs::copy_options::overwrite_existing);
    {
        const auto db = JetEngine().OpenDatabase((folder / "linker.mdb").string());
        const schema::TableDef& link = TableNamed(*db, "ArchivedOrders");
        EXPECT_EQ(link.SourceTableName(), "Orders");
        EXPECT_EQ(link.RecordCount(), -1);
        EXPECT_NE(link.Attributes() & schema::table_attribute::kAttachedTable, 0U);
        try {
            (void)link.Fields().Count();
            FAIL() << "fields of a link without its source";
        } catch (const schema::SchemaError& e) {
            EXPECT_NE(std::string(e.what()).find("HarbourArchive.mdb' cannot be found"),
                      std::string::npos)
                << e.what();
        }
    }
    fs::remove_all(folder);
}

TEST(LinkedTable, SourceBesideTheDatabaseIsRead) {
    const auto db = JetEngine().OpenDatabase(kLinker.string());
    const auto source = JetEngine().OpenDatabase(kSource.string());
    const schema::TableDef& link = TableNamed(*db, "ArchivedOrders");
    const schema::TableDef& original = TableNamed(*source, "Orders");
    ASSERT_EQ(link.Fields().Count(), original.Fields().Count());
    ASSERT_GT(link.Fields().Count(), 0);
    for (int i = 0; i < link.Fields().Count(); ++i) {
        EXPECT_EQ(link.Fields().Item(i).Name(), original.Fields().Item(i).Name());
        EXPECT_EQ(link.Fields().Item(i).Type(), original.Fields().Item(i).Type());
    }
    EXPECT_EQ(link.Indexes().Count(), original.Indexes().Count());
    EXPECT_EQ(link.RecordCount(), -1);
    EXPECT_FALSE(link.Updatable());
    EXPECT_TRUE(original.Updatable());
}

}  // namespace
}  // namespace ostrel::jet::test
