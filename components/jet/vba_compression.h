#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "components/jet/byte_cursor.h"

namespace ostrel::jet {

// VBA keeps its source text and its project directory compressed: a container
// of one signature byte (1) and chunks, each a two-byte header and at most
// 4096 bytes of output, stored raw or as flag bytes, literals and copy tokens
// that repeat earlier output of the same chunk.

// No module text is anywhere near this large; a container that claims more
// is damaged and stops here instead of filling memory.
inline constexpr std::size_t kMaxDecompressedSize = std::size_t{32} << 20;

// Decompresses the container that fills `container`. Damage (a wrong
// signature, a chunk header that is not one, a chunk past the end, a copy
// token that reaches before its chunk, a chunk of more than 4096 bytes,
// output beyond maxOutput) raises SchemaError through container.Fail.
std::vector<std::uint8_t> DecompressContainer(const ByteCursor& container,
                                              std::size_t maxOutput = kMaxDecompressedSize);

// The container at the start of `bytes`, which other data may follow: it
// ends after its first chunk of fewer than 4096 bytes, or where a full chunk
// is followed by bytes that do not decompress as a chunk. Damage within its
// first chunk raises SchemaError as DecompressContainer does.
std::vector<std::uint8_t> DecompressEmbeddedContainer(const ByteCursor& bytes,
                                                      std::size_t maxOutput = kMaxDecompressedSize);

// The first `length` bytes the container at the start of `bytes` decompresses
// to (fewer when it holds fewer), or nothing when those bytes cannot be
// decompressed. Raises nothing: for looking for a container among other data.
std::optional<std::vector<std::uint8_t>> DecompressedPrefix(std::span<const std::uint8_t> bytes,
                                                            std::size_t length);

}  // namespace ostrel::jet
