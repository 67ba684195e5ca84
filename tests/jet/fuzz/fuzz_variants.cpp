#include "tests/jet/fuzz/fuzz_variants.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace ostrel::jet::test {

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

}  // namespace ostrel::jet::test
