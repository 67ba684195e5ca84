// The decompression of VBA containers on chunks made by hand: raw chunks,
// literals, a copy token at every width of its offset, and damage.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/jet/vba_compression.h"
#include "components/schema/schema_error.h"

namespace ostrel::jet::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kLabel = "built.mdb";

// A chunk: its header (size and the compressed flag) and its bytes.
Bytes Chunk(const Bytes& data, bool compressed) {
    const std::size_t field = data.size() + 2 - 3;
    Bytes chunk = {static_cast<std::uint8_t>(field),
                   static_cast<std::uint8_t>(0x30 | (field >> 8) | (compressed ? 0x80 : 0))};
    chunk.insert(chunk.end(), data.begin(), data.end());
    return chunk;
}

Bytes Container(const std::vector<Bytes>& chunks) {
    Bytes out = {0x01};
    for (const Bytes& c : chunks) {
        out.insert(out.end(), c.begin(), c.end());
    }
    return out;
}

// Writes a compressed chunk's tokens: flag bytes, literals and copy tokens.
class Tokens {
  public:
    Tokens& Literal(char c) {
        Flag(false);
        bytes_.push_back(static_cast<std::uint8_t>(c));
        ++produced_;
        return *this;
    }
    Tokens& Literals(const std::string& text) {
        for (const char c : text) {
            Literal(c);
        }
        return *this;
    }
    // A copy token as stored.
    Tokens& Token(std::uint16_t token) {
        Flag(true);
        bytes_.push_back(static_cast<std::uint8_t>(token));
        bytes_.push_back(static_cast<std::uint8_t>(token >> 8));
        return *this;
    }
    // Repeats from `offset` back, for `length` bytes, at the width the
    // position asks for: enough bits for the distance to the chunk's start,
    // at least 4.
    Tokens& Copy(std::size_t offset, std::size_t length) {
        unsigned bits = 4;
        while ((std::size_t{1} << bits) < produced_) {
            ++bits;
        }
        produced_ += length;
        return Token(static_cast<std::uint16_t>(((offset - 1) << (16 - bits)) | (length - 3)));
    }
    // The alphabet over and over until `total` bytes have been produced.
    Tokens& Alphabet(std::size_t total) {
        Literals(Letters(std::min<std::size_t>(26, total)));
        while (produced_ < total) {
            unsigned bits = 4;
            while ((std::size_t{1} << bits) < produced_) {
                ++bits;
            }
            const std::size_t room = total - produced_;
            if (room < 3) {
                Literal(static_cast<char>('a' + produced_ % 26));
                continue;
            }
            Copy(26, std::min<std::size_t>(room, (std::size_t{1} << (16 - bits)) + 2));
        }
        return *this;
    }
    const Bytes& Data() const { return bytes_; }

    static std::string Letters(std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i) {
            s += static_cast<char>('a' + i % 26);
        }
        return s;
    }

  private:
    void Flag(bool copy) {
        if (count_ % 8 == 0) {
            flagAt_ = bytes_.size();
            bytes_.push_back(0);
        }
        if (copy) {
            bytes_[flagAt_] |= static_cast<std::uint8_t>(1U << (count_ % 8));
        }
        ++count_;
    }

    Bytes bytes_;
    std::size_t count_ = 0;
    std::size_t flagAt_ = 0;
    std::size_t produced_ = 0;
};

std::string Decompress(const Bytes& container, std::size_t cap = kMaxDecompressedSize) {
    const auto out = DecompressContainer(ByteCursor(container, kLabel, "module"), cap);
    return {out.begin(), out.end()};
}

std::string ErrorOf(const Bytes& container, std::size_t cap = kMaxDecompressedSize) {
    try {
        Decompress(container, cap);
    } catch (const schema::SchemaError& e) {
        return e.what();
    }
    return "";
}

TEST(VbaCompression, RawAndLiteralChunks) {
    Bytes raw(4096);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        raw[i] = static_cast<std::uint8_t>(i * 7);
    }
    const Bytes literals = {0x00, 'H', 'e', 'l', 'l', 'o', ',', ' ', 'w', 0x00, 'o', 'r'};
    EXPECT_EQ(Decompress(Container({Chunk(raw, false), Chunk(literals, true)})),
              std::string(raw.begin(), raw.end()) + "Hello, wor");
    EXPECT_EQ(Decompress({0x01}), "");
}

