#include "components/jet/rc4.h"

#include <array>
#include <numeric>
#include <utility>

namespace ostrel::jet {

void Rc4Xor(std::span<const std::uint8_t> key, std::span<std::uint8_t> data) {
    if (key.empty()) {
        return;
    }
    std::array<std::uint8_t, 256> state{};
    std::iota(state.begin(), state.end(), std::uint8_t{0});
    unsigned j = 0;
    for (unsigned i = 0; i < 256; ++i) {
        j = (j + state[i] + key[i % key.size()]) & 0xFF;
        std::swap(state[i], state[j]);
    }
    unsigned i = 0;
    j = 0;
    for (std::uint8_t& byte : data) {
        i = (i + 1) & 0xFF;
        j = (j + state[i]) & 0xFF;
        std::swap(state[i], state[j]);
        byte ^= state[(state[i] + state[j]) & 0xFF];
    }
}

}  // namespace ostrel::jet
