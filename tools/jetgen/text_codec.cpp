#include "tools/jetgen/text_codec.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "tools/jetgen/generator_error.h"

namespace ostrel::jetgen {

namespace {

void PutUnit(Bytes& out, std::uint32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

int ParseInt(std::string_view text, std::size_t pos, std::size_t len, std::string_view whole) {
    int value = 0;
    if (pos + len > text.size()) {
        throw GeneratorError("bad date \"" + std::string(whole) + "\"");
    }
    auto [end, ec] = std::from_chars(text.data() + pos, text.data() + pos + len, value);
    if (ec != std::errc() || end != text.data() + pos + len) {
        throw GeneratorError("bad date \"" + std::string(whole) + "\"");
    }
    return value;
}

// Days from 1970-01-01 for a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

Bytes Utf8ToUtf16Le(std::string_view utf8) {
    Bytes out;
    out.reserve(utf8.size() * 2);
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp = 0;
        std::size_t extra = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            cp = lead & 0x1F;
            extra = 1;
        } else if ((lead & 0xF0) == 0xE0) {
            cp = lead & 0x0F;
            extra = 2;
        } else if ((lead & 0xF8) == 0xF0) {
            cp = lead & 0x07;
            extra = 3;
        } else {
            throw GeneratorError("text is not valid UTF-8");
        }
        if (i + extra >= utf8.size()) {
            throw GeneratorError("text is not valid UTF-8");
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cont = static_cast<unsigned char>(utf8[i + k]);
            if ((cont & 0xC0) != 0x80) {
                throw GeneratorError("text is not valid UTF-8");
            }
            cp = (cp << 6) | (cont & 0x3F);
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            PutUnit(out, 0xD800 + (cp >> 10));
            PutUnit(out, 0xDC00 + (cp & 0x3FF));
        } else {
            PutUnit(out, cp);
        }
    }
    return out;
}

double ParseOleDate(std::string_view text) {
    const int year = ParseInt(text, 0, 4, text);
    if (text.size() < 10 || text[4] != '-' || text[7] != '-') {
        throw GeneratorError("bad date \"" + std::string(text) + "\"");
    }
    const int month = ParseInt(text, 5, 2, text);
    const int day = ParseInt(text, 8, 2, text);
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (text.size() > 10) {
        if ((text[10] != 'T' && text[10] != ' ') || text.size() < 19 || text[13] != ':' ||
            text[16] != ':') {
            throw GeneratorError("bad date \"" + std::string(text) + "\"");
        }
        hour = ParseInt(text, 11, 2, text);
        minute = ParseInt(text, 14, 2, text);
        second = ParseInt(text, 17, 2, text);
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) {
        throw GeneratorError("bad date \"" + std::string(text) + "\"");
    }
    const std::int64_t days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        DaysFromCivil(1899, 12, 30);
    const double fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
    // OLE dates before 1899-12-30 keep the time part positive.
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

std::array<std::uint8_t, 16> ParseGuid(std::string_view text) {
    if (!text.empty() && text.front() == '{') {
        if (text.back() != '}') {
            throw GeneratorError("bad GUID \"" + std::string(text) + "\"");
        }
        text = text.substr(1, text.size() - 2);
    }
    std::array<std::uint8_t, 16> raw{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t groupEnds[] = {8, 13, 18, 23};
        bool dash = false;
        for (std::size_t g : groupEnds) {
            dash = dash || i == g;
        }
        if (dash) {
            if (text[i] != '-') {
                throw GeneratorError("bad GUID \"" + std::string(text) + "\"");
            }
            continue;
        }
        const int hi = HexValue(text[i]);
        const int lo = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
        if (hi < 0 || lo < 0 || n >= 16) {
            throw GeneratorError("bad GUID \"" + std::string(text) + "\"");
        }
        raw[n++] = static_cast<std::uint8_t>(hi * 16 + lo);
        ++i;
    }
    if (n != 16 || text.size() != 36) {
        throw GeneratorError("bad GUID \"" + std::string(text) + "\"");
    }
    // The first three groups are stored little endian.
    std::array<std::uint8_t, 16> out = raw;
    out[0] = raw[3];
    out[1] = raw[2];
    out[2] = raw[1];
    out[3] = raw[0];
    out[4] = raw[5];
    out[5] = raw[4];
    out[6] = raw[7];
    out[7] = raw[6];
    return out;
}

ScaledDecimal ParseScaledDecimal(std::string_view text, int scale) {
    ScaledDecimal result;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        result.negative = text[i] == '-';
        ++i;
    }
    int fractionDigits = -1;
    bool anyDigit = false;
    auto multiplyAdd = [&](std::uint32_t digit) {
        std::uint64_t carry = digit;
        for (auto& w : result.words) {
            const std::uint64_t v = static_cast<std::uint64_t>(w) * 10 + carry;
            w = static_cast<std::uint32_t>(v);
            carry = v >> 32;
        }
        if (carry != 0) {
            throw GeneratorError("decimal value too large: \"" + std::string(text) + "\"");
        }
    };
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && fractionDigits < 0) {
            fractionDigits = 0;
            continue;
        }
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            throw GeneratorError("bad number \"" + std::string(text) + "\"");
        }
        anyDigit = true;
        if (fractionDigits >= 0) {
            if (fractionDigits == scale) {
                continue;  // digits beyond the scale are dropped
            }
            ++fractionDigits;
        }
        multiplyAdd(static_cast<std::uint32_t>(c - '0'));
    }
    if (!anyDigit) {
        throw GeneratorError("bad number \"" + std::string(text) + "\"");
    }
    for (int k = std::max(fractionDigits, 0); k < scale; ++k) {
        multiplyAdd(0);
    }
    return result;
}

std::int64_t ParseCurrency(std::string_view text) {
    const ScaledDecimal d = ParseScaledDecimal(text, 4);
    const std::uint64_t magnitude = (static_cast<std::uint64_t>(d.words[1]) << 32) | d.words[0];
    const std::uint64_t limit = d.negative ? (1ULL << 63) : (1ULL << 63) - 1;
    if (d.words[2] != 0 || d.words[3] != 0 || magnitude > limit) {
        throw GeneratorError("currency value out of range: \"" + std::string(text) + "\"");
    }
    // Two's complement negation keeps the most negative value exact.
    return static_cast<std::int64_t>(d.negative ? ~magnitude + 1 : magnitude);
}

}  // namespace ostrel::jetgen
