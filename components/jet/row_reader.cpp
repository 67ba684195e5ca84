#include "components/jet/row_reader.h"

#include <algorithm>
#include <set>

#include "components/jet/text_decoding.h"

namespace ostrel::jet {
namespace {

constexpr std::uint8_t kDataPage = 0x01;
constexpr std::uint8_t kUsageMapPage = 0x05;
constexpr std::uint16_t kOffsetMask = 0x1FFF;
constexpr std::uint16_t kDeletedRow = 0x8000;
constexpr std::uint16_t kOverflowRow = 0x4000;
constexpr int kMaxOverflowHops = 8;
constexpr std::size_t kLongValueHeader = 12;
constexpr std::uint32_t kLongValueInline = 0x80000000U;
constexpr std::uint32_t kLongValueSingleRow = 0x40000000U;
constexpr std::uint32_t kLongValueLengthMask = 0x3FFFFFFFU;

std::string PageText(std::uint32_t page) {
    return "page " + std::to_string(page);
}

// Start and end of row `row` on a data page, with its flag bits.
struct RowSlot {
    std::size_t start = 0;
    std::size_t end = 0;
    bool deleted = false;
    bool overflow = false;
};

RowSlot LocateRow(const PageFile& file, const ByteCursor& page, std::uint32_t row,
                  bool mustBeValid) {
    const JetFormat& f = file.Format();
    if (page.U8(0) != kDataPage) {
        page.Fail(0, "not a data page (type " + std::to_string(page.U8(0)) + ")");
    }
    const std::uint16_t count = page.U16(f.dataRowCountOffset);
    if (row >= count) {
        page.Fail(f.dataRowCountOffset, "row " + std::to_string(row) +
                                            " requested, the page holds " + std::to_string(count));
    }
    const auto table = f.dataRowTableOffset;
    const std::size_t slotAt = table + std::size_t{2} * row;
    const std::uint16_t entry = page.U16(slotAt);
    RowSlot slot;
    slot.deleted = (entry & kDeletedRow) != 0;
    slot.overflow = (entry & kOverflowRow) != 0;
    slot.start = entry & kOffsetMask;
    slot.end = row == 0 ? page.Size() : (page.U16(slotAt - 2) & kOffsetMask);
    const std::size_t tableEnd = table + 2 * static_cast<std::size_t>(count);
    if ((mustBeValid || !slot.deleted) &&
        (slot.start < tableEnd || slot.start > slot.end || slot.end > page.Size())) {
        page.Fail(slotAt, "row " + std::to_string(row) + " has bounds " +
                              std::to_string(slot.start) + ".." + std::to_string(slot.end));
    }
    return slot;
}

}  // namespace

std::optional<std::span<const std::uint8_t>> FetchRow(const PageFile& file, RowAddress address,
                                                      const std::string& context) {
    bool first = true;
    for (int hop = 0; hop <= kMaxOverflowHops; ++hop) {
        const ByteCursor page = file.PageCursor(address.page, context);
        const RowSlot slot = LocateRow(file, page, address.row, !first);
        // Rows reached through an overflow pointer are marked deleted so
        // that scans skip them; only the first row's flag counts.
        if (first && slot.deleted) {
            return std::nullopt;
        }
        first = false;
        if (!slot.overflow) {
            return page.Bytes(slot.start, slot.end - slot.start);
        }
        if (slot.end - slot.start < 4) {
            page.Fail(slot.start, "overflow pointer shorter than 4 bytes");
        }
        address = RowAddress{page.U24(slot.start + 1), page.U8(slot.start)};
    }
    ThrowDamaged(file.Label(), context + ": overflow rows chained more than " +
                                   std::to_string(kMaxOverflowHops) + " times");
}

std::vector<std::uint32_t> UsageMapPages(const PageFile& file, std::uint32_t mapRow,
                                         const std::string& context) {
    const std::string where = context + ", usage map";
    const auto row = FetchRow(file, RowAddress::FromStored(mapRow), where);
    if (!row) {
        ThrowDamaged(file.Label(), where + ": the map's row is deleted");
    }
    const ByteCursor map(*row, file.Label(), where);
    std::vector<std::uint32_t> pages;
    const std::uint32_t pageCount = file.PageCount();
    auto addBits = [&](const ByteCursor& bits, std::size_t from, std::uint64_t firstPage) {
        for (std::size_t i = from; i < bits.Size(); ++i) {
            const std::uint8_t b = bits.U8(i);
            for (int bit = 0; b != 0 && bit < 8; ++bit) {
                if ((b & (1U << bit)) == 0) {
                    continue;
                }
                const std::uint64_t page =
                    firstPage + (i - from) * 8 + static_cast<std::uint64_t>(bit);
                if (page >= pageCount) {
                    bits.Fail(i,
                              "marks page " + std::to_string(page) + " beyond the end of the file");
                }
                pages.push_back(static_cast<std::uint32_t>(page));
            }
        }
    };
    const std::uint8_t type = map.U8(0);
    if (type == 0) {
        addBits(map, 5, map.U32(1));
    } else if (type == 1) {
        const std::uint64_t pagesPerMapPage =
            (static_cast<std::uint64_t>(file.Format().pageSize) - 4) * 8;
        for (std::size_t i = 0; 1 + 4 * i + 4 <= map.Size(); ++i) {
            const std::uint32_t mapPage = map.U32(1 + 4 * i);
            if (mapPage == 0) {
                continue;
            }
            const ByteCursor bits = file.PageCursor(mapPage, where);
            if (bits.U8(0) != kUsageMapPage) {
                bits.Fail(0, "not a usage map page (type " + std::to_string(bits.U8(0)) + ")");
            }
            addBits(bits, 4, pagesPerMapPage * i);
        }
    } else {
        map.Fail(0, "unknown usage map type " + std::to_string(type));
    }
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

void ForEachRow(const PageFile& file, const TableDefinition& table, const std::string& context,
                const std::function<void(std::span<const std::uint8_t>)>& visit) {
    const JetFormat& f = file.Format();
    for (const std::uint32_t pageNumber : UsageMapPages(file, table.ownedPagesRow, context)) {
        const ByteCursor page = file.PageCursor(pageNumber, context);
        // Owned pages include index pages; only data pages of this table hold rows.
        if (page.U8(0) != kDataPage || page.U32(4) != table.page) {
            continue;
        }
        const std::uint16_t count = page.U16(f.dataRowCountOffset);
        for (std::uint32_t row = 0; row < count; ++row) {
            const auto bytes = FetchRow(file, RowAddress{pageNumber, row}, context);
            if (bytes) {
                visit(*bytes);
            }
        }
    }
}

std::vector<std::uint8_t> ReadLongValue(const PageFile& file, std::span<const std::uint8_t> field,
                                        const std::string& context) {
    const std::string where = context + ", long value";
    const ByteCursor header(field, file.Label(), where);
    const std::uint32_t stored = header.U32(0);
    const std::size_t length = stored & kLongValueLengthMask;
    if (length > static_cast<std::size_t>(file.PageCount()) * file.Format().pageSize) {
        header.Fail(0, "length " + std::to_string(length) + " exceeds the file");
    }
    if ((stored & kLongValueInline) != 0) {
        const auto data = header.Bytes(kLongValueHeader, length);
        return {data.begin(), data.end()};
    }
    RowAddress address = RowAddress::FromStored(header.U32(4));
    if ((stored & kLongValueSingleRow) != 0) {
        const auto row = FetchRow(file, address, where);
        if (!row) {
            header.Fail(4, "points to a deleted row");
        }
        const ByteCursor data(*row, file.Label(), where + " at " + PageText(address.page));
        const auto bytes = data.Bytes(0, length);
        return {bytes.begin(), bytes.end()};
    }
    std::vector<std::uint8_t> value;
    value.reserve(length);
    std::set<std::uint64_t> visited;
    while (value.size() < length) {
        if (!visited.insert((static_cast<std::uint64_t>(address.page) << 8) | address.row).second) {
            ThrowDamaged(file.Label(),
                         where + ": its rows form a loop at " + PageText(address.page));
        }
        const auto row = FetchRow(file, address, where);
        if (!row) {
            ThrowDamaged(file.Label(),
                         where + ": chain reaches a deleted row on " + PageText(address.page));
        }
        const ByteCursor data(*row, file.Label(), where + " at " + PageText(address.page));
        const std::uint32_t next = data.U32(0);
        const std::size_t take = std::min(data.Size() - 4, length - value.size());
        const auto part = data.Bytes(4, take);
        value.insert(value.end(), part.begin(), part.end());
        if (next == 0) {
            break;
        }
        address = RowAddress::FromStored(next);
    }
    if (value.size() != length) {
        ThrowDamaged(file.Label(), where + ": chain ends after " + std::to_string(value.size()) +
                                       " of " + std::to_string(length) + " bytes");
    }
    return value;
}

RowView::RowView(const PageFile& file, const TableDefinition& table,
                 std::span<const std::uint8_t> row, const std::string& context)
    : file_(file), table_(table), row_(row, file.Label(), context + ", row") {
    const JetFormat& f = file.Format();
    const std::size_t size = row_.Size();
    columnCount_ = f.rowColumnCountSize == 1 ? row_.U8(0) : row_.U16(0);
    const std::size_t maskSize = (columnCount_ + 7) / 8;
    if (maskSize + f.rowColumnCountSize > size) {
        row_.Fail(0, "null mask of " + std::to_string(columnCount_) + " columns exceeds the row");
    }
    nullMaskAt_ = size - maskSize;
    const bool anyVariable = std::any_of(table.columns.begin(), table.columns.end(),
                                         [](const ColumnDef& c) { return !c.IsFixed(); });
    if (!anyVariable) {
        return;
    }
    if (f.rowVarOffsetSize == 2) {
        if (nullMaskAt_ < 2) {
            row_.Fail(0, "row too short for its variable column count");
        }
        varCount_ = row_.U16(nullMaskAt_ - 2);
        varOffsets_.resize(std::min(varCount_ + 1, size));
        if (varOffsets_.size() != varCount_ + 1) {
            row_.Fail(nullMaskAt_ - 2, "variable column count exceeds the row");
        }
        for (std::size_t i = 0; i <= varCount_; ++i) {
            const std::size_t back = 4 + 2 * i;
            if (back > nullMaskAt_) {
                row_.Fail(nullMaskAt_ - 2, "variable offset table exceeds the row");
            }
            varOffsets_[i] = row_.U16(nullMaskAt_ - back);
        }
    } else {
        // One-byte offsets; rows of 256 bytes or more add a jump table that
        // holds, for each 256-byte boundary, the first entry beyond it.
        if (nullMaskAt_ < 1) {
            row_.Fail(0, "row too short for its variable column count");
        }
        const std::size_t countAt = nullMaskAt_ - 1;
        varCount_ = row_.U8(countAt);
        std::size_t jumps = (size - 1) / 256;
        if (jumps + varCount_ + 1 > countAt) {
            row_.Fail(countAt, "variable offset table exceeds the row");
        }
        const std::size_t tableAt = countAt - jumps - 1;  // entry 0; later entries lie before it
        if ((tableAt - varCount_) / 256 < jumps) {
            --jumps;
        }
        varOffsets_.resize(varCount_ + 1);
        std::size_t used = 0;
        for (std::size_t i = 0; i <= varCount_; ++i) {
            while (used < jumps && i == row_.U8(countAt - used - 1)) {
                ++used;
            }
            varOffsets_[i] = row_.U8(tableAt - i) + used * 256;
        }
    }
}

bool RowView::Bool(const ColumnDef& column) const {
    if (column.number >= columnCount_) {
        return false;
    }
    return (row_.U8(nullMaskAt_ + column.number / 8) >> (column.number % 8) & 1) != 0;
}

std::optional<std::span<const std::uint8_t>> RowView::Raw(const ColumnDef& column) const {
    if (column.number >= columnCount_ || !Bool(column)) {
        return std::nullopt;
    }
    if (column.IsFixed()) {
        const std::size_t at = file_.Format().rowColumnCountSize + column.fixedOffset;
        if (at + column.length > nullMaskAt_) {
            row_.Fail(at, "fixed column '" + column.name + "' lies outside the row's data");
        }
        return row_.Bytes(at, column.length);
    }
    if (column.varIndex >= varCount_) {
        return std::nullopt;
    }
    const std::size_t start = varOffsets_[column.varIndex];
    const std::size_t end = varOffsets_[column.varIndex + 1u];
    if (start > end || end > nullMaskAt_) {
        row_.Fail(start, "variable column '" + column.name + "' has bounds " +
                             std::to_string(start) + ".." + std::to_string(end));
    }
    return row_.Bytes(start, end - start);
}

std::optional<ByteCursor> RowView::Value(const ColumnDef* column) const {
    if (column == nullptr) {
        return std::nullopt;
    }
    const auto raw = Raw(*column);
    if (!raw) {
        return std::nullopt;
    }
    return ByteCursor(*raw, file_.Label(), row_.Context());
}

std::optional<std::int64_t> RowView::Int(const char* name) const {
    const ColumnDef* column = table_.Find(name);
    if (column != nullptr && column->type == column_type::kBoolean) {
        return Bool(*column) ? 1 : 0;
    }
    const auto value = Value(column);
    if (!value) {
        return std::nullopt;
    }
    switch (value->Size()) {
        case 1:
            return value->U8(0);
        case 2:
            return static_cast<std::int16_t>(value->U16(0));
        case 4:
            return value->I32(0);
        default:
            return std::nullopt;
    }
}

std::optional<double> RowView::Double(const char* name) const {
    const auto value = Value(table_.Find(name));
    if (!value || value->Size() != 8) {
        return std::nullopt;
    }
    return value->F64(0);
}

std::optional<std::vector<std::uint8_t>> RowView::Stored(const char* name) const {
    const auto value = Value(table_.Find(name));
    if (!value) {
        return std::nullopt;
    }
    const auto bytes = value->Bytes(0, value->Size());
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::optional<std::vector<std::uint8_t>> RowView::Binary(const char* name) const {
    const ColumnDef* column = table_.Find(name);
    const auto value = Value(column);
    if (!value) {
        return std::nullopt;
    }
    const auto bytes = value->Bytes(0, value->Size());
    if (column->type == column_type::kMemo || column->type == column_type::kOle) {
        return ReadLongValue(file_, bytes, row_.Context() + " column '" + column->name + "'");
    }
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::optional<std::string> RowView::Text(const char* name) const {
    const auto bytes = Binary(name);
    if (!bytes) {
        return std::nullopt;
    }
    return DecodeText(file_, *bytes);
}

}  // namespace ostrel::jet
