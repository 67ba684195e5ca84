#pragma once

// Seed inputs for the fuzz targets of the VBA reader: what a generated
// database's application store holds (the compound file, compressed and
// decompressed project directories, PROJECT and DirData streams, module
// containers, macro blobs) and, from a test data folder when one is given,
// the same parts of the real files in its objects/ folder.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ostrel::jet::test {

using Seed = std::pair<std::string, std::vector<std::uint8_t>>;

std::vector<Seed> VbaSeeds(const std::optional<std::filesystem::path>& testData);

}  // namespace ostrel::jet::test
