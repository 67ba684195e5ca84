// Parses a buffer as each of the small records of a VBA project and of
// Access's object storages: the decompressed "dir" stream, the PROJECT
// stream, a DirData stream, a macro's Blob and an Access 97 module value;
// damage may only end in SchemaError.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "components/jet/access97_project.h"
#include "components/jet/access_containers.h"
#include "components/jet/vba_directory.h"
#include "components/schema/schema_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const std::string label = "fuzz.mdb";
    try {
        (void)ostrel::jet::ParseProjectDirectory(ostrel::jet::ByteCursor(bytes, label, "dir"));
    } catch (const ostrel::schema::SchemaError&) {
    }
    try {
        (void)ostrel::jet::ParseDirData(ostrel::jet::ByteCursor(bytes, label, "DirData"));
    } catch (const ostrel::schema::SchemaError&) {
    }
    (void)ostrel::jet::ParseProjectKinds(bytes, size > 0 && data[0] % 2 == 0 ? 1252 : 932);
    (void)ostrel::jet::MacroXmlFromBlob(bytes);
    (void)ostrel::jet::FindModuleSource(bytes);
    return 0;
}
