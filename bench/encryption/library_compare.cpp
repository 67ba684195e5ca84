// Compares the cryptography libraries Debian offers for what the reader
// needs: RC4 of a 4 KB page under a fresh 4-byte key (encoded Jet pages),
// AES-256-CBC of a 4 KB page under a fresh vector (agile pages), and
// 100,000 rounds of SHA-512 over 68 bytes (the agile password check), in
// OpenSSL 3, nettle and libgcrypt, and RC4 written by hand. Not built with
// the project (see README.md):
//   g++ -O2 -std=c++20 bench/encryption/library_compare.cpp -o library_compare \
//       -lcrypto -lnettle -lgcrypt

#include <gcrypt.h>
#include <nettle/aes.h>
#include <nettle/arcfour.h>
#include <nettle/cbc.h>
#include <nettle/sha2.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPages = 20000;
constexpr int kPage = 4096;
constexpr std::uint32_t kRounds = 100000;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void HandRc4(const std::uint8_t* key, std::size_t keyLength, std::uint8_t* data,
             std::size_t length) {
    std::array<std::uint8_t, 256> s{};
    std::iota(s.begin(), s.end(), std::uint8_t{0});
    unsigned j = 0;
    for (unsigned i = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLength]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    unsigned a = 0;
    unsigned b = 0;
    for (std::size_t n = 0; n < length; ++n) {
        a = (a + 1) & 0xFF;
        b = (b + s[a]) & 0xFF;
        std::swap(s[a], s[b]);
        data[n] ^= s[(s[a] + s[b]) & 0xFF];
    }
}

}  // namespace

