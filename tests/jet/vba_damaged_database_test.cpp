// Damaged application stores inside whole databases, written by jetgen: the
// storage table of ACE files (MSysAccessStorage, here in a Jet 4 file) with a
// missing root, orphaned rows and missing or damaged streams; and Jet 4's
// compound file damaged as a whole or in one module. A damaged store is a
// note on the objects it concerns; the rest of the database still reads.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "components/jet/access_storage.h"
#include "components/jet/jet_database.h"
#include "components/jet/jet_engine.h"
#include "components/jet/vba_project.h"
#include "components/schema/schema_error.h"
#include "tools/jetgen/compound_writer.h"
#include "tools/jetgen/description_json.h"
#include "tools/jetgen/generator.h"
#include "tools/jetgen/vba_compressor.h"
#include "tools/jetgen/vba_project_writer.h"

namespace ostrel::jet::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Json = nlohmann::json;

template <class Action>
std::string ErrorOf(Action action) {
    try {
        action();
    } catch (const schema::SchemaError& e) {
        return e.what();
    }
    return "";
}

// Writes a database from a description into a scratch folder.
class Generated : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("ostrel-vba-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Write(const Json& description) {
        const fs::path path = dir_ / ("case" + std::to_string(++n_) + ".mdb");
        jetgen::WriteDatabase(jetgen::ParseDescription(description.dump()), path);
        return path;
    }

    static Bytes ReadBytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const std::string s = text.str();
        return {s.begin(), s.end()};
    }

    fs::path dir_;
    int n_ = 0;
};

// ---- the storage table ---------------------------------------------------

struct StorageRow {
    int id;
    int parentId;
    std::string name;
    int type;
    Bytes lv;
};

std::string Hex(const Bytes& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s = "0x";
    for (const std::uint8_t b : bytes) {
        s += kDigits[b >> 4];
        s += kDigits[b & 0xF];
    }
    return s;
}

// The rows of a storage tree, root first (Id 1, its own parent).
void Flatten(const jetgen::StorageNode& node, int parent, std::vector<StorageRow>& rows) {
    const int id = static_cast<int>(rows.size()) + 1;
    rows.push_back({id, parent < 0 ? id : parent, parent < 0 ? "MSysAccessStorage_ROOT" : node.name,
                    node.stream ? 2 : 1, node.data});
    for (const jetgen::StorageNode& child : node.children) {
        Flatten(child, id, rows);
    }
}

Json StorageTable(const std::vector<StorageRow>& rows) {
    Json table = {{"name", "MSysAccessStorage"},
                  {"system", true},
                  {"columns",
                   {{{"name", "Id"}, {"type", "Long"}},
                    {{"name", "ParentId"}, {"type", "Long"}},
                    {{"name", "Name"}, {"type", "Text"}, {"size", 128}},
                    {{"name", "Type"}, {"type", "Long"}},
                    {{"name", "Lv"}, {"type", "OLE"}}}},
                  {"rows", Json::array()}};
    for (const StorageRow& r : rows) {
        table["rows"].push_back(
            {r.id, r.parentId, r.name, r.type, r.lv.empty() ? Json(nullptr) : Json(Hex(r.lv))});
    }
    return {{"tables", {table}}};
}

std::vector<StorageRow> ProjectRows() {
    jetgen::StorageNode root;
    jetgen::AddVbaProject(root, {{"Util", jetgen::ProjectModuleKind::Standard, "Option Explicit"}},
                          1252);
    std::vector<StorageRow> rows;
    Flatten(root, -1, rows);
    return rows;
}

StorageRow& RowNamed(std::vector<StorageRow>& rows, const std::string& name) {
    for (StorageRow& r : rows) {
        if (r.name == name) {
            return r;
        }
    }
    throw std::runtime_error("no row " + name);
}

