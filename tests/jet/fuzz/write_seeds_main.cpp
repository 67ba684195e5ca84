// Writes seeds for the fuzzers into a folder: the built test database and
// an encoded copy of it (for the reader's target), or, with "descriptors"
// and data folders after the folder, the encryption descriptors (for the
// descriptor target).

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/jet/fuzz/descriptor_seeds.h"
#include "tests/jet/jet_file_builder.h"
#include "tests/support/encrypted_copies.h"

namespace {

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),  // NOLINT
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [descriptors DATA_FOLDER...]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    if (argc > 2 && std::string(argv[2]) == "descriptors") {
        const auto seeds = ostrel::jet::test::DescriptorSeeds({argv + 3, argv + argc});
        bool ok = true;
        for (std::size_t i = 0; i < seeds.size(); ++i) {
            ok = Write(folder + "/descriptor-" + std::to_string(i), seeds[i]) && ok;
        }
        return ok ? 0 : 1;
    }
    const auto built = ostrel::jet::test::BuildJet4File();
    const bool ok = Write(folder + "/built-jet4.mdb", built.bytes) &&
                    Write(folder + "/built-jet4-encoded.mdb",
                          ostrel::testsupport::EncodedJetCopy(built.bytes, 0x2468ACE1));
    return ok ? 0 : 1;
}
