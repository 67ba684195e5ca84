#include "components/jet/vba_compression.h"

#include <string>

namespace ostrel::jet {
namespace {

constexpr std::uint8_t kSignature = 0x01;
constexpr std::size_t kChunkOutput = 4096;
constexpr std::uint16_t kChunkSizeMask = 0x0FFF;
constexpr std::uint16_t kChunkSignatureMask = 0x7000;
constexpr std::uint16_t kChunkSignature = 0x3000;
constexpr std::uint16_t kChunkCompressed = 0x8000;

// Where decompression stopped, and why; nothing when it did not fail.
struct Failure {
    std::size_t offset = 0;
    std::string what;
};

// Bits of a copy token that hold the offset: enough for the distance back to
// the start of the chunk, at least four.
unsigned OffsetBits(std::size_t produced) {
    unsigned bits = 4;
    while ((std::size_t{1} << bits) < produced) {
        ++bits;
    }
    return bits;
}

// How a container ends: with its bytes; inside other data; or, when only
// its start is wanted, once the output is long enough.
enum class Extent { Whole, Embedded, Prefix };

class Decompressor {
  public:
    Decompressor(std::span<const std::uint8_t> in, std::size_t limit, Extent extent)
        : in_(in), limit_(limit), stopAtLimit_(extent == Extent::Prefix), extent_(extent) {}

    std::optional<Failure> Run() {
        if (in_.empty() || in_[0] != kSignature) {
            return Failure{0, "not a compressed container (no signature byte)"};
        }
        std::size_t pos = 1;
        bool full = true;
        while (pos < in_.size() && !Full()) {
            // Every chunk but the last gives 4096 bytes. Inside other data,
            // the container ends after a shorter chunk, or where a full one is
            // followed by something that is not a chunk.
            if (extent_ == Extent::Embedded && !full) {
                break;
            }
            const std::size_t before = out_.size();
            if (auto failure = Chunk(pos)) {
                if (extent_ == Extent::Embedded && before > 0) {
                    out_.resize(before);
                    break;
                }
                return failure;
            }
            full = out_.size() - before == kChunkOutput;
        }
        return std::nullopt;
    }

    std::vector<std::uint8_t>& Output() { return out_; }

  private:
    bool Full() const { return stopAtLimit_ && out_.size() >= limit_; }

    std::optional<Failure> Chunk(std::size_t& pos) {
        if (in_.size() - pos < 2) {
            return Failure{pos, "chunk header cut short"};
        }
        const auto header = static_cast<std::uint16_t>(in_[pos] | (in_[pos + 1] << 8));
        if ((header & kChunkSignatureMask) != kChunkSignature) {
            return Failure{pos, "not a chunk header"};
        }
        const std::size_t size = (header & kChunkSizeMask) + std::size_t{3};
        if (size > in_.size() - pos) {
            return Failure{pos, "chunk of " + std::to_string(size) + " bytes runs past the end (" +
                                    std::to_string(in_.size() - pos) + " left)"};
        }
        const std::size_t end = pos + size;
        const std::size_t chunkStart = out_.size();
        pos += 2;
        if ((header & kChunkCompressed) == 0) {
            if (size != kChunkOutput + 2) {
                return Failure{pos - 2, "raw chunk of " + std::to_string(size - 2) + " bytes"};
            }
            auto failure = Append(in_.subspan(pos, kChunkOutput), pos);
            pos = end;
            return failure;
        }
        while (pos < end && !Full()) {
            const std::uint8_t flags = in_[pos++];
            for (int bit = 0; bit < 8 && pos < end && !Full(); ++bit) {
                if ((flags >> bit & 1) == 0) {
                    if (auto failure = Append(in_.subspan(pos, 1), pos + 1)) {
                        return failure;
                    }
                    ++pos;
                } else if (auto failure = CopyToken(pos, end, chunkStart)) {
                    return failure;
                }
            }
        }
        pos = end;
        return std::nullopt;
    }

    std::optional<Failure> CopyToken(std::size_t& pos, std::size_t end, std::size_t chunkStart) {
        if (end - pos < 2) {
            return Failure{pos, "copy token cut short by the end of its chunk"};
        }
        const auto token = static_cast<std::uint16_t>(in_[pos] | (in_[pos + 1] << 8));
        const std::size_t produced = out_.size() - chunkStart;
        const unsigned bits = OffsetBits(produced);
        const std::size_t length = (token & (0xFFFFU >> bits)) + std::size_t{3};
        const std::size_t offset = (token >> (16 - bits)) + std::size_t{1};
        if (offset > produced) {
            return Failure{pos, "copy token reaches " + std::to_string(offset - produced) +
                                    " bytes before its chunk"};
        }
        if (produced + length > kChunkOutput) {
            return Failure{pos, "chunk decompresses to more than 4096 bytes"};
        }
        if (auto failure = Room(pos, length)) {
            return failure;
        }
        const std::size_t from = out_.size() - offset;
        for (std::size_t i = 0; i < length && !Full(); ++i) {
            out_.push_back(out_[from + i]);  // may repeat bytes it has just written
        }
        pos += 2;
        return std::nullopt;
    }

    std::optional<Failure> Append(std::span<const std::uint8_t> bytes, std::size_t at) {
        if (auto failure = Room(at, bytes.size())) {
            return failure;
        }
        const std::size_t take =
            stopAtLimit_ ? std::min(bytes.size(), limit_ - out_.size()) : bytes.size();
        out_.insert(out_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
        return std::nullopt;
    }

    std::optional<Failure> Room(std::size_t at, std::size_t more) const {
        if (!stopAtLimit_ && more > limit_ - out_.size()) {
            return Failure{at, "decompresses to more than " + std::to_string(limit_) + " bytes"};
        }
        return std::nullopt;
    }

    std::span<const std::uint8_t> in_;
    std::size_t limit_;
    bool stopAtLimit_;
    Extent extent_;
    std::vector<std::uint8_t> out_;
};

}  // namespace

namespace {

std::vector<std::uint8_t> Decompress(const ByteCursor& bytes, std::size_t maxOutput,
                                     Extent extent) {
    Decompressor d(bytes.Bytes(0, bytes.Size()), maxOutput, extent);
    if (auto failure = d.Run()) {
        bytes.Fail(failure->offset, failure->what);
    }
    return std::move(d.Output());
}

}  // namespace

std::vector<std::uint8_t> DecompressContainer(const ByteCursor& container, std::size_t maxOutput) {
    return Decompress(container, maxOutput, Extent::Whole);
}

std::vector<std::uint8_t> DecompressEmbeddedContainer(const ByteCursor& bytes,
                                                      std::size_t maxOutput) {
    return Decompress(bytes, maxOutput, Extent::Embedded);
}

std::optional<std::vector<std::uint8_t>> DecompressedPrefix(std::span<const std::uint8_t> bytes,
                                                            std::size_t length) {
    Decompressor d(bytes, length, Extent::Prefix);
    if (d.Run()) {
        return std::nullopt;
    }
    return std::move(d.Output());
}

}  // namespace ostrel::jet
