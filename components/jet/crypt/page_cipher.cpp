#include "components/jet/crypt/page_cipher.h"

#include <openssl/crypto.h>

#include <variant>

namespace ostrel::jet::crypt {
namespace {

class JetPageCipher final : public PageCipher {
  public:
    explicit JetPageCipher(std::uint32_t encodingKey) : encodingKey_(encodingKey) {}

    void Decrypt(std::uint32_t number, std::span<const std::uint8_t> in,
                 std::span<std::uint8_t> out) override {
        const auto key = detail::BlockBytes(encodingKey_ ^ number);
        rc4_.Start(key);
        rc4_.Apply(in, out);
    }

  private:
    std::uint32_t encodingKey_;
    Rc4 rc4_;
};

// The most UTF-16 code units of a password that count.
constexpr std::size_t kMaxPasswordUnits = 255;

}  // namespace

std::unique_ptr<PageCipher> MakeJetPageCipher(std::uint32_t encodingKey) {
    return std::make_unique<JetPageCipher>(encodingKey);
}

std::unique_ptr<PageCipher> MakePasswordPageCipher(const EncryptionDescriptor& descriptor,
                                                   std::uint32_t encodingKey,
                                                   std::string_view password) {
    const SecretBytes utf16 = detail::PasswordUtf16(password);
    if (const auto* cryptoApi = std::get_if<CryptoApiDescriptor>(&descriptor)) {
        return detail::MakeCryptoApiPageCipher(*cryptoApi, encodingKey, utf16);
    }
    return detail::MakeAgilePageCipher(std::get<AgileDescriptor>(descriptor), encodingKey, utf16);
}

namespace detail {

SecretBytes PasswordUtf16(std::string_view utf8) {
    SecretBytes out(std::min(utf8.size(), kMaxPasswordUnits) * 4);
    std::size_t units = 0;
    const auto put = [&](std::uint32_t unit) {
        out.Data()[2 * units] = static_cast<std::uint8_t>(unit);
        out.Data()[2 * units + 1] = static_cast<std::uint8_t>(unit >> 8);
        ++units;
    };
    const auto bad = [] { throw WrongPasswordError(WrongPasswordError::Reason::NotText); };
    std::size_t i = 0;
    while (i < utf8.size() && units < kMaxPasswordUnits) {
        const auto lead = static_cast<std::uint8_t>(utf8[i]);
        std::size_t length = 1;
        std::uint32_t code = lead;
        if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07U;
        } else if (lead >= 0xE0) {
            length = lead <= 0xEF ? 3 : 0;
            code = lead & 0x0FU;
        } else if (lead >= 0xC2) {
            length = 2;
            code = lead & 0x1FU;
        } else if (lead >= 0x80) {
            length = 0;
        }
        if (length == 0 || i + length > utf8.size()) {
            bad();
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<std::uint8_t>(utf8[i + k]);
            if ((next & 0xC0U) != 0x80U) {
                bad();
            }
            code = (code << 6) | (next & 0x3FU);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            bad();
        }
        if (code >= 0x10000) {
            if (units + 2 > kMaxPasswordUnits) {
                break;
            }
            code -= 0x10000;
            put(0xD800 + (code >> 10));
            put(0xDC00 + (code & 0x3FFU));
        } else {
            put(code);
        }
        i += length;
    }
    out.Resize(2 * units, 0);
    return out;
}

std::array<std::uint8_t, 4> BlockBytes(std::uint32_t block) {
    return {static_cast<std::uint8_t>(block), static_cast<std::uint8_t>(block >> 8),
            static_cast<std::uint8_t>(block >> 16), static_cast<std::uint8_t>(block >> 24)};
}

bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace detail

}  // namespace ostrel::jet::crypt
