#include "tools/jetgen/usage_map.h"

#include <algorithm>

#include "tools/jetgen/generator_error.h"

namespace ostrel::jetgen {

namespace {
constexpr std::size_t kInlineBits = (kMapRowLength - 5) * 8;
constexpr std::size_t kBitmapPageBits = (kPageSize - 4) * 8;
constexpr std::size_t kReferenceSlots = (kMapRowLength - 1) / 4;
}  // namespace

Bytes MakeUsageMapRow(const std::vector<std::uint32_t>& pages, PageFile& file) {
    Bytes row(kMapRowLength, 0);
    if (pages.empty()) {
        return row;
    }
    const std::uint32_t first = pages.front();
    const std::uint32_t last = pages.back();
    if (last - first < kInlineBits) {
        row[0] = 0x00;
        PutU32(row.data() + 1, first);
        for (std::uint32_t p : pages) {
            const std::uint32_t bit = p - first;
            row[5 + bit / 8] |= static_cast<std::uint8_t>(1U << (bit % 8));
        }
        return row;
    }
    row[0] = 0x01;
    std::size_t i = 0;
    while (i < pages.size()) {
        const std::size_t window = pages[i] / kBitmapPageBits;
        if (window >= kReferenceSlots) {
            throw GeneratorError("database too large for a usage map");
        }
        Page bitmap{};
        bitmap[0] = 0x05;
        bitmap[1] = 0x01;
        const std::size_t base = window * kBitmapPageBits;
        for (; i < pages.size() && pages[i] / kBitmapPageBits == window; ++i) {
            const std::size_t bit = pages[i] - base;
            bitmap[4 + bit / 8] |= static_cast<std::uint8_t>(1U << (bit % 8));
        }
        const std::uint32_t at = file.Allocate();
        file.Write(at, bitmap);
        PutU32(row.data() + 1 + 4 * window, at);
    }
    return row;
}

MapRef UsageMapPages::Add(const Bytes& row) {
    if (page_.Empty() || !page_.Fits(row.size())) {
        Flush();
        pageNumber_ = file_.Allocate();
    }
    MapRef ref;
    ref.row = page_.Add(row);
    ref.page = pageNumber_;
    return ref;
}

void UsageMapPages::Flush() {
    if (!page_.Empty()) {
        file_.Write(pageNumber_, page_.Finish());
        page_.Reset();
    }
}

}  // namespace ostrel::jetgen