// At every position a copy token's offset takes the bits it needs to reach
// the chunk's start (at least 4, at most 12); the rest hold the length.
TEST(VbaCompression, CopyTokenAtEveryOffsetWidth) {
    struct Case {
        std::size_t before;  // bytes produced before the token
        unsigned bits;       // offset bits at that position
    };
    const std::vector<Case> cases = {{3, 4},     {16, 4},    {17, 5},   {32, 5},    {33, 6},
                                     {64, 6},    {65, 7},    {128, 7},  {129, 8},   {256, 8},
                                     {257, 9},   {512, 9},   {513, 10}, {1024, 10}, {1025, 11},
                                     {2048, 11}, {2049, 12}, {4000, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE("after " + std::to_string(c.before) + " bytes");
        const std::string prefix = Tokens::Letters(c.before);
        // Back to the chunk's first byte, for 3 bytes.
        const auto back = static_cast<std::uint16_t>((c.before - 1) << (16 - c.bits));
        EXPECT_EQ(
            Decompress(Container({Chunk(Tokens().Alphabet(c.before).Token(back).Data(), true)})),
            prefix + "abc");
        // The longest length the width allows, from the byte before.
        const std::size_t longest =
            std::min<std::size_t>((std::size_t{1} << (16 - c.bits)) + 2, 4096 - c.before);
        const auto repeat = static_cast<std::uint16_t>(longest - 3);
        EXPECT_EQ(
            Decompress(Container({Chunk(Tokens().Alphabet(c.before).Token(repeat).Data(), true)})),
            prefix + std::string(longest, prefix.back()));
    }
}

TEST(VbaCompression, DamageIsNamedWithItsOffset) {
    const Bytes fine = Chunk(Tokens().Literals("abcde").Token(0).Data(), true);
    struct Case {
        const char* what;
        Bytes container;
        const char* message;
    };
    Bytes wrongSignature = Container({fine});
    wrongSignature[2] = 0x50;
    Bytes rawTooShort = Chunk(Bytes(100, 'x'), false);
    Bytes pastEnd = Container({fine});
    pastEnd.resize(pastEnd.size() - 1);
    const std::vector<Case> cases = {
        {"no signature byte", Bytes{0x02, 0x00, 0xB0}, "not a compressed container"},
        {"chunk signature", wrongSignature, "offset 0x1: not a chunk header"},
        {"chunk header cut", Bytes{0x01, 0x00}, "chunk header cut short"},
        {"chunk past the end", pastEnd, "runs past the end"},
        {"raw chunk not 4096 bytes", Container({rawTooShort}), "raw chunk of 100 bytes"},
        {"token before the chunk",
         Container({Chunk(Tokens().Literals("abcde").Token(0x5000).Data(), true)}),
         "offset 0x9: copy token reaches 1 bytes before its chunk"},
        {"token with nothing before it", Container({Chunk({0x01, 0x00, 0x00}, true)}),
         "reaches 1 bytes before its chunk"},
        {"token cut by the chunk's end", Container({Chunk({0x02, 'a', 0x00}, true)}),
         "copy token cut short"},
        {"chunk of more than 4096 bytes",
         Container({Chunk(Tokens().Literal('a').Token(0x0FFF).Data(), true)}),
         "more than 4096 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string message = ErrorOf(c.container);
        EXPECT_NE(message.find(kLabel + ": damaged: module"), std::string::npos) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
}

TEST(VbaCompression, CopiesStayInTheirChunk) {
    Bytes raw(4096, 'r');
    // In the second chunk nothing precedes the token, though the first chunk
    // does: a token may not reach into an earlier chunk.
    const std::string message =
        ErrorOf(Container({Chunk(raw, false), Chunk({0x01, 0x00, 0x00}, true)}));
    EXPECT_NE(message.find("offset 0x1006: copy token reaches 1 bytes before its chunk"),
              std::string::npos)
        << message;
}

TEST(VbaCompression, OutputIsCapped) {
    // Each chunk of six bytes gives 4096: a literal repeated 4095 times.
    const std::vector<Bytes> chunks(40, Chunk(Tokens().Literal('a').Token(0x0FFC).Data(), true));
    EXPECT_NE(ErrorOf(Container(chunks), 64 * 1024).find("decompresses to more than 65536 bytes"),
              std::string::npos);
    EXPECT_EQ(ErrorOf(Container(chunks), 256 * 1024), "");
}

TEST(VbaCompression, EmbeddedContainersEndWithTheirLastChunk) {
    const Bytes full = Chunk(Bytes(4096, 'f'), false);
    const Bytes last = Chunk({0x00, 'e', 'n', 'd'}, true);
    Bytes followed = Container({full, last});
    const Bytes trailing = {0x10, 0xB0, 0xFF, 0xFF, 0x07};  // a chunk header, then junk
    followed.insert(followed.end(), trailing.begin(), trailing.end());
    auto out = DecompressEmbeddedContainer(ByteCursor(followed, kLabel, "module"));
    EXPECT_EQ(std::string(out.begin(), out.end()), std::string(4096, 'f') + "end");
    // After a full chunk, bytes that do not decompress as a chunk end it too.
    Bytes fullThenJunk = Container({full});
    fullThenJunk.insert(fullThenJunk.end(), trailing.begin(), trailing.end());
    out = DecompressEmbeddedContainer(ByteCursor(fullThenJunk, kLabel, "module"));
    EXPECT_EQ(out.size(), 4096U);
    EXPECT_NE(ErrorOf(followed).find("runs past the end"), std::string::npos);

    const auto prefix = DecompressedPrefix(followed, 5);
    ASSERT_TRUE(prefix.has_value());
    EXPECT_EQ(std::string(prefix->begin(), prefix->end()), "fffff");
    EXPECT_FALSE(DecompressedPrefix(Bytes{0x01, 0x00, 0x20}, 5).has_value());
}

}  // namespace
}  // namespace ostrel::jet::test
