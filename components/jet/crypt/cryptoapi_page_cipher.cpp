// RC4 CryptoAPI and AES CryptoAPI (ECMA-376 standard) encryption of ACE
// pages: SHA-1 of the salt and password, hashed again a number of rounds,
// then for each block (the page's key bytes) a key of its own.

#include <array>

#include "components/jet/crypt/page_cipher.h"

namespace ostrel::jet::crypt::detail {
namespace {

constexpr std::size_t kSha1Size = 20;
constexpr std::size_t kVerifierSize = 16;
constexpr std::size_t kHmacBlock = 64;

class CryptoApiPageCipher final : public PageCipher {
  public:
    CryptoApiPageCipher(const CryptoApiDescriptor& d, std::uint32_t encodingKey,
                        const SecretBytes& password)
        : cipher_(d.cipher), keySize_(d.keyBits / 8), encodingKey_(encodingKey) {
        passwordHash_ = sha1_.Hash({d.salt, password.Span()});
        for (std::uint32_t round = 0; round < d.hashRounds; ++round) {
            const auto counter = BlockBytes(round);
            sha1_.Hash({counter, passwordHash_.Span()}, passwordHash_.Span());
        }
        if (!Verifies(d)) {
            throw WrongPasswordError(WrongPasswordError::Reason::NoMatch);
        }
    }

    void Decrypt(std::uint32_t number, std::span<const std::uint8_t> in,
                 std::span<std::uint8_t> out) override {
        const SecretBytes key = KeyFor(BlockBytes(encodingKey_ ^ number));
        if (cipher_ == CryptoApiDescriptor::Cipher::Rc4) {
            rc4_.Start(key.Span());
            rc4_.Apply(in, out);
            return;
        }
        if (!aes_) {
            aes_ = std::make_unique<AesDecryptor>(AesDecryptor::Mode::Ecb, key.Span());
        } else {
            aes_->SetKey(key.Span());
        }
        aes_->Decrypt({}, in, out);
    }

  private:
    // The key of one block.
    SecretBytes KeyFor(std::span<const std::uint8_t> block) {
        SecretBytes final = sha1_.Hash({passwordHash_.Span(), block});
        if (cipher_ == CryptoApiDescriptor::Cipher::Rc4) {
            final.Resize(keySize_, 0);
            // A 40-bit key is used as 128 bits, the rest zero.
            if (keySize_ == 5) {
                final.Resize(16, 0);
            }
            return final;
        }
        // AES: the key is drawn from the hashes of the block's hash XORed
        // into 0x36 and 0x5C fillers.
        SecretBytes key(2 * kSha1Size);
        for (const std::uint8_t fill : {std::uint8_t{0x36}, std::uint8_t{0x5C}}) {
            SecretBytes filler(kHmacBlock);
            for (std::size_t i = 0; i < kHmacBlock; ++i) {
                filler.Data()[i] = static_cast<std::uint8_t>(
                    fill ^ (i < final.Size() ? final.Data()[i] : std::uint8_t{0}));
            }
            sha1_.Hash({filler.Span()},
                       key.Span().subspan(fill == 0x36 ? 0 : kSha1Size, kSha1Size));
        }
        key.Resize(keySize_, 0);
        return key;
    }

    bool Verifies(const CryptoApiDescriptor& d) {
        const SecretBytes key = KeyFor(BlockBytes(0));
        SecretBytes verifier(kVerifierSize);
        SecretBytes verifierHash(d.encryptedVerifierHash.size());
        if (cipher_ == CryptoApiDescriptor::Cipher::Rc4) {
            // One stream over the verifier and then its hash.
            rc4_.Start(key.Span());
            rc4_.Apply(d.encryptedVerifier, verifier.Span());
            rc4_.Apply(d.encryptedVerifierHash, verifierHash.Span());
        } else {
            AesDecryptor aes(AesDecryptor::Mode::Ecb, key.Span());
            aes.Decrypt({}, d.encryptedVerifier, verifier.Span());
            aes.Decrypt({}, d.encryptedVerifierHash, verifierHash.Span());
        }
        const SecretBytes expected = sha1_.Hash({verifier.Span()});
        return SameBytes(expected.Span(), verifierHash.Span().first(kSha1Size));
    }

    CryptoApiDescriptor::Cipher cipher_;
    std::size_t keySize_;
    std::uint32_t encodingKey_;
    Hasher sha1_{HashAlgorithm::Sha1};
    SecretBytes passwordHash_;
    Rc4 rc4_;
    std::unique_ptr<AesDecryptor> aes_;
};

}  // namespace

std::unique_ptr<PageCipher> MakeCryptoApiPageCipher(const CryptoApiDescriptor& descriptor,
                                                    std::uint32_t encodingKey,
                                                    const SecretBytes& password) {
    return std::make_unique<CryptoApiPageCipher>(descriptor, encodingKey, password);
}

}  // namespace ostrel::jet::crypt::detail
