#include "components/jet/crypt/crypto.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <algorithm>
#include <array>
#include <climits>
#include <string>
#include <utility>

namespace ostrel::jet::crypt {
namespace {

// The reader's own OpenSSL library context, with the default provider and
// the legacy one (for RC4), and the algorithms fetched from it once.
class Library {
  public:
    Library() : context_(OSSL_LIB_CTX_new()) {
        if (context_ == nullptr) {
            return;
        }
        default_ = OSSL_PROVIDER_load(context_, "default");
        legacy_ = OSSL_PROVIDER_load(context_, "legacy");
        if (legacy_ != nullptr) {
            rc4_ = EVP_CIPHER_fetch(context_, "RC4", nullptr);
        }
        if (default_ == nullptr) {
            return;
        }
        const std::array<const char*, 3> ecb = {"AES-128-ECB", "AES-192-ECB", "AES-256-ECB"};
        const std::array<const char*, 3> cbc = {"AES-128-CBC", "AES-192-CBC", "AES-256-CBC"};
        for (std::size_t i = 0; i < 3; ++i) {
            ecb_[i] = EVP_CIPHER_fetch(context_, ecb[i], nullptr);
            cbc_[i] = EVP_CIPHER_fetch(context_, cbc[i], nullptr);
        }
        const std::array<const char*, 4> digests = {"SHA1", "SHA256", "SHA384", "SHA512"};
        for (std::size_t i = 0; i < digests.size(); ++i) {
            digests_[i] = EVP_MD_fetch(context_, digests[i], nullptr);
        }
    }
    ~Library() {
        EVP_CIPHER_free(rc4_);
        for (std::size_t i = 0; i < 3; ++i) {
            EVP_CIPHER_free(ecb_[i]);
            EVP_CIPHER_free(cbc_[i]);
        }
        for (EVP_MD* md : digests_) {
            EVP_MD_free(md);
        }
        if (legacy_ != nullptr) {
            OSSL_PROVIDER_unload(legacy_);
        }
        if (default_ != nullptr) {
            OSSL_PROVIDER_unload(default_);
        }
        OSSL_LIB_CTX_free(context_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    const EVP_CIPHER* Rc4() const {
        if (rc4_ == nullptr) {
            throw CryptoError("RC4 is not available: OpenSSL's legacy provider cannot be loaded");
        }
        return rc4_;
    }
    const EVP_CIPHER* Aes(AesDecryptor::Mode mode, std::size_t keySize) const {
        const std::size_t index = keySize == 16 ? 0 : (keySize == 24 ? 1 : 2);
        if (keySize != 16 && keySize != 24 && keySize != 32) {
            throw CryptoError("AES takes no key of " + std::to_string(keySize) + " bytes");
        }
        const EVP_CIPHER* cipher = mode == AesDecryptor::Mode::Ecb ? ecb_[index] : cbc_[index];
        if (cipher == nullptr) {
            throw CryptoError("AES is not available from OpenSSL");
        }
        return cipher;
    }
    const EVP_MD* Digest(HashAlgorithm algorithm) const {
        const EVP_MD* md = digests_[static_cast<std::size_t>(algorithm)];
        if (md == nullptr) {
            throw CryptoError("the hash algorithm is not available from OpenSSL");
        }
        return md;
    }

  private:
    OSSL_LIB_CTX* context_ = nullptr;
    OSSL_PROVIDER* default_ = nullptr;
    OSSL_PROVIDER* legacy_ = nullptr;
    EVP_CIPHER* rc4_ = nullptr;
    std::array<EVP_CIPHER*, 3> ecb_{};
    std::array<EVP_CIPHER*, 3> cbc_{};
    std::array<EVP_MD*, 4> digests_{};
};

const Library& TheLibrary() {
    static const Library library;
    return library;
}

// Runs a cipher over in into out, in pieces the library's int lengths take.
void Update(EVP_CIPHER_CTX* context, std::span<const std::uint8_t> in,
            std::span<std::uint8_t> out) {
    if (out.size() != in.size()) {
        throw CryptoError("output and input differ in size");
    }
    constexpr std::size_t kPiece = INT_MAX / 2;
    for (std::size_t done = 0; done < in.size();) {
        const std::size_t piece = std::min(kPiece, in.size() - done);
        int written = 0;
        if (EVP_CipherUpdate(context, out.data() + done, &written, in.data() + done,
                             static_cast<int>(piece)) != 1 ||
            static_cast<std::size_t>(written) != piece) {
            throw CryptoError("decryption failed");
        }
        done += piece;
    }
}

EVP_CIPHER_CTX* NewCipherContext() {
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    if (context == nullptr) {
        throw CryptoError("out of memory for a cipher");
    }
    return context;
}

}  // namespace

void Wipe(std::span<std::uint8_t> bytes) noexcept {
    if (!bytes.empty()) {
        OPENSSL_cleanse(bytes.data(), bytes.size());
    }
}

SecretBytes::~SecretBytes() {
    Wipe(bytes_);
}

SecretBytes::SecretBytes(SecretBytes&& other) noexcept : bytes_(std::move(other.bytes_)) {
    other.bytes_.clear();
}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept {
    if (this != &other) {
        Wipe(bytes_);
        bytes_ = std::move(other.bytes_);
        other.bytes_.clear();
    }
    return *this;
}

void SecretBytes::Resize(std::size_t size, std::uint8_t fill) {
    if (size <= bytes_.size()) {
        Wipe(std::span(bytes_).subspan(size));
        bytes_.resize(size);
        return;
    }
    // Grown in a new buffer so that the old one can be wiped.
    std::vector<std::uint8_t> grown(size, fill);
    std::copy(bytes_.begin(), bytes_.end(), grown.begin());
    Wipe(bytes_);
    bytes_ = std::move(grown);
}

struct Hasher::Handles {
    EVP_MD_CTX* context = nullptr;
    const EVP_MD* md = nullptr;
    ~Handles() { EVP_MD_CTX_free(context); }
};

Hasher::Hasher(HashAlgorithm algorithm) : handles_(std::make_unique<Handles>()) {
    handles_->md = TheLibrary().Digest(algorithm);
    handles_->context = EVP_MD_CTX_new();
    if (handles_->context == nullptr) {
        throw CryptoError("out of memory for a hash");
    }
    size_ = static_cast<std::size_t>(EVP_MD_get_size(handles_->md));
}

Hasher::~Hasher() = default;

void Hasher::Hash(std::initializer_list<std::span<const std::uint8_t>> parts,
                  std::span<std::uint8_t> out) {
    if (out.size() != size_) {
        throw CryptoError("hash output of the wrong size");
    }
    bool ok = EVP_DigestInit_ex2(handles_->context, handles_->md, nullptr) == 1;
    for (const auto& part : parts) {
        ok = ok && EVP_DigestUpdate(handles_->context, part.data(), part.size()) == 1;
    }
    unsigned int written = 0;
    ok = ok && EVP_DigestFinal_ex(handles_->context, out.data(), &written) == 1;
    if (!ok || written != size_) {
        throw CryptoError("hashing failed");
    }
}

SecretBytes Hasher::Hash(std::initializer_list<std::span<const std::uint8_t>> parts) {
    SecretBytes out(size_);
    Hash(parts, out.Span());
    return out;
}

struct Rc4::Handles {
    EVP_CIPHER_CTX* context = nullptr;
    const EVP_CIPHER* cipher = nullptr;
    ~Handles() { EVP_CIPHER_CTX_free(context); }
};

Rc4::Rc4() : handles_(std::make_unique<Handles>()) {
    handles_->cipher = TheLibrary().Rc4();
    handles_->context = NewCipherContext();
}

Rc4::~Rc4() = default;

void Rc4::Start(std::span<const std::uint8_t> key) {
    if (key.empty() || key.size() > 256) {
        throw CryptoError("RC4 takes no key of " + std::to_string(key.size()) + " bytes");
    }
    // The key length is set before the key, which the library reads at that length.
    if (EVP_CipherInit_ex2(handles_->context, handles_->cipher, nullptr, nullptr, 0, nullptr) !=
            1 ||
        EVP_CIPHER_CTX_set_key_length(handles_->context, static_cast<int>(key.size())) != 1 ||
        EVP_CipherInit_ex2(handles_->context, nullptr, key.data(), nullptr, 0, nullptr) != 1) {
        throw CryptoError("RC4 refused a key of " + std::to_string(key.size()) + " bytes");
    }
}

void Rc4::Apply(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
    Update(handles_->context, in, out);
}

struct AesDecryptor::Handles {
    EVP_CIPHER_CTX* context = nullptr;
    ~Handles() { EVP_CIPHER_CTX_free(context); }
};

AesDecryptor::AesDecryptor(Mode mode, std::span<const std::uint8_t> key)
    : handles_(std::make_unique<Handles>()), mode_(mode) {
    handles_->context = NewCipherContext();
    SetKey(key);
}

AesDecryptor::~AesDecryptor() = default;

void AesDecryptor::SetKey(std::span<const std::uint8_t> key) {
    const EVP_CIPHER* cipher = TheLibrary().Aes(mode_, key.size());
    if (EVP_CipherInit_ex2(handles_->context, cipher, key.data(), nullptr, 0, nullptr) != 1 ||
        EVP_CIPHER_CTX_set_padding(handles_->context, 0) != 1) {
        throw CryptoError("AES refused its key");
    }
    keySize_ = key.size();
}

void AesDecryptor::Decrypt(std::span<const std::uint8_t> iv, std::span<const std::uint8_t> in,
                           std::span<std::uint8_t> out) {
    constexpr std::size_t kBlock = 16;
    if (in.size() % kBlock != 0) {
        throw CryptoError("AES data of " + std::to_string(in.size()) +
                          " bytes is not made of whole blocks");
    }
    if (mode_ == Mode::Cbc && iv.size() != kBlock) {
        throw CryptoError("AES-CBC needs an initialisation vector of 16 bytes");
    }
    // Starts afresh with the key already set (and the new vector for CBC).
    if (EVP_CipherInit_ex2(handles_->context, nullptr, nullptr,
                           mode_ == Mode::Cbc ? iv.data() : nullptr, 0, nullptr) != 1) {
        throw CryptoError("AES refused its initialisation vector");
    }
    Update(handles_->context, in, out);
}

std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text) {
    if (text.size() > INT_MAX / 2) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> out(text.size() / 4 * 3 + 3);
    EVP_ENCODE_CTX* context = EVP_ENCODE_CTX_new();
    if (context == nullptr) {
        throw CryptoError("out of memory for base64");
    }
    EVP_DecodeInit(context);
    int written = 0;
    int last = 0;
    const int updated =
        EVP_DecodeUpdate(context, out.data(), &written,
                         reinterpret_cast<const unsigned char*>(text.data()),  // NOLINT
                         static_cast<int>(text.size()));
    const int finished = updated < 0 ? -1 : EVP_DecodeFinal(context, out.data() + written, &last);
    EVP_ENCODE_CTX_free(context);
    if (updated < 0 || finished != 1) {
        return std::nullopt;
    }
    out.resize(static_cast<std::size_t>(written) + static_cast<std::size_t>(last));
    return out;
}

}  // namespace ostrel::jet::crypt
