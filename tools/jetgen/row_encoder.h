// Encodes one row of cells in the Jet 4 row format of a table layout.
#pragma once

#include "tools/jetgen/byte_writer.h"
#include "tools/jetgen/description.h"
#include "tools/jetgen/long_value_store.h"
#include "tools/jetgen/table_layout.h"

namespace ostrel::jetgen {

inline constexpr std::size_t kMaxRowSize = 4060;

// Throws GeneratorError when a value does not suit its column or the row is
// too large for a page.
Bytes EncodeRow(const TableLayout& table, const Row& row, LongValueStore& longValues);

}  // namespace ostrel::jetgen
