// A linked Access table shows the fields and indexes of its source table. The
// source is looked for where the link says, beside the database and in the
// folders given; when it cannot be found or read, the linked table says why
// instead of failing the whole database.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "components/jet/jet_engine.h"
#include "components/schema/schema_error.h"
#include "tools/jetgen/generator.h"

namespace ostrel::jet::test {
namespace {

namespace fs = std::filesystem;

constexpr char kStoredPath[] = "Z:\\Share\\Back End.mdb";

const schema::TableDef& TableNamed(const schema::Database& db, const std::string& name) {
    for (int i = 0; i < db.TableDefs().Count(); ++i) {
        if (db.TableDefs().Item(i).Name() == name)
            return db.TableDefs().Item(i);
    }
    throw std::runtime_error("no table " + name);
}

jetgen::DatabaseDescription FrontEnd(const std::string& sourceTable = "Orders") {
    jetgen::DatabaseDescription front;
    front.linkedTables.push_back({"Orders Link", kStoredPath, sourceTable, std::nullopt, 0, 0});
    return front;
}

jetgen::DatabaseDescription BackEnd() {
    jetgen::DatabaseDescription back;
    jetgen::TableDescription orders;
    orders.name = "Orders";
    jetgen::ColumnDescription id;
    id.name = "OrderID";
    id.type = jetgen::ColumnType::Long;
    jetgen::ColumnDescription customer;
    customer.name = "Customer";
    customer.size = 40;
    orders.columns = {id, customer};
    orders.indexes.push_back({"PrimaryKey", {{"OrderID", false}}, true, true, false, true});
    back.tables.push_back(orders);
    return back;
}

class SplitDatabase : public ::testing::Test {
  public:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("ostrel-split-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "front");
        fs::create_directories(folder_ / "elsewhere");
        jetgen::WriteDatabase(FrontEnd(), Front());
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path Front() const { return folder_ / "front" / "Front End.mdb"; }
    fs::path Beside(const char* name) const { return folder_ / "front" / name; }
    fs::path Elsewhere() const { return folder_ / "elsewhere"; }

  protected:
    std::optional<std::string> ProblemOf(const std::vector<std::string>& linkFolders = {}) {
        db_ = JetEngine(linkFolders).OpenDatabase(Front().string());
        return TableNamed(*db_, "Orders Link").LinkProblem();
    }

    fs::path folder_;
    std::unique_ptr<schema::Database> db_;
};

TEST_F(SplitDatabase, WhereTheSourceIsFound) {
    struct Case {
        const char* what;
        std::function<void(const SplitDatabase&)> place;
        bool useFolder;
    };
    const Case cases[] = {
        {"beside, named in other letter case",
         [](const SplitDatabase& t) { jetgen::WriteDatabase(BackEnd(), t.Beside("BACK END.MDB")); },
         false},
        {"in a folder the user names",
         [](const SplitDatabase& t) {
             jetgen::WriteDatabase(BackEnd(), t.Elsewhere() / "back end.mdb");
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.place(*this);
        const auto problem = ProblemOf(c.useFolder ? std::vector<std::string>{Elsewhere().string()}
                                                   : std::vector<std::string>{});
        EXPECT_FALSE(problem) << *problem;
        const schema::TableDef& link = TableNamed(*db_, "Orders Link");
        ASSERT_EQ(link.Fields().Count(), 2);
        EXPECT_EQ(link.Fields().Item(1).Name(), "Customer");
        EXPECT_EQ(link.Fields().Item(1).Size(), 40);
        ASSERT_EQ(link.Indexes().Count(), 1);
        EXPECT_TRUE(link.Indexes().Item(0).Primary());
        EXPECT_EQ(link.SourceTableName(), "Orders");
        EXPECT_EQ(link.RecordCount(), -1);
        EXPECT_FALSE(link.Updatable());
        db_.reset();
        for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
            if (entry.path() != Front() && entry.is_regular_file()) {
                fs::remove(entry.path());
            }
        }
    }
}

// Anything but a readable regular file is reported on the linked table, and
// the rest of the database stays readable.
TEST_F(SplitDatabase, SourcesThatCannotBeUsedAreReported) {
    struct Case {
        const char* what;
        std::function<void(const SplitDatabase&)> place;
        const char* problem;
    };
    const Case cases[] = {
        {"nowhere", [](const SplitDatabase&) {},
         "its source database 'Z:\\Share\\Back End.mdb' cannot be found"},
        {"a folder of that name",
         [](const SplitDatabase& t) { fs::create_directory(t.Beside("Back End.mdb")); },
         "cannot be found"},
        {"a FIFO of that name",
         [](const SplitDatabase& t) {
             ASSERT_EQ(::mkfifo(t.Beside("Back End.mdb").c_str(), 0600), 0);
         },
         "cannot be found"},
        {"a damaged file",
         [](const SplitDatabase& t) {
             std::ofstream(t.Beside("Back End.mdb")) << std::string(8192, 'x');
         },
         "Back End.mdb' cannot be read: "},
        {"without the table",
         [](const SplitDatabase& t) {
             jetgen::WriteDatabase(jetgen::DatabaseDescription{}, t.Beside("Back End.mdb"));
         },
         "Back End.mdb' holds no table 'Orders'"},
        {"whose table is itself a link",
         [](const SplitDatabase& t) {
             auto relay = FrontEnd();
             relay.linkedTables[0].name = "Orders";
             jetgen::WriteDatabase(relay, t.Beside("Back End.mdb"));
         },
         "Back End.mdb' links its table 'Orders' from elsewhere"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.place(*this);
        const auto problem = ProblemOf();
        ASSERT_TRUE(problem);
        EXPECT_NE(problem->find(c.problem), std::string::npos) << *problem;
        const schema::TableDef& link = TableNamed(*db_, "Orders Link");
        EXPECT_EQ(link.SourceTableName(), "Orders");
        EXPECT_THROW((void)link.Fields().Count(), schema::SchemaError);
        EXPECT_THROW((void)link.Indexes().Count(), schema::SchemaError);
        db_.reset();
        fs::remove_all(Beside("Back End.mdb"));
    }
}

TEST_F(SplitDatabase, ALinkToTheDatabaseItselfIsNotFollowed) {
    fs::rename(Front(), Beside("Back End.mdb"));
    db_ = JetEngine().OpenDatabase(Beside("Back End.mdb").string());
    const auto problem = TableNamed(*db_, "Orders Link").LinkProblem();
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("cannot be found"), std::string::npos) << *problem;
}

// The real front end whose back end sits one folder above it.
TEST(RealSplitDatabase, BackEndFoundInANamedFolder) {
    const fs::path data = OSTREL_TESTDATA_DIR;
    const fs::path linker = data / "jackcess/V2007/linkerTestV2007.accdb";
    const fs::path linkee = data / "jackcess/linkeeTest.accdb";
    if (!fs::exists(linker) || !fs::exists(linkee))
        GTEST_SKIP() << "test data absent";
    const auto alone = JetEngine().OpenDatabase(linker.string());
    const auto problem = TableNamed(*alone, "Table2").LinkProblem();
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("linkeeTest.accdb' cannot be found"), std::string::npos) << *problem;

    const auto db = JetEngine({(data / "jackcess").string()}).OpenDatabase(linker.string());
    const auto source = JetEngine().OpenDatabase(linkee.string());
    const schema::TableDef& link = TableNamed(*db, "Table2");
    const schema::TableDef& original = TableNamed(*source, "Table1");
    EXPECT_FALSE(link.LinkProblem());
    ASSERT_EQ(link.Fields().Count(), original.Fields().Count());
    for (int i = 0; i < link.Fields().Count(); ++i) {
        EXPECT_EQ(link.Fields().Item(i).Name(), original.Fields().Item(i).Name());
        EXPECT_EQ(link.Fields().Item(i).Type(), original.Fields().Item(i).Type());
    }
    EXPECT_EQ(link.Indexes().Count(), original.Indexes().Count());
}

}  // namespace
}  // namespace ostrel::jet::test
