#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ostrel::qtdocument {

// A property table as the report hands it over: column widths in twips and
// rows of cell texts, separators already resolved.
struct TableText {
    std::vector<int> columnTwips;
    std::vector<std::vector<std::string>> rows;
};

// Splits the text given to AddTable: a column format ("2000|2400|5600;")
// followed by rows whose cells are separated by "|" and ended by ";".
// A backslash before "|", ";" or "\" makes that character part of the cell;
// any other backslash is kept as it is.
//
// Nothing handed over is dropped: a last row without its ";" is still a row,
// a row with more cells than columns keeps the surplus joined to its last cell
// with "|", and a row with fewer cells is padded with empty cells. A format
// that gives no usable width yields one column as wide as the widest row
// needs (reported as 10000 twips, spread evenly).
TableText ParseTableText(std::string_view text);

}  // namespace ostrel::qtdocument
