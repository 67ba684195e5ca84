// Times the decryption of encrypted database files, apart from the report:
// the password check of each file (key derivation, with its spin count)
// and the decryption of all its pages.
//   encryption_bench FILE[:PASSWORD]...
// A file without a password is an encoded Jet file.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "components/jet/crypt/crypto.h"
#include "components/jet/crypt/encryption_descriptor.h"
#include "components/jet/crypt/page_cipher.h"

namespace {

using namespace ostrel::jet::crypt;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

std::uint32_t EncodingKey(std::vector<std::uint8_t> header, bool jet3) {
    Rc4 mask;
    const std::array<std::uint8_t, 4> key = {0xC7, 0xDA, 0x39, 0x6B};
    mask.Start(key);
    mask.Apply(std::span(header).subspan(0x18, jet3 ? 126 : 128));
    return static_cast<std::uint32_t>(header[0x3E]) | (header[0x3F] << 8) | (header[0x40] << 16) |
           (static_cast<std::uint32_t>(header[0x41]) << 24);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto colon = arg.rfind(':');
        const std::string path = colon == std::string::npos ? arg : arg.substr(0, colon);
        const std::string password = colon == std::string::npos ? "" : arg.substr(colon + 1);
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in),
                                             std::istreambuf_iterator<char>()};
        if (file.size() < 4096) {
            std::printf("%s: cannot be read\n", path.c_str());
            continue;
        }
        const bool jet3 = file[0x14] == 0;
        const std::size_t pageSize = jet3 ? 2048 : 4096;
        const std::uint32_t key = EncodingKey({file.begin(), file.begin() + pageSize}, jet3);
        std::unique_ptr<PageCipher> cipher;
        std::string form = "encoded Jet (RC4)";
        if (colon != std::string::npos) {
            const std::size_t length = file[0x299] | (file[0x29A] << 8);
            const auto descriptor =
                ParseEncryptionDescriptor(std::span(file).subspan(0x29B, length));
            if (const auto* agile = std::get_if<AgileDescriptor>(&descriptor)) {
                form = "agile, spin count " + std::to_string(agile->spinCount);
            } else {
                const auto& c = std::get<CryptoApiDescriptor>(descriptor);
                form = (c.cipher == CryptoApiDescriptor::Cipher::Rc4 ? "RC4 CryptoAPI, "
                                                                     : "AES CryptoAPI, ") +
                       std::to_string(c.keyBits) + " bits, " + std::to_string(c.hashRounds) +
                       " rounds";
            }
            std::vector<double> checks;
            for (int run = 0; run < 5; ++run) {
                const auto start = Clock::now();
                cipher = MakePasswordPageCipher(descriptor, key, password);
                checks.push_back(Milliseconds(Clock::now() - start));
            }
            std::sort(checks.begin(), checks.end());
            std::printf("%s (%s): password check median %.1f ms (min %.1f, max %.1f)\n",
                        path.c_str(), form.c_str(), checks[2], checks[0], checks[4]);
        } else {
            cipher = MakeJetPageCipher(key);
        }
        const std::size_t pages = file.size() / pageSize;
        std::vector<std::uint8_t> out(pageSize);
        constexpr int kRounds = 20;
        const auto start = Clock::now();
        for (int round = 0; round < kRounds; ++round) {
            for (std::size_t page = 1; page < pages; ++page) {
                cipher->Decrypt(static_cast<std::uint32_t>(page),
                                std::span(file).subspan(page * pageSize, pageSize), out);
            }
        }
        const double ms = Milliseconds(Clock::now() - start);
        const double count = static_cast<double>(kRounds) * static_cast<double>(pages - 1);
        std::printf("%s (%s): %.2f us a page, %.0f MB/s\n", path.c_str(), form.c_str(),
                    ms * 1000.0 / count, count * static_cast<double>(pageSize) / ms / 1000.0);
    }
    return 0;
}
