#include "tools/jetgen/vba_compressor.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "tools/jetgen/generator_error.h"

namespace ostrel::jetgen {

namespace {

constexpr std::size_t kChunk = 4096;
constexpr std::size_t kMaxChunkData = 4096;  // a 12-bit size field, less the header
constexpr std::uint16_t kSignatureBits = 0x3000;
constexpr std::uint16_t kCompressedFlag = 0x8000;
constexpr std::size_t kMinMatch = 3;
constexpr int kCandidates = 64;

// Bits of a copy token that hold the offset at this position of the chunk.
unsigned OffsetBits(std::size_t position) {
    unsigned bits = 4;
    while ((std::size_t{1} << bits) < position) {
        ++bits;
    }
    return bits;
}

// The longest earlier repetition of the bytes at `at` within the chunk, found
// through chains of positions with the same three leading bytes.
class MatchFinder {
  public:
    explicit MatchFinder(std::span<const std::uint8_t> chunk)
        : chunk_(chunk), previous_(chunk.size(), kNone) {
        head_.fill(kNone);
    }

    struct Match {
        std::size_t offset = 0;
        std::size_t length = 0;
    };

    Match Longest(std::size_t at) const {
        Match best;
        if (at + kMinMatch > chunk_.size() || at == 0) {
            return best;
        }
        const unsigned bits = OffsetBits(at);
        const std::size_t maxLength = (std::size_t{1} << (16 - bits)) + 2;
        const std::size_t maxOffset = std::size_t{1} << bits;
        std::size_t candidate = head_[Hash(at)];
        for (int tries = 0; candidate != kNone && tries < kCandidates; ++tries) {
            const std::size_t offset = at - candidate;
            if (offset > maxOffset) {
                break;
            }
            std::size_t length = 0;
            while (length < maxLength && at + length < chunk_.size() &&
                   chunk_[candidate + length] == chunk_[at + length]) {
                ++length;
            }
            if (length > best.length) {
                best = {offset, length};
            }
            candidate = previous_[candidate];
        }
        return best.length >= kMinMatch ? best : Match{};
    }

    void Insert(std::size_t at) {
        if (at + kMinMatch <= chunk_.size()) {
            const std::size_t h = Hash(at);
            previous_[at] = head_[h];
            head_[h] = at;
        }
    }

  private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t Hash(std::size_t at) const {
        return (chunk_[at] * 0x9E5U ^ chunk_[at + 1] * 0x3B1U ^ chunk_[at + 2]) & 0xFFFU;
    }

    std::span<const std::uint8_t> chunk_;
    std::array<std::size_t, 0x1000> head_{};
    std::vector<std::size_t> previous_;
};

// The tokens of one chunk: flag bytes, literals and copy tokens.
Bytes CompressTokens(std::span<const std::uint8_t> chunk) {
    MatchFinder finder(chunk);
    Bytes out;
    std::size_t at = 0;
    while (at < chunk.size()) {
        const std::size_t flagAt = out.size();
        out.push_back(0);
        for (int bit = 0; bit < 8 && at < chunk.size(); ++bit) {
            const MatchFinder::Match match = finder.Longest(at);
            if (match.length == 0) {
                out.push_back(chunk[at]);
                finder.Insert(at++);
                continue;
            }
            const unsigned bits = OffsetBits(at);
            const auto token = static_cast<std::uint16_t>(((match.offset - 1) << (16 - bits)) |
                                                          (match.length - kMinMatch));
            out.push_back(static_cast<std::uint8_t>(token));
            out.push_back(static_cast<std::uint8_t>(token >> 8));
            out[flagAt] = static_cast<std::uint8_t>(out[flagAt] | (1U << bit));
            for (std::size_t i = 0; i < match.length; ++i) {
                finder.Insert(at++);
            }
        }
    }
    return out;
}

}  // namespace

Bytes CompressContainer(const Bytes& data) {
    ByteWriter out(data.size() / 2 + 16);
    out.U8(0x01);
    for (std::size_t start = 0; start < data.size(); start += kChunk) {
        const std::span<const std::uint8_t> chunk(data.data() + start,
                                                  std::min(kChunk, data.size() - start));
        const Bytes tokens = CompressTokens(chunk);
        if (tokens.size() <= kMaxChunkData) {
            out.U16(kCompressedFlag | kSignatureBits | (tokens.size() + 2 - 3));
            out.Append(tokens);
        } else if (chunk.size() == kChunk) {
            out.U16(kSignatureBits | (kChunk + 2 - 3));
            out.Append(Bytes(chunk.begin(), chunk.end()));
        } else {
            throw GeneratorError("a last chunk of " + std::to_string(chunk.size()) +
                                 " bytes does not compress into 4096 bytes");
        }
    }
    return out.Take();
}

}  // namespace ostrel::jetgen
