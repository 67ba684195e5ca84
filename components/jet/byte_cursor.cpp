#include "components/jet/byte_cursor.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <utility>

#include "components/schema/schema_error.h"

namespace ostrel::jet {

void ThrowDamaged(const std::string& file, const std::string& what) {
    throw schema::SchemaError(file + ": damaged: " + what);
}

ByteCursor::ByteCursor(std::span<const std::uint8_t> bytes, const std::string& file,
                       std::string context)
    : bytes_(bytes), file_(file), context_(std::move(context)) {}

ByteCursor::ByteCursor(SameFile, std::span<const std::uint8_t> bytes, std::string_view file,
                       std::string context)
    : bytes_(bytes), file_(file), context_(std::move(context)) {}

void ByteCursor::Fail(std::size_t offset, const std::string& what) const {
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%zx", offset);
    ThrowDamaged(std::string(file_), context_ + ", offset " + hex + ": " + what);
}

void ByteCursor::Need(std::size_t offset, std::size_t length) const {
    if (offset > bytes_.size() || length > bytes_.size() - offset) {
        Fail(offset, std::to_string(length) + " bytes needed, " +
                         std::to_string(offset > bytes_.size() ? 0 : bytes_.size() - offset) +
                         " present");
    }
}

std::uint8_t ByteCursor::U8(std::size_t offset) const {
    Need(offset, 1);
    return bytes_[offset];
}

std::uint16_t ByteCursor::U16(std::size_t offset) const {
    Need(offset, 2);
    return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
}

std::uint32_t ByteCursor::U24(std::size_t offset) const {
    Need(offset, 3);
    return static_cast<std::uint32_t>(bytes_[offset]) |
           (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16);
}

std::uint32_t ByteCursor::U32(std::size_t offset) const {
    Need(offset, 4);
    return static_cast<std::uint32_t>(bytes_[offset]) |
           (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
}

double ByteCursor::F64(std::size_t offset) const {
    Need(offset, 8);
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) {
        bits = (bits << 8) | bytes_[offset + static_cast<std::size_t>(i)];
    }
    return std::bit_cast<double>(bits);
}

std::span<const std::uint8_t> ByteCursor::Bytes(std::size_t offset, std::size_t length) const {
    Need(offset, length);
    return bytes_.subspan(offset, length);
}

void ByteCursor::Seek(std::size_t offset) {
    Need(offset, 0);
    pos_ = offset;
}

void ByteCursor::Skip(std::size_t length) {
    Need(pos_, length);
    pos_ += length;
}

std::uint8_t ByteCursor::ReadU8() {
    const std::uint8_t v = U8(pos_);
    pos_ += 1;
    return v;
}

std::uint16_t ByteCursor::ReadU16() {
    const std::uint16_t v = U16(pos_);
    pos_ += 2;
    return v;
}

std::uint32_t ByteCursor::ReadU32() {
    const std::uint32_t v = U32(pos_);
    pos_ += 4;
    return v;
}

std::span<const std::uint8_t> ByteCursor::ReadBytes(std::size_t length) {
    auto v = Bytes(pos_, length);
    pos_ += length;
    return v;
}

ByteCursor ByteCursor::Sub(std::size_t offset, std::size_t length) const {
    return ByteCursor(SameFile{}, Bytes(offset, length), file_, context_);
}

}  // namespace ostrel::jet
