// Runs the fuzz target without libFuzzer: over every file named on the
// command line (folders are walked) and, for each, a fixed set of damaged
// variants (bytes flipped, the file cut short), so that the default build
// keeps the target working and smoke-tests it as a ctest.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "tests/jet/fuzz/fuzz_variants.h"
#include "tests/jet/jet_file_builder.h"
#include "tests/support/encrypted_copies.h"

namespace {

using ostrel::jet::test::RunWithVariants;

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    std::mt19937 random(20261206);
    int variants = 150;
    int inputs = 0;
    const auto built = ostrel::jet::test::BuildJet4File();
    RunWithVariants(built.bytes, 2000, random);
    // Its encoded copy: every page but the header decrypted as it is read.
    RunWithVariants(ostrel::testsupport::EncodedJetCopy(built.bytes, 0x2468ACE1), 500, random);
    ++inputs;
    ++inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(arg, ec)) {
                const auto ext = entry.path().extension();
                if (entry.is_regular_file() &&
                    (ext == ".mdb" || ext == ".accdb" || ext == ".accda")) {
                    RunWithVariants(ReadFile(entry.path()), variants, random);
                    ++inputs;
                }
            }
        } else if (std::filesystem::is_regular_file(arg, ec)) {
            RunWithVariants(ReadFile(arg), variants, random);
            ++inputs;
        }
    }
    std::printf("fuzz target ran over %d seed inputs with damaged variants\n", inputs);
    return 0;
}
