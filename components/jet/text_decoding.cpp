#include "components/jet/text_decoding.h"

#include "components/jet/page_file.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel::jet {
namespace {

// Windows-1252 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<std::uint16_t, 32> kCp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

constexpr std::uint32_t kReplacement = 0xFFFD;

}  // namespace

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Utf16ToUtf8(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t u = bytes[2 * i] | (bytes[2 * i + 1] << 8);
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
            const std::uint32_t low = bytes[2 * i + 2] | (bytes[2 * i + 3] << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u < 0xE000) ? kReplacement : u);
    }
    return out;
}

std::string DecodeUnicodeText(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE) {
        return Utf16ToUtf8(bytes);
    }
    // Expand the compressed form to UTF-16LE, then convert.
    std::basic_string<std::uint8_t> wide;
    wide.reserve(bytes.size() * 2);
    bool compressed = true;
    std::size_t i = 2;
    while (i < bytes.size()) {
        if (bytes[i] == 0) {
            compressed = !compressed;
            ++i;
        } else if (compressed) {
            wide.push_back(bytes[i]);
            wide.push_back(0);
            ++i;
        } else {
            if (i + 1 >= bytes.size()) {
                break;
            }
            wide.push_back(bytes[i]);
            wide.push_back(bytes[i + 1]);
            i += 2;
        }
    }
    return Utf16ToUtf8(std::span<const std::uint8_t>(wide.data(), wide.size()));
}

namespace {

std::string DecodeCp1252(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const std::uint8_t b : bytes) {
        if (b >= 0x80 && b < 0xA0) {
            AppendUtf8(out, kCp1252High[b - 0x80]);
        } else {
            AppendUtf8(out, b);
        }
    }
    return out;
}

// Closes a converter when it goes out of scope.
struct Converter {
    explicit Converter(iconv_t handle) : cd(handle) {}
    ~Converter() { iconv_close(cd); }
    iconv_t cd;
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
};

// Converts with the C library's converter for "CP<codePage>"; nullopt when it
// does not know the code page or the bytes are not valid in it.
std::optional<std::string> DecodeWithIconv(std::span<const std::uint8_t> bytes, int codePage) {
    const std::string name = "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    // iconv_open reports failure as (iconv_t)-1.
    if (cd == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
        return std::nullopt;
    }
    const Converter converter(cd);
    std::vector<char> in(bytes.begin(), bytes.end());
    std::string out(bytes.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (iconv(converter.cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

constexpr int kWesternEuropean = 1252;
constexpr int kUtf8CodePage = 65001;

// Converts `in` from one charset to another with the C library's converter;
// where it meets something it cannot convert, `replace` appends a stand-in to
// the output and says how many input bytes to skip. Nothing when the
// converter does not know a charset.
template <class Replace>
std::optional<std::string> ConvertReplacing(std::string_view input, const char* to,
                                            const char* from, const Replace& replace) {
    iconv_t cd = iconv_open(to, from);
    // iconv_open reports failure as (iconv_t)-1.
    if (cd == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
        return std::nullopt;
    }
    const Converter converter(cd);
    std::vector<char> in(input.begin(), input.end());
    std::string out;
    out.reserve(input.size() + input.size() / 4);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    std::array<char, 4096> buffer{};
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(converter.cd, &inPtr, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        out.append(buffer.data(), buffer.size() - outLeft);
        if (result == static_cast<std::size_t>(-1) && error != E2BIG) {
            const std::size_t skip =
                std::min(replace(out, std::string_view(inPtr, inLeft)), inLeft);
            inPtr += skip;
            inLeft -= skip;
            iconv(converter.cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

// Converts from `charset`, each byte it cannot take as U+FFFD; nothing when
// it does not know the charset.
std::optional<std::string> DecodeReplacing(std::span<const std::uint8_t> bytes,
                                           const std::string& charset) {
    const std::string_view input(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return ConvertReplacing(input, "UTF-8", charset.c_str(),
                            [](std::string& out, std::string_view /*rest*/) -> std::size_t {
                                AppendUtf8(out, kReplacement);  // undefined or cut short
                                return 1;
                            });
}

}  // namespace

std::string DecodeProjectText(std::span<const std::uint8_t> bytes, int codePage) {
    if (codePage != kWesternEuropean && codePage > 0) {
        const std::string charset =
            codePage == kUtf8CodePage ? "UTF-8" : "CP" + std::to_string(codePage);
        if (auto text = DecodeReplacing(bytes, charset)) {
            return std::move(*text);
        }
    }
    return DecodeCp1252(bytes);
}

std::string DecodeCodePageText(std::span<const std::uint8_t> bytes, int codePage) {
    if (codePage != kWesternEuropean && codePage > 0) {
        if (auto text = DecodeWithIconv(bytes, codePage)) {
            return std::move(*text);
        }
    }
    return DecodeCp1252(bytes);
}

std::string DecodeText(const PageFile& file, std::span<const std::uint8_t> bytes) {
    return file.Format().unicodeText ? DecodeUnicodeText(bytes)
                                     : DecodeCodePageText(bytes, file.CodePage());
}

std::string EncodeCodePageText(std::string_view utf8, int codePage) {
    if (codePage == kUtf8CodePage) {
        return std::string(utf8);
    }
    const std::string name = "CP" + std::to_string(codePage);
    auto text = ConvertReplacing(
        utf8, name.c_str(), "UTF-8", [](std::string& out, std::string_view rest) -> std::size_t {
            // The whole character the code page lacks
            // (or a bad byte) becomes one "?".
            out.push_back('?');
            std::size_t skip = 1;
            while (skip < rest.size() && (static_cast<unsigned char>(rest[skip]) & 0xC0) == 0x80) {
                ++skip;
            }
            return skip;
        });
    return text ? std::move(*text) : std::string(utf8);
}

}  // namespace ostrel::jet
