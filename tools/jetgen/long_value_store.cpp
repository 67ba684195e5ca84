#include "tools/jetgen/long_value_store.h"

#include <algorithm>
#include <vector>

#include "tools/jetgen/generator_error.h"

namespace ostrel::jetgen {

namespace {
constexpr std::size_t kMaxInline = 64;
constexpr std::size_t kMaxSingleRow = 4076;
constexpr std::size_t kChainChunk = kMaxSingleRow - 4;
constexpr std::uint32_t kInlineFlag = 0x80000000U;
constexpr std::uint32_t kSingleFlag = 0x40000000U;
constexpr std::size_t kMaxLongValue = 0x3FFFFFFF;
}  // namespace

Bytes LongValueStore::Encode(const Bytes& value) {
    if (value.size() > kMaxLongValue) {
        throw GeneratorError("long value larger than 1 GB");
    }
    ByteWriter w(12 + std::min(value.size(), kMaxInline));
    const auto length = static_cast<std::uint32_t>(value.size());
    if (value.size() <= kMaxInline) {
        w.U32(length | kInlineFlag);
        w.U32(0);
        w.U32(0);
        w.Append(value);
    } else if (value.size() <= kMaxSingleRow) {
        w.U32(length | kSingleFlag);
        w.U32(StoreSingle(value));
        w.U32(0);
    } else {
        w.U32(length);
        w.U32(StoreChained(value));
        w.U32(0);
    }
    return w.Take();
}

std::uint32_t LongValueStore::StoreSingle(const Bytes& value) {
    if (page_.Empty() || !page_.Fits(value.size())) {
        Flush();
        pageNumber_ = file_.Allocate();
    }
    const std::uint8_t row = page_.Add(value);
    return (pageNumber_ << 8) | row;
}

std::uint32_t LongValueStore::StoreChained(const Bytes& value) {
    const std::size_t chunks = (value.size() + kChainChunk - 1) / kChainChunk;
    std::vector<std::uint32_t> pages(chunks);
    for (auto& p : pages) {
        p = file_.Allocate();
    }
    DataPageBuilder chunkPage(kLongValueOwner);
    Bytes row;
    for (std::size_t i = 0; i < chunks; ++i) {
        const std::size_t begin = i * kChainChunk;
        const std::size_t n = std::min(kChainChunk, value.size() - begin);
        row.assign(4, 0);
        const std::uint32_t next = i + 1 < chunks ? (pages[i + 1] << 8) : 0;
        PutU32(row.data(), next);
        row.insert(row.end(), value.begin() + static_cast<std::ptrdiff_t>(begin),
                   value.begin() + static_cast<std::ptrdiff_t>(begin + n));
        chunkPage.Reset();
        chunkPage.Add(row);
        file_.Write(pages[i], chunkPage.Finish());
    }
    return pages[0] << 8;
}

void LongValueStore::Flush() {
    if (!page_.Empty()) {
        file_.Write(pageNumber_, page_.Finish());
        page_.Reset();
    }
}

}  // namespace ostrel::jetgen
