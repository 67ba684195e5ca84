#include "tools/jetgen/key_counter.h"

#include <algorithm>
#include <bit>
#include <cctype>

namespace ostrel::jetgen {
namespace {

std::uint64_t Fold(std::uint64_t h, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) {
        h = (h ^ ((v >> (8 * i)) & 0xFF)) * 1099511628211ULL;
    }
    return h;
}

std::uint64_t FoldCell(std::uint64_t h, const Cell& cell) {
    h = Fold(h, static_cast<std::uint64_t>(cell.kind));
    switch (cell.kind) {
        case Cell::Kind::Bool:
            return Fold(h, cell.boolean ? 1 : 0);
        case Cell::Kind::Int:
            return Fold(h, static_cast<std::uint64_t>(cell.integer));
        case Cell::Kind::Real:
            return Fold(h, std::bit_cast<std::uint64_t>(cell.real));
        case Cell::Kind::Text:
        case Cell::Kind::Blob:
            for (const char ch : cell.text) {
                h = Fold(h,
                         static_cast<std::uint64_t>(std::tolower(static_cast<unsigned char>(ch))));
            }
            return h;
        case Cell::Kind::Null:
            break;
    }
    return h;
}

}  // namespace

void KeyCounter::Add(const Row& row) {
    for (std::size_t i = 0; i < table_.realIndexes.size(); ++i) {
        const auto& index = table_.realIndexes[i];
        std::uint64_t h = 1469598103934665603ULL;
        bool allNull = true;
        for (const auto& col : index.columns) {
            const Cell& cell = row[col.column];
            allNull = allNull && cell.kind == Cell::Kind::Null;
            h = FoldCell(h, cell);
        }
        if (allNull && (index.flags & kIndexIgnoreNulls) != 0) {
            continue;
        }
        keys_[i].push_back(h);
    }
}

std::uint32_t KeyCounter::Distinct(std::size_t index) {
    auto& k = keys_[index];
    std::sort(k.begin(), k.end());
    return static_cast<std::uint32_t>(std::unique(k.begin(), k.end()) - k.begin());
}

}  // namespace ostrel::jetgen
