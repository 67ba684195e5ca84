#pragma once

#include <cstdint>
#include <span>

namespace ostrel::jet {

// XORs data with the RC4 key stream of key (used for the masked part of the
// database header).
void Rc4Xor(std::span<const std::uint8_t> key, std::span<std::uint8_t> data);

}  // namespace ostrel::jet
