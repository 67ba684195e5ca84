#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ostrel::document {

// A property table as the report hands it to the document: column widths in
// twips and rows of cell texts. A row may hold fewer cells than there are
// columns (a member's caption alone); documents pad it with empty cells.
struct TableData {
    std::vector<int> columnTwips;
    std::vector<std::vector<std::string>> rows;
};

// The text form of a table, for documents and tests that take tables as
// text: a column format ("2000|2400|5600;") followed by rows whose cells are
// separated by "|" and ended by ";". A backslash before "|", ";" or "\" makes
// that character part of the cell; any other backslash is kept as it is.
std::string TableDataText(const TableData& table);

// Reads the text form. Nothing handed over is dropped: a last row without its
// ";" is still a row, a row with more cells than columns keeps the surplus
// joined to its last cell with "|", and a row with fewer cells is padded with
// empty cells. A format that gives no usable width yields one column as wide
// as the widest row needs (reported as 10000 twips, spread evenly).
TableData ParseTableText(std::string_view text);

// Makes every row as wide as the columns, by the rules of ParseTableText.
void FitRowsToColumns(TableData& table);

}  // namespace ostrel::document
