#pragma once

// Seeds for the descriptor fuzz target: the descriptors of a small built
// database encrypted in each form, and of the ACE files below the folders
// named.

#include <cstdint>
#include <string>
#include <vector>

namespace ostrel::jet::test {

std::vector<std::vector<std::uint8_t>> DescriptorSeeds(const std::vector<std::string>& folders);

}  // namespace ostrel::jet::test
