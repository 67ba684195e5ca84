#include "tools/jetgen/data_page.h"

#include <cstring>

#include "tools/jetgen/generator_error.h"

namespace ostrel::jetgen {

DataPageBuilder::DataPageBuilder(std::uint32_t owner) : owner_(owner) {
    Reset();
}

void DataPageBuilder::Reset() {
    page_.fill(0);
    rows_ = 0;
    top_ = kPageSize;
}

bool DataPageBuilder::Fits(std::size_t rowLength) const {
    const std::size_t headerEnd = kDataPageHeader + 2 * (rows_ + 1);
    return rows_ < kMaxRowsPerPage && top_ >= rowLength && top_ - rowLength >= headerEnd;
}

std::uint8_t DataPageBuilder::Add(const std::uint8_t* row, std::size_t length) {
    if (!Fits(length)) {
        throw GeneratorError("internal: row does not fit its page");
    }
    top_ -= length;
    std::memcpy(page_.data() + top_, row, length);
    PutU16(page_.data() + kDataPageHeader + 2 * rows_, static_cast<std::uint32_t>(top_));
    return static_cast<std::uint8_t>(rows_++);
}

const Page& DataPageBuilder::Finish() {
    page_[0] = 0x01;
    page_[1] = 0x01;
    const std::size_t used = kDataPageHeader + 2 * rows_;
    PutU16(page_.data() + 2, static_cast<std::uint32_t>(top_ - used));
    PutU32(page_.data() + 4, owner_);
    PutU32(page_.data() + 8, 0);
    PutU16(page_.data() + 12, static_cast<std::uint32_t>(rows_));
    return page_;
}

}  // namespace ostrel::jetgen