int main() {
    std::vector<std::uint8_t> in(kPage, 0x5A);
    std::vector<std::uint8_t> out(kPage);
    std::uint8_t key4[4] = {1, 2, 3, 4};
    std::uint8_t key32[32] = {7};
    std::uint8_t iv[16] = {9};
    gcry_check_version(nullptr);

    OSSL_LIB_CTX* context = OSSL_LIB_CTX_new();
    OSSL_PROVIDER_load(context, "default");
    if (OSSL_PROVIDER_load(context, "legacy") == nullptr) {
        std::puts("OpenSSL's legacy provider is missing");
        return 1;
    }
    EVP_CIPHER* rc4 = EVP_CIPHER_fetch(context, "RC4", nullptr);
    EVP_CIPHER* aes = EVP_CIPHER_fetch(context, "AES-256-CBC", nullptr);
    EVP_MD* sha512 = EVP_MD_fetch(context, "SHA512", nullptr);
    EVP_CIPHER_CTX* cipher = EVP_CIPHER_CTX_new();
    EVP_MD_CTX* digest = EVP_MD_CTX_new();
    int written = 0;

    auto start = Clock::now();
    for (int p = 0; p < kPages; ++p) {
        key4[0] = static_cast<std::uint8_t>(p);
        EVP_DecryptInit_ex2(cipher, rc4, nullptr, nullptr, nullptr);
        EVP_CIPHER_CTX_set_key_length(cipher, 4);
        EVP_DecryptInit_ex2(cipher, nullptr, key4, nullptr, nullptr);
        EVP_DecryptUpdate(cipher, out.data(), &written, in.data(), kPage);
    }
    const double opensslRc4 = Seconds(start);
    start = Clock::now();
    for (int p = 0; p < kPages; ++p) {
        key4[0] = static_cast<std::uint8_t>(p);
        arcfour_ctx a;
        arcfour_set_key(&a, 4, key4);
        arcfour_crypt(&a, kPage, out.data(), in.data());
    }
    const double nettleRc4 = Seconds(start);
    // libgcrypt takes no RC4 key shorter than 40 bits: it cannot decode Jet
    // pages, whose keys are 32 bits. Timed with 5-byte keys for comparison.
    gcry_cipher_hd_t gcryRc4Handle = nullptr;
    gcry_cipher_open(&gcryRc4Handle, GCRY_CIPHER_ARCFOUR, GCRY_CIPHER_MODE_STREAM, 0);
    const bool gcryptTakesJetKeys = gcry_cipher_setkey(gcryRc4Handle, key4, 4) == 0;
    std::uint8_t key5[5] = {1, 2, 3, 4, 5};
    start = Clock::now();
    for (int p = 0; p < kPages; ++p) {
        key5[0] = static_cast<std::uint8_t>(p);
        gcry_cipher_setkey(gcryRc4Handle, key5, 5);
        gcry_cipher_decrypt(gcryRc4Handle, out.data(), kPage, in.data(), kPage);
    }
    const double gcryptRc4 = Seconds(start);
    start = Clock::now();
    for (int p = 0; p < kPages; ++p) {
        key4[0] = static_cast<std::uint8_t>(p);
        std::memcpy(out.data(), in.data(), kPage);
        HandRc4(key4, 4, out.data(), kPage);
    }
    const double handRc4 = Seconds(start);

    start = Clock::now();
    for (int p = 0; p < kPages; ++p) {
        iv[0] = static_cast<std::uint8_t>(p);
        EVP_DecryptInit_ex2(cipher, aes, key32, iv, nullptr);
        EVP_CIPHER_CTX_set_padding(cipher, 0);
        EVP_DecryptUpdate(cipher, out.data(), &written, in.data(), kPage);
    }
    const double opensslAes = Seconds(start);
    start = Clock::now();
    for (int p = 0; p < kPages; ++p) {
        iv[0] = static_cast<std::uint8_t>(p);
        aes256_ctx a;
        aes256_set_decrypt_key(&a, key32);
        std::uint8_t vector[16];
        std::memcpy(vector, iv, 16);
        cbc_decrypt(&a, reinterpret_cast<nettle_cipher_func*>(aes256_decrypt), 16, vector, kPage,
                    out.data(), in.data());
    }
    const double nettleAes = Seconds(start);
    gcry_cipher_hd_t gcryAesHandle = nullptr;
    gcry_cipher_open(&gcryAesHandle, GCRY_CIPHER_AES256, GCRY_CIPHER_MODE_CBC, 0);
    start = Clock::now();
    for (int p = 0; p < kPages; ++p) {
        iv[0] = static_cast<std::uint8_t>(p);
        gcry_cipher_setkey(gcryAesHandle, key32, 32);
        gcry_cipher_setiv(gcryAesHandle, iv, 16);
        gcry_cipher_decrypt(gcryAesHandle, out.data(), kPage, in.data(), kPage);
    }
    const double gcryptAes = Seconds(start);

    std::uint8_t hash[64] = {1};
    std::uint8_t buffer[68];
    start = Clock::now();
    for (std::uint32_t i = 0; i < kRounds; ++i) {
        std::memcpy(buffer, &i, 4);
        std::memcpy(buffer + 4, hash, 64);
        unsigned int size = 0;
        EVP_DigestInit_ex2(digest, sha512, nullptr);
        EVP_DigestUpdate(digest, buffer, sizeof buffer);
        EVP_DigestFinal_ex(digest, hash, &size);
    }
    const double opensslSpin = Seconds(start);
    start = Clock::now();
    for (std::uint32_t i = 0; i < kRounds; ++i) {
        std::memcpy(buffer, &i, 4);
        std::memcpy(buffer + 4, hash, 64);
        sha512_ctx s;
        sha512_init(&s);
        sha512_update(&s, sizeof buffer, buffer);
        sha512_digest(&s, 64, hash);
    }
    const double nettleSpin = Seconds(start);
    start = Clock::now();
    for (std::uint32_t i = 0; i < kRounds; ++i) {
        std::memcpy(buffer, &i, 4);
        std::memcpy(buffer + 4, hash, 64);
        gcry_md_hash_buffer(GCRY_MD_SHA512, hash, buffer, sizeof buffer);
    }
    const double gcryptSpin = Seconds(start);

    std::printf(
        "RC4, 4 KB page, new key (us a page): OpenSSL %.2f, nettle %.2f, libgcrypt %.2f "
        "(5-byte keys; 4-byte keys %s), by hand %.2f\n",
        opensslRc4 / kPages * 1e6, nettleRc4 / kPages * 1e6, gcryptRc4 / kPages * 1e6,
        gcryptTakesJetKeys ? "taken" : "refused", handRc4 / kPages * 1e6);
    std::printf("AES-256-CBC, 4 KB page (us a page): OpenSSL %.2f, nettle %.2f, libgcrypt %.2f\n",
                opensslAes / kPages * 1e6, nettleAes / kPages * 1e6, gcryptAes / kPages * 1e6);
    std::printf("SHA-512 x %u (ms): OpenSSL %.1f, nettle %.1f, libgcrypt %.1f\n", kRounds,
                opensslSpin * 1e3, nettleSpin * 1e3, gcryptSpin * 1e3);
    gcry_cipher_close(gcryRc4Handle);
    gcry_cipher_close(gcryAesHandle);
    EVP_MD_CTX_free(digest);
    EVP_CIPHER_CTX_free(cipher);
    EVP_MD_free(sha512);
    EVP_CIPHER_free(aes);
    EVP_CIPHER_free(rc4);
    OSSL_LIB_CTX_free(context);
    return 0;
}
