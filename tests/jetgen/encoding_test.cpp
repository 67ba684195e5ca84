// Value encodings, the header page, property blobs, rows, pages and maps.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "tools/jetgen/data_page.h"
#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/header_page.h"
#include "tools/jetgen/property_blob.h"
#include "tools/jetgen/row_encoder.h"
#include "tools/jetgen/text_codec.h"
#include "tools/jetgen/usage_map.h"

namespace ostrel::jetgen {
namespace {

std::uint32_t U16At(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t U32At(const std::uint8_t* p) {
    return U16At(p) | (U16At(p + 2) << 16);
}

TEST(TextCodec, EncodesUtf16IncludingSurrogatesAndRejectsBadUtf8) {
    EXPECT_EQ(Utf8ToUtf16Le("A\xC3\xA9"), (Bytes{0x41, 0x00, 0xE9, 0x00}));
    EXPECT_EQ(Utf8ToUtf16Le("\xF0\x9F\x98\x80"), (Bytes{0x3D, 0xD8, 0x00, 0xDE}));
    EXPECT_THROW(Utf8ToUtf16Le("\xC3"), GeneratorError);
    EXPECT_THROW(Utf8ToUtf16Le("\xFF"), GeneratorError);
    EXPECT_THROW(Utf8ToUtf16Le("\xE2\x28\xA1"), GeneratorError);
}

TEST(TextCodec, ConvertsDatesToOleDays) {
    EXPECT_DOUBLE_EQ(ParseOleDate("1899-12-30"), 0.0);
    EXPECT_DOUBLE_EQ(ParseOleDate("1900-01-01"), 2.0);
    EXPECT_DOUBLE_EQ(ParseOleDate("2024-03-01T12:00:00"), 45352.5);
    EXPECT_DOUBLE_EQ(ParseOleDate("2024-03-01 06:00:00"), 45352.25);
    EXPECT_DOUBLE_EQ(ParseOleDate("1899-12-29T06:00:00"), -1.25);
    for (const char* bad : {"", "2024-3-1", "2024-13-01", "2024-03-01T25:00:00", "2024-03-01X"}) {
        EXPECT_THROW(ParseOleDate(bad), GeneratorError) << bad;
    }
}

TEST(TextCodec, StoresGuidsWithLittleEndianLeadingGroups) {
    const auto g = ParseGuid("{00112233-4455-6677-8899-AABBCCDDEEFF}");
    const std::uint8_t expected[] = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                                     0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(std::memcmp(g.data(), expected, 16), 0);
    EXPECT_EQ(ParseGuid("00112233-4455-6677-8899-aabbccddeeff"), g);
    EXPECT_THROW(ParseGuid("{0011223-4455-6677-8899-AABBCCDDEEFF}"), GeneratorError);
    EXPECT_THROW(ParseGuid("{00112233-4455-6677-8899-AABBCCDDEEFG}"), GeneratorError);
}

TEST(TextCodec, ScalesDecimalsAndCurrencyExactly) {
    const ScaledDecimal d = ParseScaledDecimal("-12.5", 3);
    EXPECT_TRUE(d.negative);
    EXPECT_EQ(d.words[0], 12500U);
    const ScaledDecimal big = ParseScaledDecimal("79228162514264337593543950335", 0);  // 2^96-1
    EXPECT_EQ(big.words[0], 0xFFFFFFFFU);
    EXPECT_EQ(big.words[2], 0xFFFFFFFFU);
    EXPECT_EQ(big.words[3], 0U);
    EXPECT_EQ(ParseScaledDecimal("1.23456", 2).words[0], 123U);  // extra digits dropped
    EXPECT_THROW(ParseScaledDecimal("1e5", 0), GeneratorError);
    EXPECT_THROW(ParseScaledDecimal("-", 0), GeneratorError);
    EXPECT_EQ(ParseCurrency("-922337203685477.5808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(ParseCurrency("922337203685477.5807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(ParseCurrency("2.35"), 23500);
    EXPECT_THROW(ParseCurrency("922337203685477.5808"), GeneratorError);
}

TEST(HeaderPage, MasksTheFieldsThatJet4Masks) {
    HeaderFields fields;
    fields.created = 45352.75;
    Page page = MakeHeaderPage(fields);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(page.data() + 4)), "Standard Jet DB");
    EXPECT_EQ(page[0x14], 0x01);
    const std::uint8_t key[] = {0xC7, 0xDA, 0x39, 0x6B};
    Rc4Apply(key, 4, page.data() + 0x18, 128);  // RC4 is its own inverse
    EXPECT_EQ(U16At(page.data() + 0x3C), 1252U);
    EXPECT_EQ(U32At(page.data() + 0x3E), 0U);  // no page encryption
    EXPECT_EQ(U16At(page.data() + 0x6E), 1033U);
    double created = 0;
    std::memcpy(&created, page.data() + 0x72, 8);
    EXPECT_DOUBLE_EQ(created, 45352.75);
    // The password area unmasked with the date mask is empty.
    for (std::size_t i = 0; i < 40; ++i) {
        const auto mask = static_cast<std::uint8_t>(45352U >> (8 * (i % 4)));
        EXPECT_EQ(page[0x42 + i] ^ mask, 0) << i;
    }
}

TEST(PropertyBlob, WritesNameListThenOneBlockPerObject) {
    std::vector<PropertyMap> maps(2);
    maps[0].values.push_back(MemoProperty("Description", "T", false));
    maps[1].name = "Col";
    maps[1].block = kChildPropertyBlock;
    maps[1].values.push_back(BooleanProperty("Required", true, true));
    maps[1].values.push_back(MemoProperty("Description", "C", false));
    const Bytes blob = EncodePropertyBlob(maps);
    ASSERT_GE(blob.size(), 4U);
    EXPECT_EQ(std::memcmp(blob.data(), "MR2\0", 4), 0);
    std::size_t at = 4;
    std::vector<std::uint32_t> blockTypes;
    while (at < blob.size()) {
        const std::uint32_t length = U32At(blob.data() + at);
        ASSERT_GE(length, 6U);
        ASSERT_LE(at + length, blob.size());
        blockTypes.push_back(U16At(blob.data() + at + 4));
        at += length;
    }
    EXPECT_EQ(at, blob.size());
    EXPECT_EQ(blockTypes, (std::vector<std::uint32_t>{0x80, 0x00, 0x01}));
    // Name list: "Description" then "Required", each named once.
    EXPECT_EQ(U16At(blob.data() + 10), 22U);
    // The column block's Required value: length 9, ddl, Boolean, name index 1, 1 byte 0xFF.
    const Bytes required = {9, 0, 1, 1, 1, 0, 1, 0, 0xFF};
    EXPECT_NE(std::search(blob.begin(), blob.end(), required.begin(), required.end()), blob.end());
    EXPECT_TRUE(EncodePropertyBlob({PropertyMap{}}).empty());
}

TEST(RowEncoder, LaysOutFixedVariableOffsetsAndNullMask) {
    auto col = [](const char* n, ColumnType type, int size = 0) {
        ColumnDescription c;
        c.name = n;
        c.type = type;
        c.size = size;
        return c;
    };
    const ColumnDescription id = col("ID", ColumnType::Long);
    const ColumnDescription flag = col("F", ColumnType::Boolean);
    const ColumnDescription name = col("N", ColumnType::Text, 10);
    const ColumnDescription note = col("M", ColumnType::Text, 10);
    const TableLayout t = MakeTableLayout("T", kTableTypeUser, {id, flag, name, note});
    PageFile unused(std::filesystem::temp_directory_path() / "ostrel-jetgen-unused.mdb");
    LongValueStore lv(unused);
    const Bytes row =
        EncodeRow(t, {Cell::Int(7), Cell::Bool(true), Cell::Text("ab"), Cell::Null()}, lv);
    const Bytes expected = {4,   0,          // column count
                            7,   0, 0,   0,  // ID
                            'a', 0, 'b', 0,  // N
                            10,  0,          // end of variable data
                            10,  0,          // M starts (empty: null)
                            6,   0,          // N starts
                            2,   0,          // two variable columns
                            0x07};           // ID, F (true) and N present
    EXPECT_EQ(row, expected);
    EXPECT_THROW(EncodeRow(t, {Cell::Int(7)}, lv), GeneratorError);
    EXPECT_THROW(EncodeRow(t, {Cell::Text("x"), Cell::Null(), Cell::Null(), Cell::Null()}, lv),
                 GeneratorError);
    EXPECT_THROW(
        EncodeRow(t, {Cell::Null(), Cell::Null(), Cell::Text("eleven char"), Cell::Null()}, lv),
        GeneratorError);
}

TEST(DataPage, FillsFromTheEndAndRecordsFreeSpace) {
    DataPageBuilder page(42);
    const Bytes row(100, 0xAB);
    std::size_t added = 0;
    while (page.Fits(row.size())) {
        EXPECT_EQ(page.Add(row), added);
        ++added;
    }
    EXPECT_EQ(added, (kPageSize - kDataPageHeader) / (row.size() + 2));
    const Page& p = page.Finish();
    EXPECT_EQ(p[0], 0x01);
    EXPECT_EQ(U32At(p.data() + 4), 42U);
    EXPECT_EQ(U16At(p.data() + 12), added);
    EXPECT_EQ(U16At(p.data() + 14), kPageSize - row.size());
    EXPECT_EQ(U16At(p.data() + 2), kPageSize - kDataPageHeader - added * (row.size() + 2));
    DataPageBuilder tiny(1);
    for (int i = 0; i < 255; ++i) {
        tiny.Add(Bytes(1, 0));
    }
    EXPECT_FALSE(tiny.Fits(1));  // at most 255 rows a page
}

TEST(UsageMap, InlineForNearPagesReferenceForFarOnes) {
    const auto path = std::filesystem::temp_directory_path() / "ostrel-jetgen-map.mdb";
    PageFile file(path);
    for (int i = 0; i < 40000; ++i) {
        file.Allocate();
    }
    const Bytes inlineRow = MakeUsageMapRow({100, 101, 108}, file);
    ASSERT_EQ(inlineRow.size(), kMapRowLength);
    EXPECT_EQ(inlineRow[0], 0);
    EXPECT_EQ(U32At(inlineRow.data() + 1), 100U);
    EXPECT_EQ(inlineRow[5], 0x03);
    EXPECT_EQ(inlineRow[6], 0x01);
    const std::uint32_t before = file.PageCount();
    const Bytes referenceRow = MakeUsageMapRow({5, 600, 33000}, file);
    EXPECT_EQ(referenceRow[0], 1);
    EXPECT_EQ(U32At(referenceRow.data() + 1), before);      // pages 0..32735
    EXPECT_EQ(U32At(referenceRow.data() + 5), before + 1);  // pages 32736..
    EXPECT_EQ(U32At(referenceRow.data() + 9), 0U);
    EXPECT_EQ(MakeUsageMapRow({}, file), Bytes(kMapRowLength, 0));
}

}  // namespace
}  // namespace ostrel::jetgen
