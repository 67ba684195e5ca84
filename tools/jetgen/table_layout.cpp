#include "tools/jetgen/table_layout.h"

#include <algorithm>

#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/page_file.h"
#include "tools/jetgen/text_codec.h"

namespace ostrel::jetgen {

namespace {

constexpr std::uint32_t kTableMagic = 1625;
constexpr std::uint32_t kIndexMagic = 1923;
constexpr std::uint16_t kGeneralSortOrder = 1033;
constexpr std::size_t kMaxIndexColumns = 10;
constexpr std::size_t kTdefHeaderSize = 63;
constexpr std::size_t kContinuationHeader = 8;

bool IsTextual(ColumnType t) {
    return t == ColumnType::Text || t == ColumnType::Memo;
}

std::uint16_t FixedLength(ColumnType t) {
    switch (t) {
        case ColumnType::Boolean:
        case ColumnType::Byte:
            return 1;
        case ColumnType::Integer:
            return 2;
        case ColumnType::Long:
        case ColumnType::Single:
            return 4;
        case ColumnType::Currency:
        case ColumnType::Double:
        case ColumnType::DateTime:
            return 8;
        case ColumnType::Guid:
            return 16;
        case ColumnType::Decimal:
            return 17;
        default:
            return 0;
    }
}

void PutName(ByteWriter& w, const std::string& name) {
    const Bytes encoded = Utf8ToUtf16Le(name);
    w.U16(static_cast<std::uint32_t>(encoded.size()));
    w.Append(encoded);
}

}  // namespace

const ColumnLayout* TableLayout::FindColumn(const std::string& wanted) const {
    for (const auto& c : columns) {
        if (c.name == wanted) {
            return &c;
        }
    }
    return nullptr;
}

namespace {

// A column's type, length, precision and flags; the place of its value in
// the row is left to the table.
ColumnLayout LayOutColumn(const ColumnDescription& blueprint, std::size_t number) {
    ColumnLayout c;
    c.name = blueprint.name;
    c.type = blueprint.type;
    c.number = static_cast<std::uint16_t>(number);
    c.autoNumber = blueprint.autoNumber;
    switch (blueprint.type) {
        case ColumnType::Text: {
            const int chars = blueprint.size > 0 ? blueprint.size : 50;
            if (chars > 255) {
                throw GeneratorError("text column \"" + blueprint.name +
                                     "\" is longer than 255 characters");
            }
            c.variable = true;
            c.length = static_cast<std::uint16_t>(chars * 2);
            break;
        }
        case ColumnType::Binary: {
            const int bytes = blueprint.size > 0 ? blueprint.size : 255;
            if (bytes > 510) {
                throw GeneratorError("binary column \"" + blueprint.name +
                                     "\" is longer than 510 bytes");
            }
            c.variable = true;
            c.length = static_cast<std::uint16_t>(bytes);
            break;
        }
        case ColumnType::Memo:
        case ColumnType::Ole:
            c.variable = true;
            c.longValue = true;
            break;
        case ColumnType::Complex:
            c.length = static_cast<std::uint16_t>(blueprint.size);
            break;
        default:
            c.length = FixedLength(blueprint.type);
            break;
    }
    if (blueprint.type == ColumnType::Decimal) {
        if (blueprint.precision < 1 || blueprint.precision > 28 || blueprint.scale < 0 ||
            blueprint.scale > blueprint.precision) {
            throw GeneratorError("decimal column \"" + blueprint.name +
                                 "\" needs 1 <= precision <= 28 and 0 <= scale <= precision");
        }
        c.precision = static_cast<std::uint8_t>(blueprint.precision);
        c.scale = static_cast<std::uint8_t>(blueprint.scale);
    }
    if (blueprint.autoNumber && blueprint.type != ColumnType::Long &&
        blueprint.type != ColumnType::Guid) {
        throw GeneratorError("auto-number column \"" + blueprint.name + "\" must be Long or GUID");
    }
    if (blueprint.hyperlink && blueprint.type != ColumnType::Memo) {
        throw GeneratorError("hyperlink column \"" + blueprint.name + "\" must be Memo");
    }
    c.flags = kColumnUpdatable;
    if (!c.variable) {
        c.flags |= kColumnFixed;
    }
    if (blueprint.autoNumber) {
        c.flags |= blueprint.type == ColumnType::Long ? kColumnAutoLong : kColumnAutoGuid;
    }
    if (blueprint.hyperlink) {
        c.flags |= kColumnHyperlink;
    }
    return c;
}

}  // namespace

TableLayout MakeTableLayout(const std::string& name, std::uint8_t tableType,
                            const std::vector<ColumnDescription>& columns) {
    if (columns.empty()) {
        throw GeneratorError("table \"" + name + "\" has no columns");
    }
    if (columns.size() > 255) {
        throw GeneratorError("table \"" + name + "\" has more than 255 columns");
    }
    TableLayout t;
    t.name = name;
    t.tableType = tableType;
    std::uint16_t fixedOffset = 0;
    std::uint16_t varIndex = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ColumnDescription& blueprint = columns[i];
        if (blueprint.name.empty()) {
            throw GeneratorError("table \"" + name + "\" has a column without a name");
        }
        for (std::size_t k = 0; k < i; ++k) {
            if (columns[k].name == blueprint.name) {
                throw GeneratorError("table \"" + name + "\" repeats column \"" + blueprint.name +
                                     "\"");
            }
        }
        ColumnLayout c = LayOutColumn(blueprint, i);
        if (c.variable) {
            c.varIndex = varIndex++;
        } else {
            c.varIndex = varIndex;
            if (blueprint.type != ColumnType::Boolean) {
                c.fixedOffset = fixedOffset;
                fixedOffset = static_cast<std::uint16_t>(fixedOffset + c.length);
            }
        }
        t.columns.push_back(std::move(c));
    }
    t.varColumnCount = varIndex;
    t.fixedAreaSize = fixedOffset;
    return t;
}

