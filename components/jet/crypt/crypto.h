#pragma once

// The cryptography the reader needs, from OpenSSL's libcrypto: RC4, AES and
// the SHA hashes. RC4 lives in OpenSSL 3's legacy provider, which is loaded
// into a library context of the reader's own, so that the rest of the
// program keeps OpenSSL's defaults. Failures raise CryptoError.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel::jet::crypt {

// The library refused an operation (an algorithm that cannot be loaded, a
// key it does not take). The message says which.
class CryptoError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Bytes holding key material: wiped when destroyed. Move-only.
class SecretBytes {
  public:
    SecretBytes() = default;
    explicit SecretBytes(std::size_t size) : bytes_(size, 0) {}
    explicit SecretBytes(std::span<const std::uint8_t> bytes)
        : bytes_(bytes.begin(), bytes.end()) {}
    ~SecretBytes();
    SecretBytes(SecretBytes&& other) noexcept;
    SecretBytes& operator=(SecretBytes&& other) noexcept;
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;

    std::uint8_t* Data() { return bytes_.data(); }
    const std::uint8_t* Data() const { return bytes_.data(); }
    std::size_t Size() const { return bytes_.size(); }
    std::span<std::uint8_t> Span() { return bytes_; }
    std::span<const std::uint8_t> Span() const { return bytes_; }
    // Keeps the first size bytes, or pads with fill up to size.
    void Resize(std::size_t size, std::uint8_t fill);

  private:
    std::vector<std::uint8_t> bytes_;
};

// Overwrites a secret in memory.
void Wipe(std::span<std::uint8_t> bytes) noexcept;

enum class HashAlgorithm { Sha1, Sha256, Sha384, Sha512 };

// One hash function, reusable for many messages.
class Hasher {
  public:
    explicit Hasher(HashAlgorithm algorithm);
    ~Hasher();
    Hasher(const Hasher&) = delete;
    Hasher& operator=(const Hasher&) = delete;

    std::size_t Size() const { return size_; }
    // The hash of the parts, one after the other, into out (Size() bytes).
    void Hash(std::initializer_list<std::span<const std::uint8_t>> parts,
              std::span<std::uint8_t> out);
    SecretBytes Hash(std::initializer_list<std::span<const std::uint8_t>> parts);

  private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
    std::size_t size_ = 0;
};

// RC4: XORs data with the key stream of key (any length from 1 to 256
// bytes). One object serves many keys; each Start begins a new stream.
class Rc4 {
  public:
    Rc4();
    ~Rc4();
    Rc4(const Rc4&) = delete;
    Rc4& operator=(const Rc4&) = delete;

    void Start(std::span<const std::uint8_t> key);
    // Continues the stream from where the last call ended.
    void Apply(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);
    void Apply(std::span<std::uint8_t> data) { Apply(data, data); }

  private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
};

// AES decryption without padding, of whole 16-byte blocks.
class AesDecryptor {
  public:
    enum class Mode { Ecb, Cbc };
    AesDecryptor(Mode mode, std::span<const std::uint8_t> key);
    ~AesDecryptor();
    AesDecryptor(const AesDecryptor&) = delete;
    AesDecryptor& operator=(const AesDecryptor&) = delete;

    // Changes the key (of the size given first).
    void SetKey(std::span<const std::uint8_t> key);
    // Decrypts in into out (the same size, a multiple of 16); iv is 16 bytes
    // for CBC and ignored for ECB.
    void Decrypt(std::span<const std::uint8_t> iv, std::span<const std::uint8_t> in,
                 std::span<std::uint8_t> out);

  private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
    Mode mode_;
    std::size_t keySize_ = 0;
};

// Decodes base64 text (whitespace allowed, padding as written); nothing when
// the text is not base64.
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text);

}  // namespace ostrel::jet::crypt
