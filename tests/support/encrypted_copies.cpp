#include "tests/support/encrypted_copies.h"

#include <openssl/evp.h>
#include <openssl/provider.h>
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>

namespace ostrel::testsupport {
namespace {

constexpr std::size_t kMaskStart = 0x18;
constexpr std::size_t kKeyOffset = 0x3E;
constexpr std::size_t kDescriptorAt = 0x299;
constexpr std::size_t kAcePage = 4096;

using Bytes = std::vector<std::uint8_t>;

void Check(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string("test encryption: ") + what);
    }
}

std::size_t PageSizeOf(const FileBytes& file) {
    Check(file.size() > 0x14, "file too short");
    return file[0x14] == 0 ? 2048 : 4096;
}

OSSL_LIB_CTX* Library() {
    static OSSL_LIB_CTX* const context = [] {
        OSSL_LIB_CTX* c = OSSL_LIB_CTX_new();
        Check(OSSL_PROVIDER_load(c, "default") != nullptr, "no default provider");
        Check(OSSL_PROVIDER_load(c, "legacy") != nullptr, "no legacy provider");
        return c;
    }();
    return context;
}

// Runs a cipher over data in place (encrypting).
void Encrypt(const char* name, const Bytes& key, const Bytes& iv, std::uint8_t* data,
             std::size_t size) {
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(Library(), name, nullptr);
    Check(cipher != nullptr, name);
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    Check(EVP_EncryptInit_ex2(context, cipher, nullptr, nullptr, nullptr) == 1, "init");
    Check(EVP_CIPHER_CTX_set_key_length(context, static_cast<int>(key.size())) == 1, "key size");
    Check(EVP_EncryptInit_ex2(context, nullptr, key.data(), iv.empty() ? nullptr : iv.data(),
                              nullptr) == 1,
          "key");
    EVP_CIPHER_CTX_set_padding(context, 0);
    int written = 0;
    Check(EVP_EncryptUpdate(context, data, &written, data, static_cast<int>(size)) == 1 &&
              static_cast<std::size_t>(written) == size,
          "encrypt");
    EVP_CIPHER_CTX_free(context);
    EVP_CIPHER_free(cipher);
}

Bytes Hash(const char* name, std::initializer_list<Bytes> parts) {
    EVP_MD* md = EVP_MD_fetch(Library(), name, nullptr);
    Check(md != nullptr, name);
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    EVP_DigestInit_ex2(context, md, nullptr);
    for (const Bytes& part : parts) {
        EVP_DigestUpdate(context, part.data(), part.size());
    }
    Bytes out(static_cast<std::size_t>(EVP_MD_get_size(md)));
    unsigned int size = 0;
    EVP_DigestFinal_ex(context, out.data(), &size);
    EVP_MD_CTX_free(context);
    EVP_MD_free(md);
    return out;
}

Bytes Le32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

void Put32(Bytes& out, std::uint32_t v) {
    const Bytes b = Le32(v);
    out.insert(out.end(), b.begin(), b.end());
}

Bytes Random(std::size_t size) {
    Bytes out(size);
    Check(RAND_bytes(out.data(), static_cast<int>(size)) == 1, "random");
    return out;
}

Bytes Resized(Bytes bytes, std::size_t size, std::uint8_t fill) {
    bytes.resize(size, fill);
    return bytes;
}

Bytes Utf16(std::u16string_view text) {
    Bytes out;
    for (const char16_t c : text) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return out;
}

