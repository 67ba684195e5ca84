#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "components/jet/object_names.h"
#include "components/jet/page_file.h"

namespace ostrel::jet {

// Jet's column type codes as stored in a table definition.
namespace column_type {
inline constexpr std::uint8_t kBoolean = 0x01;
inline constexpr std::uint8_t kByte = 0x02;
inline constexpr std::uint8_t kInteger = 0x03;
inline constexpr std::uint8_t kLong = 0x04;
inline constexpr std::uint8_t kCurrency = 0x05;
inline constexpr std::uint8_t kSingle = 0x06;
inline constexpr std::uint8_t kDouble = 0x07;
inline constexpr std::uint8_t kDateTime = 0x08;
inline constexpr std::uint8_t kBinary = 0x09;
inline constexpr std::uint8_t kText = 0x0A;
inline constexpr std::uint8_t kOle = 0x0B;
inline constexpr std::uint8_t kMemo = 0x0C;
inline constexpr std::uint8_t kGuid = 0x0F;
inline constexpr std::uint8_t kNumeric = 0x10;
inline constexpr std::uint8_t kComplex = 0x12;
inline constexpr std::uint8_t kBigInt = 0x13;
inline constexpr std::uint8_t kExtendedDateTime = 0x14;
}  // namespace column_type

// Column flag bits of a table definition.
namespace column_flag {
inline constexpr std::uint8_t kFixed = 0x01;
inline constexpr std::uint8_t kUpdatable = 0x02;
inline constexpr std::uint8_t kAutoNumber = 0x04;
inline constexpr std::uint8_t kReplication = 0x10;
inline constexpr std::uint8_t kAutoGuid = 0x40;
inline constexpr std::uint8_t kHyperlink = 0x80;
}  // namespace column_flag

// Extended column flag bits (Jet 4 and ACE): either marks a calculated
// column (Access 2010 and later), whose stored type is a storage type; its
// result type is the column's ResultType property.
inline constexpr std::uint8_t kCalculatedColumn = 0xC0;

// Index flag bits of a real index.
namespace index_flag {
inline constexpr std::uint8_t kUnique = 0x01;
inline constexpr std::uint8_t kIgnoreNulls = 0x02;
inline constexpr std::uint8_t kRequired = 0x08;
}  // namespace index_flag

struct ColumnDef {
    std::string name;
    std::uint8_t type = 0;
    std::uint16_t number = 0;    // position in the row (deleted columns count)
    std::uint16_t varIndex = 0;  // entry in the row's variable-offset table
    std::uint8_t flags = 0;
    std::uint8_t extFlags = 0;
    std::uint16_t fixedOffset = 0;  // offset among the row's fixed data
    std::uint16_t length = 0;       // bytes
    std::uint32_t complexId = 0;
    bool IsFixed() const { return (flags & column_flag::kFixed) != 0; }
    bool IsCalculated() const { return (extFlags & kCalculatedColumn) != 0; }
};

struct IndexColumnDef {
    std::uint16_t columnNumber = 0;
    bool ascending = true;
};

struct RealIndexDef {
    std::vector<IndexColumnDef> columns;
    std::uint8_t flags = 0;
    std::uint32_t uniqueEntryCount = 0;
};

struct LogicalIndexDef {
    std::string name;
    std::uint32_t realIndex = 0;  // position in realIndexes (validated)
    std::uint8_t indexType = 0;   // 1 primary key, 2 foreign key
};

// A table definition as stored: columns in the stored (display) order, the
// physical indexes, and the named indexes that use them.
struct TableDefinition {
    std::uint32_t page = 0;
    std::uint32_t rowCount = 0;
    std::uint32_t ownedPagesRow = 0;  // row pointer of the owned-pages usage map
    std::vector<ColumnDef> columns;
    std::vector<RealIndexDef> realIndexes;
    std::vector<LogicalIndexDef> indexes;

    // The column with this name (SameName), or nullptr.
    const ColumnDef* Find(const std::string& name) const;
    const ColumnDef* FindNumber(std::uint16_t number) const;
};

// Reads the table definition starting at page; tableName only names it in
// error messages ("table definition of 'Orders' at page 123").
TableDefinition ReadTableDefinition(const PageFile& file, std::uint32_t page,
                                    const std::string& tableName);

}  // namespace ostrel::jet
