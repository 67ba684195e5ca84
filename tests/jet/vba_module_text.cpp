#include "tests/jet/vba_module_text.h"

#include <openssl/evp.h>

#include <array>
#include <vector>

namespace ostrel::jet::test {
namespace {

std::vector<std::string_view> SplitLf(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos;
         lf = text.find('\n', start)) {
        parts.push_back(text.substr(start, lf - start));
        start = lf + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

}  // namespace

std::string WithLfLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

int CountLines(std::string_view lfText) {
    const auto parts = SplitLf(lfText);
    const bool finalLf = !lfText.empty() && lfText.back() == '\n';
    return static_cast<int>(parts.size()) - (finalLf ? 1 : 0);
}

std::string WithoutHiddenHeader(std::string_view lfText) {
    const auto parts = SplitLf(lfText);
    std::size_t first = 0;
    if (!parts.empty() && parts[0].starts_with("VERSION ") && parts.size() > 1 &&
        parts[1] == "BEGIN") {
        for (std::size_t i = 2; i < parts.size(); ++i) {
            if (parts[i] == "END") {
                first = i + 1;
                break;
            }
        }
    }
    while (first < parts.size() && parts[first].starts_with("Attribute VB_")) {
        ++first;
    }
    std::string out;
    for (std::size_t i = first; i < parts.size(); ++i) {
        out += parts[i];
        if (i + 1 < parts.size()) {
            out += '\n';
        }
    }
    return out;
}

std::string Sha256Hex(std::string_view bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int size = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_sha256(), nullptr);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < size; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 0xF];
    }
    return hex;
}

}  // namespace ostrel::jet::test
