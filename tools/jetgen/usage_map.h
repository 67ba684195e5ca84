// Usage maps: bitmaps of the pages a table, index or long-value column owns.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/jetgen/byte_writer.h"
#include "tools/jetgen/data_page.h"
#include "tools/jetgen/page_file.h"
#include "tools/jetgen/table_layout.h"

namespace ostrel::jetgen {

// Length of a map row as Access writes it: type, start page, 64 bitmap bytes.
inline constexpr std::size_t kMapRowLength = 69;

// The row of a map naming the given pages (ascending). Maps that span more
// than one row's bitmap become reference maps whose bitmap pages are
// allocated and written here.
Bytes MakeUsageMapRow(const std::vector<std::uint32_t>& pages, PageFile& file);

// Puts map rows on shared data pages, as Access keeps them.
class UsageMapPages {
  public:
    explicit UsageMapPages(PageFile& file) : file_(file) {}
    UsageMapPages(const UsageMapPages&) = delete;
    UsageMapPages& operator=(const UsageMapPages&) = delete;

    MapRef Add(const Bytes& row);
    void Flush();

  private:
    PageFile& file_;
    DataPageBuilder page_{0};
    std::uint32_t pageNumber_ = 0;
};

}  // namespace ostrel::jetgen
