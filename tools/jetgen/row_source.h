// The rows of a described table: the given ones, then generated ones.
#pragma once

#include <cstdint>

#include "tools/jetgen/description.h"

namespace ostrel::jetgen {

// A generated value for a column, deterministic in (seed, row). Auto-number
// columns get null, which the writer replaces with the next number.
Cell GeneratedCell(const ColumnDescription& column, std::int64_t row, std::uint32_t seed);

class RowSource {
  public:
    explicit RowSource(const TableDescription& table) : table_(table) {}
    // Fills row with the next row; false when all rows were produced.
    bool Next(Row& row);

  private:
    const TableDescription& table_;
    std::size_t given_ = 0;
    std::int64_t generated_ = 0;
};

}  // namespace ostrel::jetgen
