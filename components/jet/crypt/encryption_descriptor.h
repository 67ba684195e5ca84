#pragma once

// The encryption descriptor of an ACE file with a database password: the
// EncryptionInfo structure of [MS-OFFCRYPTO] that Access keeps in the
// header page, in one of its three forms (RC4 CryptoAPI, AES CryptoAPI as
// ECMA-376 standard encryption uses it, and agile encryption with an XML
// descriptor). Parsing checks every size and value against what the forms
// allow, so that what comes out can be used without further checks.

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "components/jet/crypt/crypto.h"

namespace ostrel::jet::crypt {

// A descriptor that is damaged (Damaged) or of a form this reader does not
// read (Unsupported); the message says what is wrong.
class DescriptorError : public std::runtime_error {
  public:
    enum class Kind { Damaged, Unsupported };
    DescriptorError(Kind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}
    Kind WhatKind() const { return kind_; }

  private:
    Kind kind_;
};

// RC4 CryptoAPI and AES CryptoAPI (ECMA-376 standard) encryption: SHA-1,
// the key made from a salted password hash and a block number.
struct CryptoApiDescriptor {
    enum class Cipher { Rc4, Aes };
    Cipher cipher = Cipher::Rc4;
    std::uint32_t keyBits = 0;  // RC4: 40 to 128; AES: 128, 192 or 256
    // Rounds of the password hash: 50,000 for ECMA-376 standard encryption,
    // none for AES written without its flag and for RC4.
    std::uint32_t hashRounds = 0;
    std::array<std::uint8_t, 16> salt{};
    std::array<std::uint8_t, 16> encryptedVerifier{};
    // 20 bytes (the SHA-1 hash) for RC4, 32 (two AES blocks) for AES.
    std::vector<std::uint8_t> encryptedVerifierHash;
};

// The parameters of one key in an agile descriptor (keyData, or the
// password's encryptedKey).
struct AgileKeyParameters {
    HashAlgorithm hash = HashAlgorithm::Sha1;
    std::size_t hashSize = 0;   // bytes, that of the hash algorithm
    std::size_t blockSize = 0;  // bytes: 16 for AES
    std::size_t keySize = 0;    // bytes: 16, 24 or 32
    std::vector<std::uint8_t> salt;
};

struct AgileDescriptor {
    AgileKeyParameters keyData;
    AgileKeyParameters passwordKey;
    std::uint32_t spinCount = 0;
    std::vector<std::uint8_t> encryptedVerifierHashInput;
    std::vector<std::uint8_t> encryptedVerifierHashValue;
    std::vector<std::uint8_t> encryptedKeyValue;
};

using EncryptionDescriptor = std::variant<CryptoApiDescriptor, AgileDescriptor>;

// The most rounds of password hashing an agile descriptor may ask for: the
// largest spin count the format allows (Access writes 100,000).
inline constexpr std::uint32_t kMaxSpinCount = 10'000'000;

// Reads the structure from its version field on (the bytes the length
// field in front of it counts). Throws DescriptorError.
EncryptionDescriptor ParseEncryptionDescriptor(std::span<const std::uint8_t> bytes);

// Reads an agile descriptor's XML text. Throws DescriptorError.
AgileDescriptor ParseAgileXml(std::string_view xml);

}  // namespace ostrel::jet::crypt
