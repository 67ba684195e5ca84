#include "tests/jet/fuzz/vba_fuzz_seeds.h"

#include <memory>

#include "components/jet/access97_project.h"
#include "components/jet/access_containers.h"
#include "components/jet/access_objects_file.h"
#include "components/jet/access_storage.h"
#include "components/jet/compound_file.h"
#include "components/jet/jet_database.h"
#include "components/jet/row_reader.h"
#include "components/jet/vba_compression.h"
#include "components/jet/vba_directory.h"
#include "components/schema/schema_error.h"
#include "tools/jetgen/access_objects_writer.h"
#include "tools/jetgen/compound_writer.h"

namespace ostrel::jet::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

jetgen::DatabaseDescription Described() {
    jetgen::DatabaseDescription db;
    db.forms.push_back(
        {"Orders", "Private Sub Form_Load()\r\n    Me.Caption = \"x\"\r\nEnd Sub\r\n"});
    db.reports.push_back({"Sales", std::nullopt});
    db.macros.push_back({"AutoExec", "<UserInterfaceMacro><Statements/></UserInterfaceMacro>"});
    db.macros.push_back({"Old", std::nullopt});
    std::string code;
    for (int i = 0; i < 300; ++i) {
        code += "Public Function F" + std::to_string(i) + "() As Long\r\n    F" +
                std::to_string(i) + " = " + std::to_string(i * i) + "\r\nEnd Function\r\n";
    }
    db.modules.push_back({"Utilities", jetgen::ModuleType::Standard, code});
    db.modules.push_back({"clsThing", jetgen::ModuleType::Class, "Private m As Long\r\n"});
    return db;
}

// The parts of a storage tree's project and object folders.
void AddParts(const StorageTree& tree, const std::string& from, std::vector<Seed>& seeds) {
    const std::string label = from;
    auto add = [&](const std::string& what, Bytes bytes) {
        seeds.emplace_back(from + " " + what, std::move(bytes));
    };
    const auto code = tree.Find({"VBA", "VBAProject", "VBA"});
    const auto dir = code ? tree.Child(*code, "dir") : std::nullopt;
    if (dir) {
        const Bytes packed = tree.Read(*dir);
        add("dir", packed);
        const Bytes unpacked = DecompressContainer(ByteCursor(packed, label, "dir"));
        add("dir records", unpacked);
        for (const DirectoryModule& m :
             ParseProjectDirectory(ByteCursor(unpacked, label, "dir")).modules) {
            if (const auto stream = tree.Child(*code, m.streamName)) {
                const Bytes bytes = tree.Read(*stream);
                if (m.sourceOffset <= bytes.size()) {
                    add("module " + m.name, Bytes(bytes.begin() + m.sourceOffset, bytes.end()));
                }
            }
        }
    }
    if (const auto project = tree.Find({"VBA", "VBAProject", "PROJECT"})) {
        add("PROJECT", tree.Read(*project));
    }
    for (const char* folder : {"Forms", "Reports", "Scripts"}) {
        const auto node = tree.Find({folder});
        const auto dirData = node ? tree.Child(*node, kDirDataStream) : std::nullopt;
        if (dirData) {
            add(std::string(folder) + " DirData", tree.Read(*dirData));
        }
    }
    if (const auto blob = tree.Find({"Scripts", "0", "Blob"})) {
        add("macro", tree.Read(*blob));
    }
}

void AddRealFile(const std::filesystem::path& path, std::vector<Seed>& seeds) {
    auto state = std::make_shared<DatabaseState>(PageFile::Open(path.string()),
                                                 std::vector<std::filesystem::path>{});
    const std::string name = path.filename().string();
    Bytes joined = JoinAccessObjects(state->File(), state->GetCatalog());
    if (!joined.empty()) {
        seeds.emplace_back(name + " compound file", joined);
        AddParts(CompoundFile(std::move(joined), name, "compound file"), name, seeds);
    }
    if (state->GetCatalog().FindTable("MSysAccessStorage") != nullptr) {
        AddParts(AccessStorageTree(state), name, seeds);
    }
    ForEachSystemRow(state->File(), state->GetCatalog(), "MSysModules2", "modules",
                     [&](const RowView& row) {
                         if (auto value = row.Binary("Module"); value && !value->empty()) {
                             seeds.emplace_back(name + " Access 97 module", std::move(*value));
                         }
                     });
}

}  // namespace

std::vector<Seed> VbaSeeds(const std::optional<std::filesystem::path>& testData) {
    std::vector<Seed> seeds;
    Bytes file = jetgen::WriteAccessObjectsFile(Described());
    seeds.emplace_back("generated compound file", file);
    AddParts(CompoundFile(std::move(file), "generated", "compound file"), "generated", seeds);
    if (testData) {
        std::error_code error;
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(*testData / "objects", error)) {
            const auto ext = entry.path().extension();
            if (entry.is_regular_file() && (ext == ".mdb" || ext == ".accdb" || ext == ".accda")) {
                try {
                    AddRealFile(entry.path(), seeds);
                } catch (const schema::SchemaError&) {
                }
            }
        }
    }
    return seeds;
}

}  // namespace ostrel::jet::test
