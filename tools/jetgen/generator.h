// Writes a Jet 4 (Access 2000 format) database file from a description.
#pragma once

#include <cstdint>
#include <filesystem>

#include "tools/jetgen/description.h"

namespace ostrel::jetgen {

struct GenerateSummary {
    std::uint32_t pages = 0;
    std::uint64_t rows = 0;
};

// Writes the file atomically: on failure no file (and no partial file) is
// left at path. Throws GeneratorError.
GenerateSummary WriteDatabase(const DatabaseDescription& database,
                              const std::filesystem::path& path);

}  // namespace ostrel::jetgen
