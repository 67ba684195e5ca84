// Counting the distinct keys of a table's indexes while its rows are written.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/jetgen/row_encoder.h"
#include "tools/jetgen/table_layout.h"

namespace ostrel::jetgen {

// Counts distinct index keys the way the index would hold them: text without
// regard to case, rows whose key is all null left out of indexes that ignore
// nulls.
class KeyCounter {
  public:
    explicit KeyCounter(const TableLayout& t) : table_(t), keys_(t.realIndexes.size()) {}

    void Add(const Row& row);
    std::uint32_t Distinct(std::size_t index);

  private:
    const TableLayout& table_;
    std::vector<std::vector<std::uint64_t>> keys_;
};

}  // namespace ostrel::jetgen
