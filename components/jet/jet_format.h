#pragma once

#include <cstdint>
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
    int headerMaskLength = 0;  // RC4-masked header bytes from 0x18
    int headerSortOrderOffset = 0;
    int headerSortOrderSize = 0;
    int headerCodePageOffset = 0x3C;
    int headerEncodingKeyOffset = 0x3E;

    // Data pages.
    int dataRowCountOffset = 0;
    int dataRowTableOffset = 0;

    // Table definitions.
    int tdefRowCount = 0;
    int tdefTableType = 0;
    int tdefMaxColumns = 0;
    int tdefVarColumns = 0;
    int tdefColumnCount = 0;
    int tdefLogicalIndexCount = 0;
    int tdefRealIndexCount = 0;
    int tdefOwnedPages = 0;
    int tdefIndexBlock = 0;           // first real-index count entry
    int tdefRealIndexCountSize = 0;   // size of one such entry
    int tdefRealIndexCountField = 4;  // where the unique-entry count sits in it

    int columnSize = 0;
    int columnType = 0;
    int columnNumber = 0;
    int columnVarIndex = 0;
    int columnFlags = 0;
    int columnExtFlags = -1;  // -1: not present in this version
    int columnFixedOffset = 0;
    int columnLength = 0;
    int columnComplexId = -1;  // -1: no complex columns in this version

    int realIndexSize = 0;
    int realIndexColumns = 0;
    int realIndexFlags = 0;

    int logicalIndexSize = 0;
    int logicalIndexNumber = 0;
    int logicalIndexReal = 0;
    int logicalIndexType = 0;

    // Names in table definitions: length field size, and whether the bytes are
    // UTF-16LE (else the file's code page).
    int nameLengthSize = 0;
    bool unicodeText = false;
    int textUnitSize = 1;  // bytes per character of a Text column

    // Rows.
    int rowColumnCountSize = 0;
    int rowVarOffsetSize = 0;

    // Property blobs begin with this tag.
    const char* propertyTag = "";
};

// The format for the version byte of the header, or nullptr when unknown.
const JetFormat* FormatForVersion(std::uint8_t versionByte);

}  // namespace ostrel::jet
