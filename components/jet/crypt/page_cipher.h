#pragma once

// Decryption of the pages of an encoded or password-protected file. Page 0,
// the header, is never encrypted; every page after it is, with a key made
// for that page from the header's encoding key and the page number.

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string_view>

#include "components/jet/crypt/encryption_descriptor.h"

namespace ostrel::jet::crypt {

class PageCipher {
  public:
    virtual ~PageCipher() = default;
    // Decrypts page `number` (1 or more) from in into out, of the same size.
    virtual void Decrypt(std::uint32_t number, std::span<const std::uint8_t> in,
                         std::span<std::uint8_t> out) = 0;

  protected:
    PageCipher() = default;
    PageCipher(const PageCipher&) = default;
    PageCipher& operator=(const PageCipher&) = default;
};

// The password does not open the file: it fails the descriptor's verifier,
// or it is not UTF-8 text (the message says which).
class WrongPasswordError : public std::runtime_error {
  public:
    enum class Reason { NoMatch, NotText };
    explicit WrongPasswordError(Reason reason)
        : std::runtime_error(reason == Reason::NoMatch
                                 ? "the password does not match the database's verifier"
                                 : "the password is not UTF-8 text"),
          reason_(reason) {}
    Reason WhatFailed() const { return reason_; }

  private:
    Reason reason_;
};

// Encoded Jet 3 and Jet 4 files: RC4 with the header's key combined with the
// page number. No password is involved.
std::unique_ptr<PageCipher> MakeJetPageCipher(std::uint32_t encodingKey);

// ACE files with a database password. The password (UTF-8) is checked
// against the descriptor's verifier first; throws WrongPasswordError when it
// does not match. Only derived keys are kept, never the password.
std::unique_ptr<PageCipher> MakePasswordPageCipher(const EncryptionDescriptor& descriptor,
                                                   std::uint32_t encodingKey,
                                                   std::string_view password);

// The inputs shared by the ciphers.
namespace detail {
// The password as the descriptors hash it: UTF-16LE, at most 255 characters.
// Throws WrongPasswordError when it is not UTF-8.
SecretBytes PasswordUtf16(std::string_view utf8);
// The 4 little-endian bytes of a block number.
std::array<std::uint8_t, 4> BlockBytes(std::uint32_t block);
// Equal without telling by its timing where they differ.
bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

std::unique_ptr<PageCipher> MakeCryptoApiPageCipher(const CryptoApiDescriptor& descriptor,
                                                    std::uint32_t encodingKey,
                                                    const SecretBytes& password);
std::unique_ptr<PageCipher> MakeAgilePageCipher(const AgileDescriptor& descriptor,
                                                std::uint32_t encodingKey,
                                                const SecretBytes& password);
}  // namespace detail

}  // namespace ostrel::jet::crypt
