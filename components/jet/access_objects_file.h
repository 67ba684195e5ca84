#pragma once

#include <cstdint>
#include <vector>

namespace ostrel::jet {

class PageFile;
struct Catalog;

// The compound file that Jet 4 files (and Jet 3 files a later Access has
// opened) keep in MSysAccessObjects(ID, Data): the Data of rows 1, 2, ...
// joined in ID order, row 0 being a header. Data is a fixed-length binary
// (column type 0x11 in Jet 4, 3992 bytes; an ordinary Binary of 241 bytes in
// Jet 3). Missing IDs are filled with zero bytes; IDs far beyond the rows
// present are damage. Empty when the file has no such table; raises
// SchemaError when it cannot be read.
std::vector<std::uint8_t> JoinAccessObjects(const PageFile& file, const Catalog& catalog);

}  // namespace ostrel::jet
