// Long values (memo, OLE, property blobs) stored in a row or on LVAL pages.
#pragma once

#include <cstdint>

#include "tools/jetgen/byte_writer.h"
#include "tools/jetgen/data_page.h"
#include "tools/jetgen/page_file.h"

namespace ostrel::jetgen {

class LongValueStore {
  public:
    explicit LongValueStore(PageFile& file) : file_(file) {}
    LongValueStore(const LongValueStore&) = delete;
    LongValueStore& operator=(const LongValueStore&) = delete;

    // The bytes a row holds for this value: the 12-byte header, followed by
    // the value itself when it is small enough to stay in the row.
    Bytes Encode(const Bytes& value);
    // Writes the page still being filled.
    void Flush();

  private:
    std::uint32_t StoreSingle(const Bytes& value);
    std::uint32_t StoreChained(const Bytes& value);

    PageFile& file_;
    DataPageBuilder page_{kLongValueOwner};
    std::uint32_t pageNumber_ = 0;
};

}  // namespace ostrel::jetgen
