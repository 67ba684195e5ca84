#include "components/jet/jet_format.h"

namespace ostrel::jet {
namespace {

JetFormat MakeJet3() {
    JetFormat f;
    f.versionByte = 0;
    f.versionText = "3.0";
    f.pageSize = 2048;
    f.headerMaskLength = 126;
    f.headerSortOrderOffset = 0x3A;
    f.headerSortOrderSize = 2;
    f.dataRowCountOffset = 8;
    f.dataRowTableOffset = 10;
    f.tdefRowCount = 12;
    f.tdefTableType = 20;
    f.tdefMaxColumns = 21;
    f.tdefVarColumns = 23;
    f.tdefColumnCount = 25;
    f.tdefLogicalIndexCount = 27;
    f.tdefRealIndexCount = 31;
    f.tdefOwnedPages = 35;
    f.tdefIndexBlock = 43;
    f.tdefRealIndexCountSize = 8;
    f.columnSize = 18;
    f.columnType = 0;
    f.columnNumber = 1;
    f.columnVarIndex = 3;
    f.columnFlags = 13;
    f.columnFixedOffset = 14;
    f.columnLength = 16;
    f.realIndexSize = 39;
    f.realIndexColumns = 0;
    f.realIndexFlags = 38;
    f.logicalIndexSize = 20;
    f.logicalIndexNumber = 0;
    f.logicalIndexReal = 4;
    f.logicalIndexType = 19;
    f.nameLengthSize = 1;
    f.unicodeText = false;
    f.textUnitSize = 1;
    f.rowColumnCountSize = 1;
    f.rowVarOffsetSize = 1;
    f.propertyTag = "KKD";
    return f;
}

JetFormat MakeJet4(std::uint8_t versionByte, const char* versionText, bool ace) {
    JetFormat f;
    f.versionByte = versionByte;
    f.versionText = versionText;
    f.isAce = ace;
    f.pageSize = 4096;
    f.headerMaskLength = 128;
    f.headerSortOrderOffset = 0x6E;
    f.headerSortOrderSize = 4;
    f.dataRowCountOffset = 12;
    f.dataRowTableOffset = 14;
    f.tdefRowCount = 16;
    f.tdefTableType = 40;
    f.tdefMaxColumns = 41;
    f.tdefVarColumns = 43;
    f.tdefColumnCount = 45;
    f.tdefLogicalIndexCount = 47;
    f.tdefRealIndexCount = 51;
    f.tdefOwnedPages = 55;
    f.tdefIndexBlock = 63;
    f.tdefRealIndexCountSize = 12;
    f.columnSize = 25;
    f.columnType = 0;
    f.columnNumber = 5;
    f.columnVarIndex = 7;
    f.columnFlags = 15;
    f.columnExtFlags = 16;
    f.columnFixedOffset = 21;
    f.columnLength = 23;
    if (ace) {
        f.columnComplexId = 11;
    }
    f.realIndexSize = 52;
    f.realIndexColumns = 4;
    f.realIndexFlags = 46;
    f.logicalIndexSize = 28;
    f.logicalIndexNumber = 4;
    f.logicalIndexReal = 8;
    f.logicalIndexType = 23;
    f.nameLengthSize = 2;
    f.unicodeText = true;
    f.textUnitSize = 2;
    f.rowColumnCountSize = 2;
    f.rowVarOffsetSize = 2;
    f.propertyTag = "MR2";
    return f;
}

const JetFormat kJet3 = MakeJet3();
const JetFormat kJet4 = MakeJet4(1, "4.0", false);
const JetFormat kAce12 = MakeJet4(2, "12.0", true);
const JetFormat kAce14 = MakeJet4(3, "14.0", true);
const JetFormat kAce15 = MakeJet4(4, "15.0", true);
const JetFormat kAce16 = MakeJet4(5, "16.0", true);
const JetFormat kAce17 = MakeJet4(6, "17.0", true);

}  // namespace

const JetFormat* FormatForVersion(std::uint8_t versionByte) {
    switch (versionByte) {
        case 0:
            return &kJet3;
        case 1:
            return &kJet4;
        case 2:
            return &kAce12;
        case 3:
            return &kAce14;
        case 4:
            return &kAce15;
        case 5:
            return &kAce16;
        case 6:
            return &kAce17;
        default:
            return nullptr;
    }
}

}  // namespace ostrel::jet
