// A data page being filled with rows from its end towards its header.
#pragma once

#include <cstdint>

#include "tools/jetgen/byte_writer.h"
#include "tools/jetgen/page_file.h"

namespace ostrel::jetgen {

// Owner word of long-value pages in place of a table definition page.
inline constexpr std::uint32_t kLongValueOwner = 0x4C41564C;  // "LVAL"
inline constexpr std::size_t kDataPageHeader = 14;
inline constexpr std::size_t kMaxRowsPerPage = 255;

class DataPageBuilder {
  public:
    explicit DataPageBuilder(std::uint32_t owner);

    bool Fits(std::size_t rowLength) const;
    // Adds a row that Fits; returns its row number on the page.
    std::uint8_t Add(const std::uint8_t* row, std::size_t length);
    std::uint8_t Add(const Bytes& row) { return Add(row.data(), row.size()); }
    std::size_t RowCount() const { return rows_; }
    bool Empty() const { return rows_ == 0; }
    const Page& Finish();
    void Reset();

  private:
    Page page_{};
    std::uint32_t owner_;
    std::size_t rows_ = 0;
    std::size_t top_ = kPageSize;  // lowest byte used by a row
};

}  // namespace ostrel::jetgen