TEST_F(Generated, StorageTableBoundsAndDamage) {
    auto open = [&](const std::vector<StorageRow>& rows) {
        return std::make_shared<DatabaseState>(PageFile::Open(Write(StorageTable(rows)).string()),
                                               std::vector<fs::path>{});
    };
    // Read whole, the project gives its module.
    std::vector<StorageRow> rows = ProjectRows();
    auto state = open(rows);
    auto tree = std::make_shared<AccessStorageTree>(state);
    const auto project = ReadTreeProject(tree, "built.mdb");
    ASSERT_NE(project, nullptr);
    ASSERT_EQ(project->Modules().size(), 1U);
    const Bytes source = project->SourceBytes(0);
    EXPECT_EQ(std::string(source.begin(), source.end()),
              "Attribute VB_Name = \"Util\"\r\nOption Explicit");

    // Orphans, a loop of parents and a row claiming the root's Id are left out.
    std::vector<StorageRow> orphans = ProjectRows();
    orphans.push_back({500, 999, "Orphan", 1, {}});
    orphans.push_back({501, 502, "LoopA", 1, {}});
    orphans.push_back({502, 501, "LoopB", 1, {}});
    orphans.push_back({1, 1, "SecondRoot", 1, {}});
    const AccessStorageTree withOrphans(open(orphans));
    EXPECT_EQ(withOrphans.Size(), rows.size());
    for (const char* name : {"Orphan", "LoopA", "LoopB", "SecondRoot"}) {
        EXPECT_FALSE(withOrphans.Child(0, name).has_value()) << name;
    }

    struct Case {
        const char* what;
        std::function<void(std::vector<StorageRow>&)> damage;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"no root", [](auto& r) { r[0].name = "Root"; }, "MSysAccessStorage: no root row"},
        {"no directory stream", [](auto& r) { RowNamed(r, "dir").name = "dirt"; },
         "no directory stream (VBA/dir)"},
        {"directory record past its stream",
         [](auto& r) {
             Bytes cut = {0x19, 0x00, 0x40, 0x00, 0x00, 0x00, 'U'};
             RowNamed(r, "dir").lv = jetgen::CompressContainer(cut);
         },
         "record 25 of 64 bytes runs past the end of the stream"},
        {"module stream missing", [](auto& r) { RowNamed(r, "M0000000").name = "Other"; },
         "the stream 'M0000000' of module 'Util' is missing"},
        {"source beyond its stream", [](auto& r) { RowNamed(r, "M0000000").lv.resize(10); },
         "its source starts beyond its stream of 10 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<StorageRow> damaged = ProjectRows();
        c.damage(damaged);
        const auto damagedState = open(damaged);
        const std::string message = ErrorOf([&] {
            const auto damagedProject =
                ReadTreeProject(std::make_shared<AccessStorageTree>(damagedState), "built.mdb");
            for (std::size_t i = 0; damagedProject && i < damagedProject->Modules().size(); ++i) {
                (void)damagedProject->SourceBytes(i);
            }
        });
        EXPECT_NE(message.find(".mdb: damaged: "), std::string::npos) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
}

// ---- Jet 4's compound file, damaged inside the database -------------------

Json Application() {
    return {{"tables", {{{"name", "T"}, {"columns", {{{"name", "ID"}, {"type", "Long"}}}}}}},
            {"forms", {{{"name", "F"}, {"module", "Private Sub Form_Load()\r\nEnd Sub\r\n"}}}},
            {"macros", {{{"name", "M"}, {"xml", "<UserInterfaceMacro/>"}}}},
            {"modules",
             {{{"name", "A"}, {"source", "Public Sub A1()\r\nEnd Sub\r\n"}},
              {{"name", "B"}, {"source", "Public Sub B1()\r\nEnd Sub\r\n"}}}}};
}

// Where each module's container starts: its first flag byte and the first
// eight letters of "Attribute" follow the signature and the chunk header.
std::vector<std::size_t> Containers(const Bytes& file) {
    const std::string mark = std::string(1, '\0') + "Attribut";
    std::vector<std::size_t> found;
    for (auto it = std::search(file.begin(), file.end(), mark.begin(), mark.end());
         it != file.end(); it = std::search(it + 1, file.end(), mark.begin(), mark.end())) {
        found.push_back(static_cast<std::size_t>(it - file.begin()) - 3);
    }
    return found;
}

TEST_F(Generated, DamagedCompoundFileIsANoteOnItsObjects) {
    Bytes file = ReadBytes(Write(Application()));
    const Bytes signature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    const auto at = std::search(file.begin(), file.end(), signature.begin(), signature.end());
    ASSERT_NE(at, file.end());
    at[1] = 0x00;
    const auto db = OpenDatabaseFromMemory(file, "built.mdb");
    const auto problem = db->ProjectProblem();
    ASSERT_TRUE(problem.has_value());
    EXPECT_NE(problem->find("built.mdb: damaged: the compound file in MSysAccessObjects: not a "
                            "compound file"),
              std::string::npos)
        << *problem;
    // The catalog's modules are listed, each with the note.
    ASSERT_EQ(db->Modules().Count(), 2);
    EXPECT_EQ(db->Modules().Item(0).Problem(), problem);
    EXPECT_THROW((void)db->Modules().Item(0).Source(), schema::SchemaError);
    EXPECT_EQ(db->Modules().Item(0).LineCount(), 0);
    ASSERT_EQ(db->Forms().Count(), 1);
    EXPECT_FALSE(db->Forms().Item(0).HasModule());
    EXPECT_EQ(db->Forms().Item(0).Problem(), "its module cannot be looked for: " + *problem);
    EXPECT_EQ(db->Macros().Item(0).Problem(), problem);
    // The rest of the database goes on.
    const auto& tables = db->TableDefs();
    EXPECT_EQ(tables.Item(tables.Count() - 1).Name(), "T");
    EXPECT_EQ(tables.Item(tables.Count() - 1).Fields().Item(0).Name(), "ID");
}

TEST_F(Generated, DamagedModuleIsANoteOnThatModule) {
    Bytes file = ReadBytes(Write(Application()));
    const auto containers = Containers(file);
    ASSERT_EQ(containers.size(), 3U);  // A, B and Form_F
    file[containers[0] + 2] = 0x00;    // the chunk header's signature bits
    const auto db = OpenDatabaseFromMemory(file, "built.mdb");
    EXPECT_EQ(db->ProjectProblem(), std::nullopt);
    ASSERT_EQ(db->Modules().Count(), 3);
    int damaged = 0;
    for (int i = 0; i < db->Modules().Count(); ++i) {
        const auto& m = db->Modules().Item(i);
        if (const auto problem = m.Problem()) {
            ++damaged;
            EXPECT_NE(problem->find("built.mdb: damaged: the compound file in MSysAccessObjects, "
                                    "VBA project, module '" +
                                    m.Name() + "', offset 0x1: not a chunk header"),
                      std::string::npos)
                << *problem;
        } else {
            EXPECT_TRUE(m.Source().find("End Sub") != std::string::npos);
        }
    }
    EXPECT_EQ(damaged, 1);
    EXPECT_TRUE(db->Forms().Item(0).HasModule());
    EXPECT_EQ(db->Forms().Item(0).Problem(), std::nullopt);
    EXPECT_EQ(db->Macros().Item(0).MacroXml(), "<UserInterfaceMacro/>");
}

}  // namespace
}  // namespace ostrel::jet::test
