// Reads a buffer as the compound file of MSysAccessObjects: its directory,
// every stream, the VBA project in it with every module's source, and the
// macros' XML; damage may only end in SchemaError.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/jet/access_containers.h"
#include "components/jet/compound_file.h"
#include "components/jet/vba_project.h"
#include "components/schema/schema_error.h"

namespace {

using ostrel::schema::SchemaError;

void ReadMacros(const ostrel::jet::CompoundFile& file, const std::string& label) {
    const auto scripts = file.Find({"Scripts"});
    const auto dirData = scripts ? file.Child(*scripts, ostrel::jet::kDirDataStream) : std::nullopt;
    if (!dirData) {
        return;
    }
    const std::vector<std::uint8_t> bytes = file.Read(*dirData);
    for (const auto& [name, storage] :
         ostrel::jet::ParseDirData(ostrel::jet::ByteCursor(bytes, label, "DirData"))) {
        const auto folder = file.Child(*scripts, storage);
        const auto blob = folder ? file.Child(*folder, "Blob") : std::nullopt;
        if (blob) {
            (void)ostrel::jet::MacroXmlFromBlob(file.Read(*blob));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string label = "fuzz.mdb";
    std::shared_ptr<const ostrel::jet::CompoundFile> file;
    try {
        file = std::make_shared<const ostrel::jet::CompoundFile>(
            std::vector<std::uint8_t>(data, data + size), label, "the compound file");
    } catch (const SchemaError&) {
        return 0;
    }
    for (std::size_t node = 0; node < file->Size(); ++node) {
        try {
            if (file->At(node).stream) {
                (void)file->Read(node);
            }
        } catch (const SchemaError&) {
        }
    }
    try {
        ReadMacros(*file, label);
    } catch (const SchemaError&) {
    }
    try {
        const auto project = ostrel::jet::ReadTreeProject(file, label);
        for (std::size_t i = 0; project && i < project->Modules().size(); ++i) {
            try {
                (void)project->SourceBytes(i);
            } catch (const SchemaError&) {
            }
        }
    } catch (const SchemaError&) {
    }
    return 0;
}
