#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ostrel::jet {

// Where things sit in a file of one Jet version. One instance per version,
// chosen when the file is opened; the readers ask it and never test the
// version themselves. Offsets are in bytes from the start of the structure
// named in the member's prefix.
struct JetFormat {
    std::uint8_t versionByte = 0;  // header byte at 0x14
    const char* versionText = "";  // DAO's Database.Version
    bool isAce = false;            // "Standard ACE DB" expected in the header
    std::uint32_t pageSize = 0;
    std::size_t headerMaskLength = 0;  // RC4-masked header bytes from 0x18
    std::size_t headerSortOrderOffset = 0;
    std::size_t headerSortOrderSize = 0;
    std::size_t headerCodePageOffset = 0x3C;
    std::size_t headerEncodingKeyOffset = 0x3E;

    // Data pages.
    std::size_t dataRowCountOffset = 0;
    std::size_t dataRowTableOffset = 0;

    // Table definitions.
    std::size_t tdefRowCount = 0;
    std::size_t tdefTableType = 0;
    std::size_t tdefMaxColumns = 0;
    std::size_t tdefVarColumns = 0;
    std::size_t tdefColumnCount = 0;
    std::size_t tdefLogicalIndexCount = 0;
    std::size_t tdefRealIndexCount = 0;
    std::size_t tdefOwnedPages = 0;
    std::size_t tdefIndexBlock = 0;           // first real-index count entry
    std::size_t tdefRealIndexCountSize = 0;   // size of one such entry
    std::size_t tdefRealIndexCountField = 4;  // where the unique-entry count sits in it

    std::size_t columnSize = 0;
    std::size_t columnType = 0;
    std::size_t columnNumber = 0;
    std::size_t columnVarIndex = 0;
    std::size_t columnFlags = 0;
    std::optional<std::size_t> columnExtFlags;  // absent in Jet 3
    std::size_t columnFixedOffset = 0;
    std::size_t columnLength = 0;
    std::optional<std::size_t> columnComplexId;  // only ACE files have complex columns

    std::size_t realIndexSize = 0;
    std::size_t realIndexColumns = 0;
    std::size_t realIndexFlags = 0;

    std::size_t logicalIndexSize = 0;
    std::size_t logicalIndexNumber = 0;
    std::size_t logicalIndexReal = 0;
    std::size_t logicalIndexType = 0;

    // Names in table definitions: length field size, and whether the bytes are
    // UTF-16LE (else the file's code page).
    int nameLengthSize = 0;
    bool unicodeText = false;
    int textUnitSize = 1;  // bytes per character of a Text column

    // Rows.
    std::size_t rowColumnCountSize = 0;
    std::size_t rowVarOffsetSize = 0;

    // Property blobs begin with this tag.
    const char* propertyTag = "";
};

// The format for the version byte of the header, or nullptr when unknown.
const JetFormat* FormatForVersion(std::uint8_t versionByte);

}  // namespace ostrel::jet
