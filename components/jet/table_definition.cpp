#include "components/jet/table_definition.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "components/jet/text_decoding.h"

namespace ostrel::jet {
namespace {

constexpr std::uint8_t kTableDefinitionPage = 0x02;
constexpr std::size_t kPageHeaderSize = 8;
constexpr std::size_t kNextPageOffset = 4;
// A definition of 255 columns and 32 indexes with long names fits in a few
// pages; anything much longer is damage.
constexpr std::size_t kMaxDefinitionPages = 64;
constexpr int kIndexColumnSlots = 10;
constexpr std::uint16_t kNoColumn = 0xFFFF;

std::string Where(const std::string& tableName, std::uint32_t page) {
    return "table definition of '" + tableName + "' at page " + std::to_string(page);
}

// Concatenates the pages of the definition: the first whole, the following
// ones without their page header.
std::vector<std::uint8_t> CollectPages(const PageFile& file, std::uint32_t firstPage,
                                       const std::string& where) {
    std::vector<std::uint8_t> bytes;
    std::set<std::uint32_t> visited;
    std::uint32_t page = firstPage;
    while (true) {
        if (!visited.insert(page).second) {
            ThrowDamaged(file.Label(),
                         where + ": its pages form a loop at page " + std::to_string(page));
        }
        if (visited.size() > kMaxDefinitionPages) {
            ThrowDamaged(file.Label(),
                         where + ": more than " + std::to_string(kMaxDefinitionPages) + " pages");
        }
        const ByteCursor cursor = file.PageCursor(page, where);
        if (cursor.U8(0) != kTableDefinitionPage) {
            cursor.Fail(0,
                        "not a table definition page (type " + std::to_string(cursor.U8(0)) + ")");
        }
        const auto data = page == firstPage
                              ? cursor.Bytes(0, cursor.Size())
                              : cursor.Bytes(kPageHeaderSize, cursor.Size() - kPageHeaderSize);
        bytes.insert(bytes.end(), data.begin(), data.end());
        const std::uint32_t next = cursor.U32(kNextPageOffset);
        if (next == 0) {
            break;
        }
        page = next;
    }
    return bytes;
}

std::string ReadName(const PageFile& file, ByteCursor& cursor) {
    const JetFormat& f = file.Format();
    const std::size_t length = f.nameLengthSize == 1 ? cursor.ReadU8() : cursor.ReadU16();
    return DecodeText(file, cursor.ReadBytes(length));
}

// The next entry of size bytes; the cursor moves past it.
ByteCursor TakeEntry(ByteCursor& cursor, std::size_t size) {
    ByteCursor entry = cursor.Sub(cursor.Position(), size);
    cursor.Skip(size);
    return entry;
}

// The column entries, then the columns' names.
void ReadColumns(const PageFile& file, ByteCursor& cursor, std::vector<ColumnDef>& columns) {
    const JetFormat& f = file.Format();
    for (ColumnDef& c : columns) {
        const ByteCursor e = TakeEntry(cursor, f.columnSize);
        c.type = e.U8(f.columnType);
        c.number = e.U16(f.columnNumber);
        c.varIndex = e.U16(f.columnVarIndex);
        c.flags = e.U8(f.columnFlags);
        if (f.columnExtFlags) {
            c.extFlags = e.U8(*f.columnExtFlags);
        }
        if (f.columnComplexId && c.type == column_type::kComplex) {
            c.complexId = e.U32(*f.columnComplexId);
        }
        c.fixedOffset = e.U16(f.columnFixedOffset);
        c.length = e.U16(f.columnLength);
    }
    for (ColumnDef& c : columns) {
        c.name = ReadName(file, cursor);
    }
}

// The physical indexes' columns and flags.
void ReadRealIndexes(const JetFormat& f, ByteCursor& cursor, std::vector<RealIndexDef>& reals) {
    for (RealIndexDef& real : reals) {
        const ByteCursor e = TakeEntry(cursor, f.realIndexSize);
        for (int slot = 0; slot < kIndexColumnSlots; ++slot) {
            const std::size_t slotAt = f.realIndexColumns + 3 * static_cast<std::size_t>(slot);
            const std::uint16_t number = e.U16(slotAt);
            if (number == kNoColumn) {
                continue;
            }
            real.columns.push_back({number, e.U8(slotAt + 2) == 0x01});
        }
        real.flags = e.U8(f.realIndexFlags);
    }
}

// The logical index entries, each naming one of realCount physical indexes,
// then their names.
void ReadLogicalIndexes(const PageFile& file, ByteCursor& cursor, std::uint32_t realCount,
                        std::vector<LogicalIndexDef>& indexes) {
    const JetFormat& f = file.Format();
    for (LogicalIndexDef& index : indexes) {
        const ByteCursor e = TakeEntry(cursor, f.logicalIndexSize);
        index.realIndex = e.U32(f.logicalIndexReal);
        index.indexType = e.U8(f.logicalIndexType);
        if (index.realIndex >= realCount) {
            e.Fail(f.logicalIndexReal, "index refers to physical index " +
                                           std::to_string(index.realIndex) + " of " +
                                           std::to_string(realCount));
        }
    }
    for (LogicalIndexDef& index : indexes) {
        index.name = ReadName(file, cursor);
    }
}

}  // namespace

const ColumnDef* TableDefinition::Find(const std::string& name) const {
    for (const ColumnDef& c : columns) {
        if (SameName(c.name, name)) {
            return &c;
        }
    }
    return nullptr;
}

const ColumnDef* TableDefinition::FindNumber(std::uint16_t number) const {
    for (const ColumnDef& c : columns) {
        if (c.number == number) {
            return &c;
        }
    }
    return nullptr;
}

TableDefinition ReadTableDefinition(const PageFile& file, std::uint32_t page,
                                    const std::string& tableName) {
    const JetFormat& f = file.Format();
    const std::string where = Where(tableName, page);
    const std::vector<std::uint8_t> bytes = CollectPages(file, page, where);
    ByteCursor cursor(bytes, file.Label(), where);

    TableDefinition def;
    def.page = page;
    def.rowCount = cursor.U32(f.tdefRowCount);
    def.ownedPagesRow = cursor.U32(f.tdefOwnedPages);
    const std::uint16_t columnCount = cursor.U16(f.tdefColumnCount);
    const std::uint32_t logicalCount = cursor.U32(f.tdefLogicalIndexCount);
    const std::uint32_t realCount = cursor.U32(f.tdefRealIndexCount);
    // Each entry takes bytes of the definition, so counts larger than its
    // size are damage (and must not size an allocation).
    if (columnCount > bytes.size() / f.columnSize) {
        cursor.Fail(f.tdefColumnCount,
                    "column count " + std::to_string(columnCount) + " exceeds the definition");
    }
    if (realCount > bytes.size() / f.tdefRealIndexCountSize ||
        logicalCount > bytes.size() / f.logicalIndexSize) {
        cursor.Fail(f.tdefLogicalIndexCount, "index counts " + std::to_string(logicalCount) + "/" +
                                                 std::to_string(realCount) +
                                                 " exceed the definition");
    }

    cursor.Seek(f.tdefIndexBlock);
    def.realIndexes.resize(realCount);
    for (RealIndexDef& real : def.realIndexes) {
        const auto entry = cursor.ReadBytes(f.tdefRealIndexCountSize);
        const ByteCursor e(entry, file.Label(), where);
        real.uniqueEntryCount = e.U32(f.tdefRealIndexCountField);
    }
    def.columns.resize(columnCount);
    ReadColumns(file, cursor, def.columns);
    ReadRealIndexes(f, cursor, def.realIndexes);
    def.indexes.resize(logicalCount);
    ReadLogicalIndexes(file, cursor, realCount, def.indexes);
    return def;
}

}  // namespace ostrel::jet
