#include "components/document/table_data.h"

#include <gtest/gtest.h>

namespace ostrel::document {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(TableData, SplitsFormatRowsAndCells) {
    const TableData t = ParseTableText("2000|2400|5600;|Updatable|True;Field - ID|Type|Long;");
    EXPECT_EQ(t.columnTwips, (std::vector<int>{2000, 2400, 5600}));
    EXPECT_EQ(t.rows, (Rows{{"", "Updatable", "True"}, {"Field - ID", "Type", "Long"}}));

    const TableData two = ParseTableText("2000|8000;Version|4.0;CollatingOrder|1033;");
    EXPECT_EQ(two.columnTwips, (std::vector<int>{2000, 8000}));
    EXPECT_EQ(two.rows, (Rows{{"Version", "4.0"}, {"CollatingOrder", "1033"}}));
}

TEST(TableData, EscapedSeparatorsBelongToTheCell) {
    const TableData t = ParseTableText(
        "2000|2400|5600;|ValidationRule|In "
        "(\"A\"\\;\"B\");|Text|a\\|b\\\\c;|Path|C:\\Data\\x.mdb;");
    EXPECT_EQ(t.rows, (Rows{{"", "ValidationRule", "In (\"A\";\"B\")"},
                            {"", "Text", "a|b\\c"},
                            {"", "Path", "C:\\Data\\x.mdb"}}));
    // A backslash at the very end is text too.
    EXPECT_EQ(ParseTableText("100;a\\").rows, (Rows{{"a\\"}}));
}

TEST(TableData, KeepsEverythingHandedOver) {
    // The empty row that ends a field block, a short row, a row with more
    // cells than columns, a carriage return and a last row without ";".
    const TableData t =
        ParseTableText("2000|2400|5600;Field - A|Type|Text;;x;a|b|c|d|e;|Note|one\rtwo;|Last|row");
    EXPECT_EQ(t.rows, (Rows{{"Field - A", "Type", "Text"},
                            {"", "", ""},
                            {"x", "", ""},
                            {"a", "b", "c|d|e"},
                            {"", "Note", "one\rtwo"},
                            {"", "Last", "row"}}));
    EXPECT_TRUE(ParseTableText("2000|8000;").rows.empty());
}

TEST(TableData, UnusableFormatGivesEvenColumns) {
    for (const char* text :
         {"abc|def;x|y;", "2000|-5;x|y;", "2000||8000;x|y;", ";x|y;", "99999999999|1;x|y;"}) {
        const TableData t = ParseTableText(text);
        EXPECT_EQ(t.columnTwips, (std::vector<int>{5000, 5000})) << text;
        EXPECT_EQ(t.rows, (Rows{{"x", "y"}})) << text;
    }
    EXPECT_EQ(ParseTableText("").columnTwips.size(), 1U);
}

// The text form written for a table reads back as the same table, whatever
// separators and backslashes its cells hold.
TEST(TableData, TextFormReadsBackAsTheTable) {
    const TableData table{{2000, 2400, 5600},
                          {{"", "SQL", "SELECT a|b FROM T;"},
                           {"Field - C:\\Data\\", "Note", "one\rtwo"},
                           {"", "", ""}}};
    const std::string text = TableDataText(table);
    EXPECT_EQ(text.rfind("2000|2400|5600;|SQL|SELECT a\\|b FROM T\\;;", 0), 0U) << text;
    EXPECT_EQ(ParseTableText(text).rows, table.rows);
    EXPECT_EQ(ParseTableText(text).columnTwips, table.columnTwips);
}

}  // namespace
}  // namespace ostrel::document
