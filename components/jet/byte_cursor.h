#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ostrel::jet {

// Raises the reader's error for a damaged file: "<file>: damaged: <what>".
[[noreturn]] void ThrowDamaged(const std::string& file, const std::string& what);

// A bounds-checked view of bytes of the file (a page, a table definition, a
// row, a long value). Every read is checked; a read outside the view raises
// SchemaError naming the file, what the bytes are and the offset.
// Multi-byte values are little endian.
//
// A cursor borrows both its bytes and the file's label from the open file
// (PageFile owns both) and must not outlive it. The label is taken only from
// a named string, never from a temporary that would die before the cursor.
class ByteCursor {
  public:
    ByteCursor(std::span<const std::uint8_t> bytes, const std::string& file, std::string context);
    ByteCursor(std::span<const std::uint8_t> bytes, std::string&& file,
               std::string context) = delete;

    std::size_t Size() const { return bytes_.size(); }
    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return bytes_.size() - pos_; }
    const std::string& Context() const { return context_; }
    std::string_view File() const { return file_; }

    // Reads at a fixed offset.
    std::uint8_t U8(std::size_t offset) const;
    std::uint16_t U16(std::size_t offset) const;
    std::uint32_t U24(std::size_t offset) const;
    std::uint32_t U32(std::size_t offset) const;
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
    double F64(std::size_t offset) const;
    std::span<const std::uint8_t> Bytes(std::size_t offset, std::size_t length) const;

    // Sequential reads from the current position.
    void Seek(std::size_t offset);
    void Skip(std::size_t length);
    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::span<const std::uint8_t> ReadBytes(std::size_t length);

    // A cursor over part of this one, with the same file and context.
    ByteCursor Sub(std::size_t offset, std::size_t length) const;

    [[noreturn]] void Fail(std::size_t offset, const std::string& what) const;

  private:
    // For Sub: the label is already borrowed from the file.
    struct SameFile {};
    ByteCursor(SameFile, std::span<const std::uint8_t> bytes, std::string_view file,
               std::string context);

    void Need(std::size_t offset, std::size_t length) const;

    std::span<const std::uint8_t> bytes_;
    std::string_view file_;
    std::string context_;
    std::size_t pos_ = 0;
};

}  // namespace ostrel::jet
