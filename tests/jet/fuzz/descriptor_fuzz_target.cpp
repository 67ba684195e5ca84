// The parsers of encryption descriptors: the binary structure (RC4 and AES
// CryptoAPI, and the agile form's header) and the agile XML, each over the
// same bytes. A descriptor that parses is then used as a file's would be,
// where that costs little: the password checked against it, and a page
// decrypted. Damage may only end in DescriptorError, CryptoError or a wrong
// password.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

#include "components/jet/crypt/encryption_descriptor.h"
#include "components/jet/crypt/page_cipher.h"

namespace {

using namespace ostrel::jet::crypt;

// Password hashing rounds the target still goes through (the parser allows
// up to ten million, which take seconds).
constexpr std::uint32_t kAffordableRounds = 2'000;

bool Affordable(const EncryptionDescriptor& descriptor) {
    if (const auto* agile = std::get_if<AgileDescriptor>(&descriptor)) {
        return agile->spinCount <= kAffordableRounds;
    }
    return std::get<CryptoApiDescriptor>(descriptor).hashRounds <= kAffordableRounds;
}

void Use(const EncryptionDescriptor& descriptor) {
    if (!Affordable(descriptor)) {
        return;
    }
    try {
        const auto cipher = MakePasswordPageCipher(descriptor, 0x5A17C0DE, "password");
        std::array<std::uint8_t, 4096> page{};
        cipher->Decrypt(7, page, page);
    } catch (const WrongPasswordError&) {
    } catch (const CryptoError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        Use(ParseEncryptionDescriptor(bytes));
    } catch (const DescriptorError&) {
    } catch (const CryptoError&) {
    }
    try {
        Use(ParseAgileXml(std::string_view(reinterpret_cast<const char*>(data), size)));  // NOLINT
    } catch (const DescriptorError&) {
    } catch (const CryptoError&) {
    }
    return 0;
}
