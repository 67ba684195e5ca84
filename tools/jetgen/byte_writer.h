// Little-endian byte assembly for pages, rows and blobs.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace ostrel::jetgen {

using Bytes = std::vector<std::uint8_t>;

class ByteWriter {
  public:
    ByteWriter() = default;
    explicit ByteWriter(std::size_t reserve) { bytes_.reserve(reserve); }

    void U8(std::uint32_t v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
    void U16(std::uint32_t v) {
        U8(v);
        U8(v >> 8);
    }
    void U24(std::uint32_t v) {
        U16(v);
        U8(v >> 16);
    }
    void U32(std::uint32_t v) {
        U16(v);
        U16(v >> 16);
    }
    void U64(std::uint64_t v) {
        U32(static_cast<std::uint32_t>(v));
        U32(static_cast<std::uint32_t>(v >> 32));
    }
    void F64(double v) { U64(std::bit_cast<std::uint64_t>(v)); }
    void F32(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
    void Zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    void Append(const Bytes& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    void Append(std::string_view s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }

    void PatchU16(std::size_t at, std::uint32_t v) {
        bytes_[at] = static_cast<std::uint8_t>(v);
        bytes_[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void PatchU32(std::size_t at, std::uint32_t v) {
        PatchU16(at, v);
        PatchU16(at + 2, v >> 16);
    }

    std::size_t Size() const { return bytes_.size(); }
    const Bytes& Data() const { return bytes_; }
    Bytes Take() { return std::move(bytes_); }

  private:
    Bytes bytes_;
};

inline void PutU16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(std::uint8_t* p, std::uint32_t v) {
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}

}  // namespace ostrel::jetgen
