#include "engine/html_text.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace ostrel::engine {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the valid UTF-8 sequence at the start of text, or 0.
std::size_t SequenceLength(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6u) | (byte(i) & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) {
        return 0;
    }
    return length;
}

bool AllowedControl(char c) {
    return c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

void AppendHtmlEscaped(std::string& out, std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = SequenceLength(text);
        if (length == 0) {
            out += kReplacement;
            text.remove_prefix(1);
            continue;
        }
        if (length == 1) {
            const char c = text.front();
            switch (c) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '"':
                    out += "&quot;";
                    break;
                case '\'':
                    out += "&#39;";
                    break;
                default:
                    if ((static_cast<unsigned char>(c) < 0x20 && !AllowedControl(c)) ||
                        c == '\x7F') {
                        out += kReplacement;
                    } else {
                        out += c;
                    }
            }
        } else {
            out.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
}

std::string HtmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendHtmlEscaped(out, text);
    return out;
}

std::string PercentEncoded(std::string_view text) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (plain) {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[byte >> 4u];
            out += kHex[byte & 0x0Fu];
        }
    }
    return out;
}

std::string ObjectAnchor(ObjectKind kind, std::string_view name) {
    return PercentEncoded(WordsOf(kind).lower) + "-" + PercentEncoded(name);
}

std::string ScriptSafeJson(std::string_view json) {
    std::string out;
    out.reserve(json.size());
    for (const char c : json) {
        if (c == '<') {
            out += "\\u003c";
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

std::string Base64(const unsigned char* data, std::size_t size) {
    // EVP_EncodeBlock writes a terminating NUL after the text.
    std::string buffer(4 * ((size + 2) / 3) + 1, '\0');
    const int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(buffer.data()), data,
                                        static_cast<int>(size));
    buffer.resize(static_cast<std::size_t>(written));
    return buffer;
}

}  // namespace

std::string Sha256Base64(std::string_view text) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), digest.data(), &length, EVP_sha256(), nullptr) != 1) {
        throw std::runtime_error("the SHA-256 digest could not be computed");
    }
    return Base64(digest.data(), length);
}

struct GzipBase64Stream::State {
    z_stream stream{};
};

GzipBase64Stream::GzipBase64Stream() : state_(std::make_unique<State>()) {
    // 15 window bits, plus 16: a gzip header and trailer.
    if (deflateInit2(&state_->stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("the compressor could not be started");
    }
}

GzipBase64Stream::~GzipBase64Stream() {
    deflateEnd(&state_->stream);
}

void GzipBase64Stream::Deflate(std::string_view text, bool finish) {
    constexpr std::size_t kChunk = std::size_t{1} << 16;
    z_stream& stream = state_->stream;
    while (!text.empty() || finish) {
        const std::size_t take = std::min<std::size_t>(text.size(), kChunk);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
        stream.avail_in = static_cast<uInt>(take);
        const bool last = finish && take == text.size();
        int result = Z_OK;
        do {
            const std::size_t used = packed_.size();
            packed_.resize(used + kChunk);
            stream.next_out = reinterpret_cast<Bytef*>(packed_.data() + used);
            stream.avail_out = static_cast<uInt>(kChunk);
            result = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            packed_.resize(used + kChunk - stream.avail_out);
            if (result == Z_STREAM_ERROR) {
                throw std::runtime_error("the report's data could not be compressed");
            }
        } while (stream.avail_out == 0 || (last && result != Z_STREAM_END));
        text.remove_prefix(take);
        if (last) {
            return;
        }
    }
}

void GzipBase64Stream::Append(std::string_view text) {
    Deflate(text, false);
}

std::string GzipBase64Stream::Finish() {
    Deflate({}, true);
    std::string out =
        Base64(reinterpret_cast<const unsigned char*>(packed_.data()), packed_.size());
    packed_.clear();
    packed_.shrink_to_fit();
    return out;
}

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    out += '"';
}

}  // namespace ostrel::engine
