// Runs a fuzz target of the VBA reader without libFuzzer: over every seed
// (VbaSeeds, with the test data folder named on the command line) and a
// fixed set of damaged variants of each (bytes changed, the input cut
// short), so that the default build keeps the targets working and smoke-tests
// them as ctests.

#include <cstdint>
#include <cstdio>
#include <random>

#include "tests/jet/fuzz/vba_fuzz_seeds.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::optional<std::filesystem::path> testData;
    if (argc > 1 && std::filesystem::is_directory(std::filesystem::path(argv[1]) / "objects")) {
        testData = argv[1];
    }
    std::mt19937 random(20261207);
    const auto seeds = ostrel::jet::test::VbaSeeds(testData);
    constexpr int kVariants = 200;
    for (const auto& [name, seed] : seeds) {
        LLVMFuzzerTestOneInput(seed.data(), seed.size());
        if (seed.empty()) {
            continue;
        }
        for (int v = 0; v < kVariants; ++v) {
            std::vector<std::uint8_t> bytes = seed;
            std::uniform_int_distribution<std::size_t> at(0, bytes.size() - 1);
            const int changes = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < changes; ++i) {
                bytes[at(random)] = static_cast<std::uint8_t>(random());
            }
            if (v % 5 == 4) {
                bytes.resize(at(random));
            }
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        }
    }
    std::printf("ran over %zu seeds with %d damaged variants each\n", seeds.size(), kVariants);
    return 0;
}