std::string Base64(const Bytes& bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),  // NOLINT
                                  bytes.data(), static_cast<int>(bytes.size()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

// The CryptoAPI descriptor: version, flags, header, verifier.
Bytes CryptoApiDescriptor(std::uint32_t flags, std::uint32_t algorithm, std::uint32_t keyBits,
                          const Bytes& salt, const Bytes& verifier, const Bytes& verifierHash) {
    Bytes d = {0x04, 0x00, 0x02, 0x00};
    Put32(d, flags);
    const std::u16string provider = u"Microsoft Enhanced Cryptographic Provider v1.0";
    Put32(d, static_cast<std::uint32_t>(32 + 2 * (provider.size() + 1)));
    Put32(d, flags);
    Put32(d, 0);
    Put32(d, algorithm);
    Put32(d, 0x8004);
    Put32(d, keyBits);
    Put32(d, algorithm == 0x6801 ? 1 : 0x18);
    Put32(d, 0);
    Put32(d, 0);
    for (const char16_t c : provider) {
        d.push_back(static_cast<std::uint8_t>(c));
        d.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    d.push_back(0);
    d.push_back(0);
    Put32(d, 16);
    d.insert(d.end(), salt.begin(), salt.end());
    d.insert(d.end(), verifier.begin(), verifier.end());
    Put32(d, 20);
    d.insert(d.end(), verifierHash.begin(), verifierHash.end());
    return d;
}

}  // namespace

void PutMaskedHeader32(FileBytes& file, std::size_t offset, std::uint32_t value) {
    const std::size_t maskLength = PageSizeOf(file) == 2048 ? 126 : 128;
    const Bytes maskKey = {0xC7, 0xDA, 0x39, 0x6B};
    Encrypt("RC4", maskKey, {}, file.data() + kMaskStart, maskLength);
    const Bytes v = Le32(value);
    std::copy(v.begin(), v.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
    Encrypt("RC4", maskKey, {}, file.data() + kMaskStart, maskLength);
}

FileBytes EncodedJetCopy(FileBytes plain, std::uint32_t key) {
    const std::size_t pageSize = PageSizeOf(plain);
    PutMaskedHeader32(plain, kKeyOffset, key);
    for (std::size_t page = 1; (page + 1) * pageSize <= plain.size(); ++page) {
        Encrypt("RC4", Le32(key ^ static_cast<std::uint32_t>(page)), {},
                plain.data() + page * pageSize, pageSize);
    }
    return plain;
}

FileBytes AsAceFile(FileBytes jet4) {
    Check(PageSizeOf(jet4) == kAcePage && jet4[0x14] == 1, "not a Jet 4 file");
    const std::string ace = "Standard ACE DB";
    std::copy(ace.begin(), ace.end(), jet4.begin() + 4);
    jet4[0x14] = 2;
    return jet4;
}

FileBytes EncryptedAceCopy(FileBytes plain, AceForm form, std::u16string_view password,
                           const AceOptions& options) {
    Check(PageSizeOf(plain) == kAcePage, "not an ACE file");
    const Bytes pwd = Utf16(password);
    const Bytes salt = Random(16);
    const std::uint32_t encodingKey = options.encodingKey;
    Bytes descriptor;
    // Encrypts one page given its block bytes.
    std::function<void(const Bytes&, std::uint8_t*)> encryptPage;

    const bool rc4 = form == AceForm::Rc4CryptoApi40 || form == AceForm::Rc4CryptoApi128;
    if (rc4) {
        const std::uint32_t bits = form == AceForm::Rc4CryptoApi40 ? 40 : 128;
        const Bytes base = Hash("SHA1", {salt, pwd});
        const auto keyFor = [base, bits](const Bytes& block) {
            Bytes key = Resized(Hash("SHA1", {base, block}), bits / 8, 0);
            return bits == 40 ? Resized(key, 16, 0) : key;
        };
        const Bytes verifier = Random(16);
        Bytes stream = verifier;
        const Bytes hash = Hash("SHA1", {verifier});
        stream.insert(stream.end(), hash.begin(), hash.end());
        Encrypt("RC4", keyFor(Le32(0)), {}, stream.data(), stream.size());
        descriptor = CryptoApiDescriptor(0x04, 0x6801, bits, salt,
                                         Bytes(stream.begin(), stream.begin() + 16),
                                         Bytes(stream.begin() + 16, stream.end()));
        encryptPage = [keyFor](const Bytes& block, std::uint8_t* page) {
            Encrypt("RC4", keyFor(block), {}, page, kAcePage);
        };
    } else if (form == AceForm::StandardAes128 || form == AceForm::CryptoApiAes256) {
        const bool standard = form == AceForm::StandardAes128;
        const std::size_t keySize = standard ? 16 : 32;
        Bytes h = Hash("SHA1", {salt, pwd});
        for (std::uint32_t i = 0; standard && i < 50'000; ++i) {
            h = Hash("SHA1", {Le32(i), h});
        }
        const auto keyFor = [h, keySize](const Bytes& block) {
            const Bytes final = Hash("SHA1", {h, block});
            Bytes x1(64, 0x36);
            Bytes x2(64, 0x5C);
            for (std::size_t i = 0; i < final.size(); ++i) {
                x1[i] ^= final[i];
                x2[i] ^= final[i];
            }
            Bytes key = Hash("SHA1", {x1});
            const Bytes second = Hash("SHA1", {x2});
            key.insert(key.end(), second.begin(), second.end());
            return Resized(key, keySize, 0);
        };
        const char* cipher = standard ? "AES-128-ECB" : "AES-256-ECB";
        Bytes verifier = Random(16);
        Bytes hash = Resized(Hash("SHA1", {verifier}), 32, 0);
        const Bytes key0 = keyFor(Le32(0));
        Encrypt(cipher, key0, {}, verifier.data(), verifier.size());
        Encrypt(cipher, key0, {}, hash.data(), hash.size());
        descriptor =
            CryptoApiDescriptor(standard ? 0x24 : 0x0C, standard ? 0x660E : 0x6610,
                                static_cast<std::uint32_t>(keySize * 8), salt, verifier, hash);
        encryptPage = [keyFor, cipher](const Bytes& block, std::uint8_t* page) {
            Encrypt(cipher, keyFor(block), {}, page, kAcePage);
        };
    } else {
        const bool sha512 = form == AceForm::AgileSha512Aes256;
        const char* hashName = sha512 ? "SHA512" : "SHA1";
        const std::size_t hashSize = sha512 ? 64 : 20;
        const std::size_t keySize = sha512 ? 32 : 16;
        const char* cipher = sha512 ? "AES-256-CBC" : "AES-128-CBC";
        Bytes spun = Hash(hashName, {salt, pwd});
        for (std::uint32_t i = 0; i < options.spinCount; ++i) {
            spun = Hash(hashName, {Le32(i), spun});
        }
        const auto passwordKey = [&](const Bytes& block) {
            return Resized(Hash(hashName, {spun, block}), keySize, 0x36);
        };
        const Bytes fileKey = Random(keySize);
        const Bytes keySalt = Random(16);
        Bytes verifierInput = Random(16);
        Bytes verifierHash = Resized(Hash(hashName, {verifierInput}), (hashSize + 15) / 16 * 16, 0);
        Bytes keyValue = fileKey;
        Encrypt(cipher, passwordKey({0xFE, 0xA7, 0xD2, 0x76, 0x3B, 0x4B, 0x9E, 0x79}), salt,
                verifierInput.data(), verifierInput.size());
        Encrypt(cipher, passwordKey({0xD7, 0xAA, 0x0F, 0x6D, 0x30, 0x61, 0x34, 0x4E}), salt,
                verifierHash.data(), verifierHash.size());
        Encrypt(cipher, passwordKey({0x14, 0x6E, 0x0B, 0xE7, 0xAB, 0xAC, 0xD0, 0xD6}), salt,
                keyValue.data(), keyValue.size());
        const std::string params = std::string("saltSize=\"16\" blockSize=\"16\" keyBits=\"") +
                                   std::to_string(keySize * 8) + "\" hashSize=\"" +
                                   std::to_string(hashSize) +
                                   "\" cipherAlgorithm=\"AES\" cipherChaining=\"ChainingModeCBC\" "
                                   "hashAlgorithm=\"" +
                                   hashName + "\" saltValue=\"";
        const std::string xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
            "<encryption xmlns=\"http://schemas.microsoft.com/office/2006/encryption\" "
            "xmlns:p=\"http://schemas.microsoft.com/office/2006/keyEncryptor/password\" "
            "xmlns:c=\"http://schemas.microsoft.com/office/2006/keyEncryptor/certificate\">"
            "<keyData " +
            params + Base64(keySalt) +
            "\"/><keyEncryptors><keyEncryptor "
            "uri=\"http://schemas.microsoft.com/office/2006/keyEncryptor/password\">"
            "<p:encryptedKey spinCount=\"" +
            std::to_string(options.spinCount) + "\" " + params + Base64(salt) +
            "\" encryptedVerifierHashInput=\"" + Base64(verifierInput) +
            "\" encryptedVerifierHashValue=\"" + Base64(verifierHash) + "\" encryptedKeyValue=\"" +
            Base64(keyValue) + "\"/></keyEncryptor></keyEncryptors></encryption>";
        descriptor = {0x04, 0x00, 0x04, 0x00, 0x40, 0x00, 0x00, 0x00};
        descriptor.insert(descriptor.end(), xml.begin(), xml.end());
        encryptPage = [fileKey, keySalt, hashName, cipher](const Bytes& block, std::uint8_t* page) {
            const Bytes iv = Resized(Hash(hashName, {keySalt, block}), 16, 0x36);
            Encrypt(cipher, fileKey, iv, page, kAcePage);
        };
    }

    PutMaskedHeader32(plain, kKeyOffset, encodingKey);
    plain = WithDescriptor(std::move(plain), descriptor);
    for (std::size_t page = 1; (page + 1) * kAcePage <= plain.size(); ++page) {
        encryptPage(Le32(encodingKey ^ static_cast<std::uint32_t>(page)),
                    plain.data() + page * kAcePage);
    }
    return plain;
}

FileBytes DescriptorOf(const FileBytes& file) {
    const std::size_t length = file.at(kDescriptorAt) | (file.at(kDescriptorAt + 1) << 8);
    const auto begin = file.begin() + static_cast<std::ptrdiff_t>(kDescriptorAt + 2);
    return {begin, begin + static_cast<std::ptrdiff_t>(length)};
}

FileBytes WithDescriptor(FileBytes file, const FileBytes& descriptor) {
    Check(kDescriptorAt + 2 + descriptor.size() <= kAcePage, "descriptor too long");
    std::fill(file.begin() + kDescriptorAt, file.begin() + kAcePage, 0);
    file[kDescriptorAt] = static_cast<std::uint8_t>(descriptor.size());
    file[kDescriptorAt + 1] = static_cast<std::uint8_t>(descriptor.size() >> 8);
    std::copy(descriptor.begin(), descriptor.end(), file.begin() + kDescriptorAt + 2);
    return file;
}

FileBytes WithDescriptorEdit(const FileBytes& file, std::string_view from, std::string_view to) {
    FileBytes descriptor = DescriptorOf(file);
    const auto at = std::search(descriptor.begin(), descriptor.end(), from.begin(), from.end());
    Check(at != descriptor.end(), "the descriptor does not hold the text to replace");
    const auto offset = at - descriptor.begin();
    descriptor.erase(at, at + static_cast<std::ptrdiff_t>(from.size()));
    descriptor.insert(descriptor.begin() + offset, to.begin(), to.end());
    return WithDescriptor(file, descriptor);
}

FileBytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Check(static_cast<bool>(in), "cannot read a test file");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace ostrel::testsupport
