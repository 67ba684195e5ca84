// Runs the descriptor fuzz target without libFuzzer over its seeds and
// damaged variants of them, as a ctest.

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tests/jet/fuzz/descriptor_seeds.h"
#include "tests/jet/fuzz/fuzz_variants.h"

int main(int argc, char** argv) {
    std::mt19937 random(20261207);
    const std::vector<std::string> folders(argv + 1, argv + argc);
    const auto seeds = ostrel::jet::test::DescriptorSeeds(folders);
    for (const auto& seed : seeds) {
        ostrel::jet::test::RunWithVariants(seed, 3000, random);
    }
    std::printf("descriptor fuzz target ran over %zu seeds with damaged variants\n", seeds.size());
    return 0;
}
