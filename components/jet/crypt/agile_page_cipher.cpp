// Agile encryption of ACE pages: the password, hashed spinCount times,
// opens the verifier and the file's key; each page is AES-CBC with that key
// and an initialisation vector made from the key data's salt and the page's
// key bytes.

#include "components/jet/crypt/page_cipher.h"

namespace ostrel::jet::crypt::detail {
namespace {

// The block keys of the three values the password opens.
constexpr std::array<std::uint8_t, 8> kVerifierInputBlock = {0xFE, 0xA7, 0xD2, 0x76,
                                                             0x3B, 0x4B, 0x9E, 0x79};
constexpr std::array<std::uint8_t, 8> kVerifierHashBlock = {0xD7, 0xAA, 0x0F, 0x6D,
                                                            0x30, 0x61, 0x34, 0x4E};
constexpr std::array<std::uint8_t, 8> kKeyValueBlock = {0x14, 0x6E, 0x0B, 0xE7,
                                                        0xAB, 0xAC, 0xD0, 0xD6};
// Keys and vectors shorter than needed are filled up with this byte.
constexpr std::uint8_t kFill = 0x36;

class AgilePageCipher final : public PageCipher {
  public:
    AgilePageCipher(const AgileDescriptor& d, std::uint32_t encodingKey,
                    const SecretBytes& password)
        : encodingKey_(encodingKey), keyDataSalt_(d.keyData.salt), pageHash_(d.keyData.hash) {
        const AgileKeyParameters& p = d.passwordKey;
        Hasher hash(p.hash);
        SecretBytes spun = hash.Hash({p.salt, password.Span()});
        for (std::uint32_t round = 0; round < d.spinCount; ++round) {
            const auto counter = BlockBytes(round);
            hash.Hash({counter, spun.Span()}, spun.Span());
        }
        SecretBytes iv(p.salt);
        iv.Resize(p.blockSize, kFill);
        const auto open = [&](std::span<const std::uint8_t> block,
                              const std::vector<std::uint8_t>& encrypted) {
            SecretBytes key = hash.Hash({spun.Span(), block});
            key.Resize(p.keySize, kFill);
            SecretBytes plain(encrypted.size());
            AesDecryptor(AesDecryptor::Mode::Cbc, key.Span())
                .Decrypt(iv.Span(), encrypted, plain.Span());
            return plain;
        };
        SecretBytes input = open(kVerifierInputBlock, d.encryptedVerifierHashInput);
        input.Resize(p.salt.size(), 0);
        const SecretBytes inputHash = hash.Hash({input.Span()});
        const SecretBytes storedHash = open(kVerifierHashBlock, d.encryptedVerifierHashValue);
        if (!SameBytes(inputHash.Span(), storedHash.Span().first(p.hashSize))) {
            throw WrongPasswordError(WrongPasswordError::Reason::NoMatch);
        }
        SecretBytes key = open(kKeyValueBlock, d.encryptedKeyValue);
        key.Resize(d.keyData.keySize, 0);
        aes_ = std::make_unique<AesDecryptor>(AesDecryptor::Mode::Cbc, key.Span());
        blockSize_ = d.keyData.blockSize;
    }

    void Decrypt(std::uint32_t number, std::span<const std::uint8_t> in,
                 std::span<std::uint8_t> out) override {
        const auto block = BlockBytes(encodingKey_ ^ number);
        SecretBytes iv = pageHash_.Hash({keyDataSalt_, block});
        iv.Resize(blockSize_, kFill);
        aes_->Decrypt(iv.Span(), in, out);
    }

  private:
    std::uint32_t encodingKey_;
    std::vector<std::uint8_t> keyDataSalt_;
    Hasher pageHash_;
    std::unique_ptr<AesDecryptor> aes_;
    std::size_t blockSize_ = 16;
};

}  // namespace

std::unique_ptr<PageCipher> MakeAgilePageCipher(const AgileDescriptor& descriptor,
                                                std::uint32_t encodingKey,
                                                const SecretBytes& password) {
    return std::make_unique<AgilePageCipher>(descriptor, encodingKey, password);
}

}  // namespace ostrel::jet::crypt::detail
