#include "components/jet/crypt/encryption_descriptor.h"

#include <algorithm>

namespace ostrel::jet::crypt {
namespace {

constexpr std::uint32_t kFlagCryptoApi = 0x04;
constexpr std::uint32_t kFlagExternal = 0x10;
constexpr std::uint32_t kFlagAes = 0x20;
constexpr std::uint32_t kAlgorithmByFlags = 0;
constexpr std::uint32_t kAlgorithmRc4 = 0x6801;
constexpr std::uint32_t kAlgorithmAes128 = 0x660E;
constexpr std::uint32_t kAlgorithmAes192 = 0x660F;
constexpr std::uint32_t kAlgorithmAes256 = 0x6610;
constexpr std::uint32_t kHashSha1 = 0x8004;
constexpr std::uint32_t kAgileReserved = 0x40;
constexpr std::size_t kHeaderFixedSize = 32;  // the header's fields before the provider name
constexpr std::size_t kSaltSize = 16;
constexpr std::size_t kSha1Size = 20;
constexpr std::uint32_t kStandardHashRounds = 50'000;

[[noreturn]] void Damaged(const std::string& what) {
    throw DescriptorError(DescriptorError::Kind::Damaged, what);
}

[[noreturn]] void Unsupported(const std::string& what) {
    throw DescriptorError(DescriptorError::Kind::Unsupported, what);
}

// Little-endian reads that stop at the end of the bytes.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Remaining() const { return bytes_.size() - pos_; }
    std::span<const std::uint8_t> Take(std::size_t count, const char* what) {
        if (count > Remaining()) {
            Damaged(std::string(what) + " runs past the end of the descriptor");
        }
        const auto part = bytes_.subspan(pos_, count);
        pos_ += count;
        return part;
    }
    std::uint16_t U16(const char* what) {
        const auto b = Take(2, what);
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::uint32_t U32(const char* what) {
        const auto b = Take(4, what);
        return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
               (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

std::string Hex(std::uint32_t value) {
    static const char* const kDigits = "0123456789ABCDEF";
    std::string text = "0x";
    bool started = false;
    for (int shift = 28; shift >= 0; shift -= 4) {
        const unsigned digit = (value >> shift) & 0xF;
        started = started || digit != 0 || shift == 0;
        if (started) {
            text += kDigits[digit];
        }
    }
    return text;
}

// The cipher, key size and hashing the header's fields name.
void SetCipher(std::uint32_t flags, std::uint32_t algorithm, std::uint32_t hash,
               std::uint32_t keyBits, CryptoApiDescriptor& d) {
    std::uint32_t aesBits = 0;
    switch (algorithm) {
        case kAlgorithmByFlags:
            d.cipher = (flags & kFlagAes) != 0 ? CryptoApiDescriptor::Cipher::Aes
                                               : CryptoApiDescriptor::Cipher::Rc4;
            aesBits = 128;
            break;
        case kAlgorithmRc4:
            d.cipher = CryptoApiDescriptor::Cipher::Rc4;
            break;
        case kAlgorithmAes128:
        case kAlgorithmAes192:
        case kAlgorithmAes256:
            d.cipher = CryptoApiDescriptor::Cipher::Aes;
            aesBits = 128 + 64 * (algorithm - kAlgorithmAes128);
            break;
        default:
            Unsupported("cipher " + Hex(algorithm));
    }
    if (hash != kHashSha1 && hash != 0) {
        Unsupported("hash algorithm " + Hex(hash));
    }
    if (d.cipher == CryptoApiDescriptor::Cipher::Rc4) {
        if (keyBits == 0) {
            keyBits = 40;
        }
        if (keyBits < 40 || keyBits > 128 || keyBits % 8 != 0) {
            Damaged("RC4 key size " + std::to_string(keyBits) +
                    " bits out of range (40 to 128, in steps of 8)");
        }
    } else {
        if (keyBits == 0) {
            keyBits = aesBits;
        }
        if (keyBits != aesBits) {
            Damaged("AES key size " + std::to_string(keyBits) +
                    " bits does not match the cipher (" + std::to_string(aesBits) + " bits)");
        }
        // ECMA-376 standard encryption sets the AES flag and hashes the
        // password 50,000 times; AES chosen through CryptoAPI alone does not.
        d.hashRounds = (flags & kFlagAes) != 0 ? kStandardHashRounds : 0;
    }
    d.keyBits = keyBits;
}

// The salt and the encrypted verifier with its hash, after the header.
void ReadVerifier(Reader& reader, CryptoApiDescriptor& d) {
    const std::uint32_t saltSize = reader.U32("the salt size");
    if (saltSize != kSaltSize) {
        Damaged("salt size " + std::to_string(saltSize) + " out of range (16)");
    }
    const auto salt = reader.Take(kSaltSize, "the salt");
    std::copy(salt.begin(), salt.end(), d.salt.begin());
    const auto verifier = reader.Take(d.encryptedVerifier.size(), "the verifier");
    std::copy(verifier.begin(), verifier.end(), d.encryptedVerifier.begin());
    const std::uint32_t verifierHashSize = reader.U32("the verifier hash size");
    if (verifierHashSize != kSha1Size) {
        Damaged("verifier hash size " + std::to_string(verifierHashSize) +
                " out of range (20, that of SHA-1)");
    }
    const std::size_t stored = d.cipher == CryptoApiDescriptor::Cipher::Rc4 ? kSha1Size : 32;
    const auto verifierHash = reader.Take(stored, "the verifier hash");
    d.encryptedVerifierHash.assign(verifierHash.begin(), verifierHash.end());
}

CryptoApiDescriptor ParseCryptoApi(Reader& reader) {
    const std::uint32_t headerSize = reader.U32("the header size");
    if (headerSize < kHeaderFixedSize || headerSize > reader.Remaining()) {
        Damaged("header size " + std::to_string(headerSize) + " out of range (" +
                std::to_string(kHeaderFixedSize) + " to " + std::to_string(reader.Remaining()) +
                ")");
    }
    Reader header(reader.Take(headerSize, "the header"));
    const std::uint32_t flags = header.U32("the header flags");
    header.U32("the header's extra size");
    const std::uint32_t algorithm = header.U32("the cipher");
    const std::uint32_t hash = header.U32("the hash algorithm");
    const std::uint32_t keyBits = header.U32("the key size");
    // The provider type, two reserved fields and the provider's name follow;
    // none of them changes how the key is made.

    if ((flags & kFlagExternal) != 0) {
        Unsupported("encryption by an external provider");
    }
    if ((flags & kFlagCryptoApi) == 0) {
        Unsupported("encryption flags " + Hex(flags) + " without CryptoAPI");
    }
    CryptoApiDescriptor d;
    SetCipher(flags, algorithm, hash, keyBits, d);
    ReadVerifier(reader, d);
    return d;
}

}  // namespace

EncryptionDescriptor ParseEncryptionDescriptor(std::span<const std::uint8_t> bytes) {
    Reader reader(bytes);
    const std::uint16_t major = reader.U16("the version");
    const std::uint16_t minor = reader.U16("the version");
    const std::string version = std::to_string(major) + "." + std::to_string(minor);
    if (major == 4 && minor == 4) {
        const std::uint32_t reserved = reader.U32("the agile descriptor's reserved field");
        if (reserved != kAgileReserved) {
            Damaged("agile descriptor's reserved field is " + Hex(reserved) + ", not 0x40");
        }
        const auto xml = reader.Take(reader.Remaining(), "the XML");
        return ParseAgileXml(
            std::string_view(reinterpret_cast<const char*>(xml.data()), xml.size()));  // NOLINT
    }
    if (minor == 2 && major >= 2 && major <= 4) {
        reader.U32("the flags");  // a copy of the header's own
        return ParseCryptoApi(reader);
    }
    if (minor == 3 && (major == 3 || major == 4)) {
        Unsupported("extensible encryption (version " + version + ")");
    }
    if (major == 1 && minor == 1) {
        Unsupported("Office binary RC4 encryption (version 1.1)");
    }
    Unsupported("encryption version " + version);
}

}  // namespace ostrel::jet::crypt
