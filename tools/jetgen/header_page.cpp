#include "tools/jetgen/header_page.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

#include "tools/jetgen/byte_writer.h"

namespace ostrel::jetgen {

namespace {
constexpr std::size_t kMaskedStart = 0x18;
constexpr std::size_t kMaskedLength = 128;
constexpr std::array<std::uint8_t, 4> kMaskKey = {0xC7, 0xDA, 0x39, 0x6B};
}  // namespace

void Rc4Apply(const std::uint8_t* key, std::size_t keyLength, std::uint8_t* data,
              std::size_t length) {
    std::array<std::uint8_t, 256> s{};
    for (std::size_t i = 0; i < s.size(); ++i) {
        s[i] = static_cast<std::uint8_t>(i);
    }
    std::size_t j = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        j = (j + s[i] + key[i % keyLength]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    std::size_t a = 0;
    std::size_t b = 0;
    for (std::size_t n = 0; n < length; ++n) {
        a = (a + 1) & 0xFF;
        b = (b + s[a]) & 0xFF;
        std::swap(s[a], s[b]);
        data[n] ^= s[(s[a] + s[b]) & 0xFF];
    }
}

Page MakeHeaderPage(const HeaderFields& fields) {
    Page page{};
    page[1] = 0x01;
    const char* engine = "Standard Jet DB";
    std::memcpy(page.data() + 4, engine, std::strlen(engine) + 1);
    page[0x14] = 0x01;  // Jet 4
    // The start of the masked region holds a fixed sequence in Access files.
    const std::uint8_t fixedStart[] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00,
                                       0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                                       0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
    std::memcpy(page.data() + kMaskedStart, fixedStart, sizeof fixedStart);
    PutU16(page.data() + 0x3C, static_cast<std::uint32_t>(fields.codePage));
    PutU32(page.data() + 0x3E, fields.encodingKey);  // zero: pages are stored plain
    // An empty password is stored as the mask derived from the creation date.
    const auto dateMask =
        static_cast<std::uint32_t>(static_cast<std::int32_t>(std::floor(fields.created)));
    for (std::size_t off = 0x42; off < 0x42 + 40; off += 4) {
        PutU32(page.data() + off, dateMask);
    }
    PutU16(page.data() + 0x6E, static_cast<std::uint32_t>(fields.sortOrder));
    page[0x71] = 0;  // sort order version: General (legacy)
    const auto dateBits = std::bit_cast<std::uint64_t>(fields.created);
    PutU32(page.data() + 0x72, static_cast<std::uint32_t>(dateBits));
    PutU32(page.data() + 0x76, static_cast<std::uint32_t>(dateBits >> 32));
    Rc4Apply(kMaskKey.data(), kMaskKey.size(), page.data() + kMaskedStart, kMaskedLength);
    // Unmasked: the engine version text Access writes after the masked region.
    PutU16(page.data() + 0x98, 0x0654);
    std::memcpy(page.data() + 0x9C, "4.0", 3);
    return page;
}

}  // namespace ostrel::jetgen
