#pragma once

// Damaged variants of a seed for the fuzz targets' smoke runs without
// libFuzzer: bytes changed at random, and the seed cut short.

#include <cstdint>
#include <random>
#include <vector>

namespace ostrel::jet::test {

// Runs the target (LLVMFuzzerTestOneInput of the program) over seed and over
// `variants` damaged copies of it (fewer for large seeds).
void RunWithVariants(const std::vector<std::uint8_t>& seed, int variants, std::mt19937& random);

}  // namespace ostrel::jet::test
