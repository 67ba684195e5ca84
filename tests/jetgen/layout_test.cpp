// Column layout, index sharing and the table definition bytes.
#include <gtest/gtest.h>

#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/page_file.h"
#include "tools/jetgen/table_layout.h"

namespace ostrel::jetgen {
namespace {

std::uint32_t U16At(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}
std::uint32_t U32At(const Bytes& b, std::size_t at) {
    return U16At(b, at) | (U16At(b, at + 2) << 16);
}

ColumnDescription Col(const std::string& name, ColumnType type, int size = 0) {
    ColumnDescription c;
    c.name = name;
    c.type = type;
    c.size = size;
    return c;
}

TEST(TableLayout, PlacesFixedColumnsAndNumbersVariableOnes) {
    const TableLayout t = MakeTableLayout(
        "T", kTableTypeUser,
        {Col("A", ColumnType::Byte), Col("B", ColumnType::Boolean), Col("C", ColumnType::Text, 20),
         Col("D", ColumnType::Double), Col("E", ColumnType::Memo), Col("F", ColumnType::Decimal)});
    ASSERT_EQ(t.columns.size(), 6U);
    EXPECT_EQ(t.columns[0].fixedOffset, 0);
    EXPECT_EQ(t.columns[1].fixedOffset, 0);  // booleans live in the null mask
    EXPECT_EQ(t.columns[3].fixedOffset, 1);
    EXPECT_EQ(t.columns[5].fixedOffset, 9);
    EXPECT_EQ(t.fixedAreaSize, 26);
    EXPECT_EQ(t.columns[2].varIndex, 0);
    EXPECT_EQ(t.columns[2].length, 40);  // two bytes a character
    EXPECT_EQ(t.columns[4].varIndex, 1);
    EXPECT_TRUE(t.columns[4].longValue);
    EXPECT_EQ(t.varColumnCount, 2);
    EXPECT_EQ(t.columns[0].flags, kColumnFixed | kColumnUpdatable);
    EXPECT_EQ(t.columns[2].flags, kColumnUpdatable);
}

TEST(TableLayout, RejectsColumnsAccessWouldRefuse) {
    auto bad = [](const std::vector<ColumnDescription>& cols) {
        EXPECT_THROW(MakeTableLayout("T", kTableTypeUser, cols), GeneratorError);
    };
    bad({});
    bad({Col("A", ColumnType::Long), Col("A", ColumnType::Long)});
    bad({Col("A", ColumnType::Text, 256)});
    bad({Col("A", ColumnType::Binary, 511)});
    ColumnDescription autoText = Col("A", ColumnType::Text);
    autoText.autoNumber = true;
    bad({autoText});
    ColumnDescription link = Col("A", ColumnType::Text);
    link.hyperlink = true;
    bad({link});
    ColumnDescription dec = Col("A", ColumnType::Decimal);
    dec.precision = 5;
    dec.scale = 6;
    bad({dec});
}

TEST(TableLayout, ForeignKeyIndexesShareMatchingPhysicalIndexes) {
    TableLayout t = MakeTableLayout("T", kTableTypeUser,
                                    {Col("A", ColumnType::Long), Col("B", ColumnType::Long)});
    EXPECT_EQ(AddIndex(t, "PrimaryKey", {{0, true}}, kIndexUnique, kIndexTypePrimary, false), 0U);
    EXPECT_EQ(AddIndex(t, ".rB", {{0, true}}, kIndexUnique, kIndexTypeForeign, true), 1U);
    EXPECT_EQ(AddIndex(t, "Desc", {{0, false}}, 0, kIndexTypeNormal, true), 2U);
    EXPECT_EQ(t.realIndexes.size(), 2U);  // descending order is a different index
    EXPECT_EQ(t.logicalIndexes[1].realIndex, 0U);
    EXPECT_EQ(t.realIndexes[0].flags, kIndexUnique | kIndexAlwaysSet);
    EXPECT_THROW(AddIndex(t, "Desc", {{1, true}}, 0, kIndexTypeNormal, false), GeneratorError);
    EXPECT_THROW(AddIndex(t, "None", {}, 0, kIndexTypeNormal, false), GeneratorError);
    std::vector<IndexColumnLayout> eleven(11, IndexColumnLayout{0, true});
    EXPECT_THROW(AddIndex(t, "Wide", eleven, 0, kIndexTypeNormal, false), GeneratorError);
}

TEST(TableDefinition, HeaderCountsAndIndexBlocksSitWhereReadersLook) {
    TableLayout t = MakeTableLayout(
        "T", kTableTypeUser, {Col("ID", ColumnType::Long), Col("Name", ColumnType::Text, 30)});
    AddIndex(t, "PrimaryKey", {{0, true}}, kIndexUnique | kIndexRequired, kIndexTypePrimary, false);
    t.rowCount = 12;
    t.lastAutoNumber = 12;
    t.realIndexes[0].uniqueEntries = 12;
    t.realIndexes[0].rootPage = 77;
    t.ownedMap = {3, 9};
    t.tdefPages = {5};
    const Bytes d = EncodeTableDefinition(t);
    EXPECT_EQ(d[0], 0x02);
    EXPECT_EQ(U32At(d, 8), d.size());
    EXPECT_EQ(U32At(d, 16), 12U);  // rows
    EXPECT_EQ(U32At(d, 20), 12U);  // last auto-number
    EXPECT_EQ(d[40], kTableTypeUser);
    EXPECT_EQ(U16At(d, 43), 1U);  // variable columns
    EXPECT_EQ(U16At(d, 45), 2U);  // columns
    EXPECT_EQ(U32At(d, 47), 1U);  // logical indexes
    EXPECT_EQ(U32At(d, 51), 1U);  // physical indexes
    EXPECT_EQ(U32At(d, 55), (9U << 8) | 3U);
    EXPECT_EQ(U32At(d, 67), 12U);  // unique entries of the first index
    const std::size_t firstColumn = 63 + 12;
    EXPECT_EQ(d[firstColumn], static_cast<std::uint8_t>(ColumnType::Long));
    EXPECT_EQ(d[firstColumn + 25], static_cast<std::uint8_t>(ColumnType::Text));
    EXPECT_EQ(U16At(d, firstColumn + 25 + 23), 60U);
    EXPECT_EQ(U16At(d, d.size() - 2), 0xFFFFU);
    const std::vector<Bytes> pages = SplitTableDefinition(t, d);
    ASSERT_EQ(pages.size(), 1U);
    EXPECT_EQ(U16At(pages[0], 2), kPageSize - d.size() - 8);
}

TEST(TableDefinition, LongDefinitionsContinueOnChainedPages) {
    std::vector<ColumnDescription> cols;
    cols.reserve(200);
    for (int i = 0; i < 200; ++i) {
        cols.push_back(
            Col("A column with a rather long name " + std::to_string(i), ColumnType::Long));
    }
    TableLayout t = MakeTableLayout("Wide", kTableTypeUser, cols);
    const std::size_t count = TableDefinitionPageCount(t);
    ASSERT_GE(count, 3U);
    for (std::size_t i = 0; i < count; ++i) {
        t.tdefPages.push_back(static_cast<std::uint32_t>(10 + i));
    }
    const Bytes stream = EncodeTableDefinition(t);
    const std::vector<Bytes> pages = SplitTableDefinition(t, stream);
    ASSERT_EQ(pages.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_EQ(pages[i][0], 0x02);
        EXPECT_EQ(U32At(pages[i], 4), i + 1 < count ? 11 + i : 0U);
    }
    // The continuation carries on exactly where the first page ended.
    EXPECT_EQ(pages[1][8], stream[kPageSize]);
}

}  // namespace
}  // namespace ostrel::jetgen