std::uint32_t AddIndex(TableLayout& table, const std::string& name,
                       const std::vector<IndexColumnLayout>& columns, std::uint8_t flags,
                       std::uint8_t type, bool share) {
    if (columns.empty() || columns.size() > kMaxIndexColumns) {
        throw GeneratorError("index \"" + name + "\" on \"" + table.name +
                             "\" needs 1 to 10 columns");
    }
    for (const auto& existing : table.logicalIndexes) {
        if (existing.name == name) {
            throw GeneratorError("table \"" + table.name + "\" repeats index \"" + name + "\"");
        }
    }
    auto real = static_cast<std::uint32_t>(table.realIndexes.size());
    if (share) {
        for (std::size_t i = 0; i < table.realIndexes.size(); ++i) {
            const auto& candidate = table.realIndexes[i].columns;
            const bool same =
                std::equal(candidate.begin(), candidate.end(), columns.begin(), columns.end(),
                           [](const IndexColumnLayout& a, const IndexColumnLayout& b) {
                               return a.column == b.column && a.ascending == b.ascending;
                           });
            if (same) {
                real = static_cast<std::uint32_t>(i);
                break;
            }
        }
    }
    if (real == table.realIndexes.size()) {
        RealIndexLayout r;
        r.columns = columns;
        r.flags = static_cast<std::uint8_t>(flags | kIndexAlwaysSet);
        table.realIndexes.push_back(std::move(r));
    }
    LogicalIndexLayout l;
    l.name = name;
    l.realIndex = real;
    l.type = type;
    table.logicalIndexes.push_back(std::move(l));
    return static_cast<std::uint32_t>(table.logicalIndexes.size() - 1);
}

