#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "components/jet/byte_cursor.h"
#include "components/schema/vba_module.h"

namespace ostrel::jet {

// A module as the project's directory (the decompressed "dir" stream) lists
// it: its name, the stream that holds it and where in that stream its
// compressed source starts.
struct DirectoryModule {
    std::string name;
    std::string streamName;
    std::uint32_t sourceOffset = 0;
    bool procedural = false;  // a standard module; else class, document or designer
};

struct ProjectDirectory {
    int codePage = 1252;
    std::vector<DirectoryModule> modules;
};

// Reads the records of a decompressed "dir" stream: the project's code page
// and its modules (their names in Unicode where the record is present). A
// record whose length runs past the stream, or a module without a name,
// raises SchemaError through the cursor.
ProjectDirectory ParseProjectDirectory(const ByteCursor& dir);

// The module kinds the "PROJECT" stream declares, by module name: Module=
// standard, Class= class, BaseClass= designer, and Document= (DocClass= as
// Access writes it) document. Text is in the project's code page.
std::map<std::string, schema::VbaModuleKind> ParseProjectKinds(std::span<const std::uint8_t> text,
                                                               int codePage);

}  // namespace ostrel::jet
