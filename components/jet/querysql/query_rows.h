#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "components/jet/querysql/query_sql.h"

namespace ostrel::jet::querysql {

// What each MSysQueries row holds, by its Attribute column.
enum Attribute : std::uint8_t {
    kStart = 0,
    kType = 1,
    kParameter = 2,
    kFlags = 3,
    kRemoteDatabase = 4,
    kTable = 5,
    kColumn = 6,
    kJoin = 7,
    kWhere = 8,
    kGroupBy = 9,
    kHaving = 10,
    kOrderBy = 11,
    kEnd = 255,
};

// More rows than any saved query can have; a longer list is damaged data.
inline constexpr std::size_t kMaxQueryRows = 65536;

// A query's rows grouped by attribute, each group in stored order (by the Order
// column, then by position in the input).
class RowSet {
  public:
    // Throws schema::SchemaError when there are no rows or too many.
    explicit RowSet(const std::vector<QueryRow>& rows);

    std::span<const QueryRow* const> All(Attribute attribute) const;
    // The one row of an attribute that allows only one, or nullptr when there
    // is none. Throws schema::SchemaError when there are several.
    const QueryRow* Single(Attribute attribute, std::string_view what) const;

  private:
    std::vector<const QueryRow*> sorted_;
};

// Whether the row's Flag column has any of the bits of mask set (a Null flag
// has none).
bool HasFlag(const QueryRow* row, int mask);

}  // namespace ostrel::jet::querysql