namespace {

// The fixed header, up to the per-index row counts.
void PutDefinitionHeader(ByteWriter& w, const TableLayout& t) {
    w.U8(0x02);
    w.U8(0x01);
    w.U16(0);  // free space, set per page
    w.U32(0);  // next definition page, set per page
    w.U32(0);  // total length, patched below
    w.U32(kTableMagic);
    w.U32(t.rowCount);
    w.U32(t.lastAutoNumber);
    w.U8(0x01);  // auto-numbering enabled
    w.Zeros(15);
    w.U8(t.tableType);
    w.U16(static_cast<std::uint32_t>(t.columns.size()));
    w.U16(t.varColumnCount);
    w.U16(static_cast<std::uint32_t>(t.columns.size()));
    w.U32(static_cast<std::uint32_t>(t.logicalIndexes.size()));
    w.U32(static_cast<std::uint32_t>(t.realIndexes.size()));
    w.U8(t.ownedMap.row);
    w.U24(t.ownedMap.page);
    w.U8(t.freeMap.row);
    w.U24(t.freeMap.page);
    if (w.Size() != kTdefHeaderSize) {
        throw GeneratorError("internal: table definition header size");
    }
}

// The real indexes' row counts, then each column's descriptor and name.
void PutColumns(ByteWriter& w, const TableLayout& t) {
    for (const auto& r : t.realIndexes) {
        w.U32(0);
        w.U32(r.uniqueEntries);
        w.U32(0);
    }
    for (const auto& c : t.columns) {
        w.U8(static_cast<std::uint8_t>(c.type));
        w.U32(kTableMagic);
        w.U16(c.number);
        w.U16(c.varIndex);
        w.U16(c.number);
        if (IsTextual(c.type)) {
            w.U16(kGeneralSortOrder);
            w.U8(0);
            w.U8(0);  // sort order version
        } else {
            w.U8(c.precision);
            w.U8(c.scale);
            w.U16(0);
        }
        w.U8(c.flags);
        w.U8(0);  // unicode compression off: text is stored as plain UTF-16
        w.U32(0);
        w.U16(c.variable ? 0 : c.fixedOffset);
        w.U16(c.longValue ? 0 : c.length);
    }
    for (const auto& c : t.columns) {
        PutName(w, c.name);
    }
}

// The real indexes' descriptors, then the logical ones and their names.
void PutIndexes(ByteWriter& w, const TableLayout& t) {
    for (const auto& r : t.realIndexes) {
        w.U32(kIndexMagic);
        for (std::size_t i = 0; i < kMaxIndexColumns; ++i) {
            if (i < r.columns.size()) {
                w.U16(r.columns[i].column);
                w.U8(r.columns[i].ascending ? 0x01 : 0x00);
            } else {
                w.U16(0xFFFF);
                w.U8(0);
            }
        }
        w.U8(r.mapRow);
        w.U24(r.mapPage);
        w.U32(r.rootPage);
        w.U32(0);
        w.U8(r.flags);
        w.Zeros(5);
    }
    for (std::size_t i = 0; i < t.logicalIndexes.size(); ++i) {
        const auto& l = t.logicalIndexes[i];
        w.U32(kTableMagic);
        w.U32(static_cast<std::uint32_t>(i));
        w.U32(l.realIndex);
        w.U8(l.relatedTableType);
        w.U32(static_cast<std::uint32_t>(l.relatedIndex));
        w.U32(l.relatedTablePage);
        w.U8(l.cascadeUpdates);
        w.U8(l.cascadeDeletes);
        w.U8(l.type);
        w.U32(0);
    }
    for (const auto& l : t.logicalIndexes) {
        PutName(w, l.name);
    }
}

}  // namespace

Bytes EncodeTableDefinition(const TableLayout& t) {
    ByteWriter w(4096);
    PutDefinitionHeader(w, t);
    PutColumns(w, t);
    PutIndexes(w, t);
    for (const auto& m : t.longValueMaps) {
        w.U16(m.column);
        w.U8(m.owned.row);
        w.U24(m.owned.page);
        w.U8(m.free.row);
        w.U24(m.free.page);
    }
    w.U16(0xFFFF);
    w.PatchU32(8, static_cast<std::uint32_t>(w.Size()));
    return w.Take();
}

std::size_t TableDefinitionPageCount(const TableLayout& table) {
    const std::size_t size = EncodeTableDefinition(table).size();
    if (size <= kPageSize) {
        return 1;
    }
    const std::size_t rest = size - kPageSize;
    const std::size_t perPage = kPageSize - kContinuationHeader;
    return 1 + (rest + perPage - 1) / perPage;
}

std::vector<Bytes> SplitTableDefinition(const TableLayout& table, const Bytes& stream) {
    std::vector<Bytes> pages;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < table.tdefPages.size(); ++i) {
        Bytes page(kPageSize, 0);
        std::size_t at = 0;
        if (i == 0) {
            const std::size_t n = std::min(stream.size(), kPageSize);
            std::copy_n(stream.begin(), n, page.begin());
            pos = n;
            at = n;
        } else {
            page[0] = 0x02;
            page[1] = 0x01;
            const std::size_t n = std::min(stream.size() - pos, kPageSize - kContinuationHeader);
            std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(pos), n,
                        page.begin() + kContinuationHeader);
            pos += n;
            at = kContinuationHeader + n;
        }
        const std::size_t freeBytes = kPageSize - at;
        PutU16(page.data() + 2, static_cast<std::uint32_t>(freeBytes >= 8 ? freeBytes - 8 : 0));
        const std::uint32_t next = i + 1 < table.tdefPages.size() ? table.tdefPages[i + 1] : 0;
        PutU32(page.data() + 4, next);
        pages.push_back(std::move(page));
    }
    if (pos != stream.size()) {
        throw GeneratorError("internal: table definition pages miscounted");
    }
    return pages;
}

}  // namespace ostrel::jetgen
