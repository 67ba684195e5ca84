#include "components/qtdocument/table_text.h"

#include <gtest/gtest.h>

namespace ostrel::qtdocument {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(TableText, SplitsFormatRowsAndCells) {
    const TableText t = ParseTableText("2000|2400|5600;|Updatable|True;Field - ID|Type|Long;");
    EXPECT_EQ(t.columnTwips, (std::vector<int>{2000, 2400, 5600}));
    EXPECT_EQ(t.rows, (Rows{{"", "Updatable", "True"}, {"Field - ID", "Type", "Long"}}));

    const TableText two = ParseTableText("2000|8000;Version|4.0;CollatingOrder|1033;");
    EXPECT_EQ(two.columnTwips, (std::vector<int>{2000, 8000}));
    EXPECT_EQ(two.rows, (Rows{{"Version", "4.0"}, {"CollatingOrder", "1033"}}));
}

TEST(TableText, EscapedSeparatorsBelongToTheCell) {
    const TableText t = ParseTableText(
        "2000|2400|5600;|ValidationRule|In "
        "(\"A\"\\;\"B\");|Text|a\\|b\\\\c;|Path|C:\\Data\\x.mdb;");
    EXPECT_EQ(t.rows, (Rows{{"", "ValidationRule", "In (\"A\";\"B\")"},
                            {"", "Text", "a|b\\c"},
                            {"", "Path", "C:\\Data\\x.mdb"}}));
    // A backslash at the very end is text too.
    EXPECT_EQ(ParseTableText("100;a\\").rows, (Rows{{"a\\"}}));
}

TEST(TableText, KeepsEverythingHandedOver) {
    // The empty row that ends a field block, a short row, a row with more
    // cells than columns, a carriage return and a last row without ";".
    const TableText t =
        ParseTableText("2000|2400|5600;Field - A|Type|Text;;x;a|b|c|d|e;|Note|one\rtwo;|Last|row");
    EXPECT_EQ(t.rows, (Rows{{"Field - A", "Type", "Text"},
                            {"", "", ""},
                            {"x", "", ""},
                            {"a", "b", "c|d|e"},
                            {"", "Note", "one\rtwo"},
                            {"", "Last", "row"}}));
    EXPECT_TRUE(ParseTableText("2000|8000;").rows.empty());
}

TEST(TableText, UnusableFormatGivesEvenColumns) {
    for (const char* text :
         {"abc|def;x|y;", "2000|-5;x|y;", "2000||8000;x|y;", ";x|y;", "99999999999|1;x|y;"}) {
        const TableText t = ParseTableText(text);
        EXPECT_EQ(t.columnTwips, (std::vector<int>{5000, 5000})) << text;
        EXPECT_EQ(t.rows, (Rows{{"x", "y"}})) << text;
    }
    EXPECT_EQ(ParseTableText("").columnTwips.size(), 1U);
}

}  // namespace
}  // namespace ostrel::qtdocument
