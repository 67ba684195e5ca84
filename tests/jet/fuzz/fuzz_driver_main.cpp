// Runs the fuzz target without libFuzzer: over every file named on the
// command line (folders are walked) and, for each, a fixed set of damaged
// variants (bytes flipped, the file cut short), so that the default build
// keeps the target working and smoke-tests it as a ctest.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "tests/jet/jet_file_builder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void RunWithVariants(const std::vector<std::uint8_t>& seed, int variants, std::mt19937& random) {
    LLVMFuzzerTestOneInput(seed.data(), seed.size());
    // Large files get fewer variants to keep the smoke run short.
    constexpr std::size_t kLarge = 300 * 1024;
    if (seed.size() > kLarge) {
        variants = std::min(variants, 10);
    }
    if (seed.empty()) {
        return;
    }
    for (int v = 0; v < variants; ++v) {
        std::vector<std::uint8_t> bytes = seed;
        std::uniform_int_distribution<std::size_t> at(0, bytes.size() - 1);
        const int flips = 1 + static_cast<int>(random() % 16);
        for (int i = 0; i < flips; ++i) {
            bytes[at(random)] = static_cast<std::uint8_t>(random());
        }
        if (v % 5 == 4) {
            bytes.resize(at(random));
        }
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::mt19937 random(20261206);
    int variants = 150;
    int inputs = 0;
    const auto built = ostrel::jet::test::BuildJet4File();
    RunWithVariants(built.bytes, 2000, random);
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
