// How a table is laid out on disk: column offsets, physical and logical
// indexes, and the bytes of its table definition (TDEF).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/jetgen/byte_writer.h"
#include "tools/jetgen/description.h"

namespace ostrel::jetgen {

inline constexpr std::uint8_t kTableTypeUser = 0x4E;
inline constexpr std::uint8_t kTableTypeSystem = 0x53;

// Column flag bits of the table definition.
inline constexpr std::uint8_t kColumnFixed = 0x01;
inline constexpr std::uint8_t kColumnUpdatable = 0x02;
inline constexpr std::uint8_t kColumnAutoLong = 0x04;
inline constexpr std::uint8_t kColumnAutoGuid = 0x40;
inline constexpr std::uint8_t kColumnHyperlink = 0x80;

// Index flag bits of a physical index.
inline constexpr std::uint8_t kIndexUnique = 0x01;
inline constexpr std::uint8_t kIndexIgnoreNulls = 0x02;
inline constexpr std::uint8_t kIndexRequired = 0x08;
inline constexpr std::uint8_t kIndexAlwaysSet = 0x80;

struct ColumnLayout {
    std::string name;
    ColumnType type = ColumnType::Text;
    std::uint16_t number = 0;
    bool variable = false;
    bool longValue = false;
    std::uint16_t varIndex = 0;
    std::uint16_t fixedOffset = 0;
    std::uint16_t length = 0;
    std::uint8_t flags = 0;
    std::uint8_t precision = 0;
    std::uint8_t scale = 0;
    bool autoNumber = false;
};

struct IndexColumnLayout {
    std::uint16_t column = 0;
    bool ascending = true;
};

struct RealIndexLayout {
    std::vector<IndexColumnLayout> columns;
    std::uint8_t flags = kIndexAlwaysSet;
    std::uint32_t rootPage = 0;
    std::uint8_t mapRow = 0;
    std::uint32_t mapPage = 0;
    std::uint32_t uniqueEntries = 0;
};

inline constexpr std::uint8_t kIndexTypeNormal = 0;
inline constexpr std::uint8_t kIndexTypePrimary = 1;
inline constexpr std::uint8_t kIndexTypeForeign = 2;

struct LogicalIndexLayout {
    std::string name;
    std::uint32_t realIndex = 0;
    std::uint8_t type = kIndexTypeNormal;
    std::uint8_t relatedTableType = 0;  // 1: this table is the primary side, 2: the foreign side
    std::int32_t relatedIndex = -1;
    std::uint32_t relatedTablePage = 0;
    std::uint8_t cascadeUpdates = 0;
    std::uint8_t cascadeDeletes = 0;
};

struct MapRef {
    std::uint8_t row = 0;
    std::uint32_t page = 0;
};

struct LongValueMaps {
    std::uint16_t column = 0;
    MapRef owned;
    MapRef free;
};

struct TableLayout {
    std::string name;
    std::uint8_t tableType = kTableTypeUser;
    std::vector<ColumnLayout> columns;
    std::vector<RealIndexLayout> realIndexes;
    std::vector<LogicalIndexLayout> logicalIndexes;
    std::uint16_t varColumnCount = 0;
    std::uint16_t fixedAreaSize = 0;

    // Known once the table's pages are placed.
    std::vector<std::uint32_t> tdefPages;
    std::uint32_t rowCount = 0;
    std::uint32_t lastAutoNumber = 0;
    MapRef ownedMap;
    MapRef freeMap;
    std::vector<LongValueMaps> longValueMaps;

    const ColumnLayout* FindColumn(const std::string& name) const;
};

// Lays out the columns; throws GeneratorError on an unusable column set.
TableLayout MakeTableLayout(const std::string& name, std::uint8_t tableType,
                            const std::vector<ColumnDescription>& columns);

// Adds a logical index, sharing a physical index with the same columns when
// share is true. Returns the logical index number.
std::uint32_t AddIndex(TableLayout& table, const std::string& name,
                       const std::vector<IndexColumnLayout>& columns, std::uint8_t flags,
                       std::uint8_t type, bool share);

// The complete definition, as one stream that starts with the 8-byte page
// header of the first page; continuation pages repeat only that header.
Bytes EncodeTableDefinition(const TableLayout& table);

// Number of pages the definition needs.
std::size_t TableDefinitionPageCount(const TableLayout& table);

// Splits the definition stream over the pages listed in table.tdefPages.
std::vector<Bytes> SplitTableDefinition(const TableLayout& table, const Bytes& stream);

}  // namespace ostrel::jetgen
