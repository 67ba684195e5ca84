#include "components/jet/rc4.h"

#include "components/jet/crypt/crypto.h"

namespace ostrel::jet {

void Rc4Xor(std::span<const std::uint8_t> key, std::span<std::uint8_t> data) {
    if (key.empty()) {
        return;
    }
    crypt::Rc4 rc4;
    rc4.Start(key);
    rc4.Apply(data);
}

}  // namespace ostrel::jet
