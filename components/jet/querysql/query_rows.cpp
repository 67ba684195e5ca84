#include "components/jet/querysql/query_rows.h"

#include <algorithm>
#include <string>

#include "components/schema/schema_error.h"

namespace ostrel::jet::querysql {

RowSet::RowSet(const std::vector<QueryRow>& rows) {
    if (rows.empty()) {
        throw schema::SchemaError("the query has no design rows in MSysQueries");
    }
    if (rows.size() > kMaxQueryRows) {
        throw schema::SchemaError("the query has " + std::to_string(rows.size()) +
                                  " design rows in MSysQueries, more than a query can have");
    }
    sorted_.reserve(rows.size());
    for (const QueryRow& row : rows) {
        sorted_.push_back(&row);
    }
    std::stable_sort(sorted_.begin(), sorted_.end(), [](const QueryRow* a, const QueryRow* b) {
        if (a->attribute != b->attribute) {
            return a->attribute < b->attribute;
        }
        return std::lexicographical_compare(a->order.begin(), a->order.end(), b->order.begin(),
                                            b->order.end());
    });
}

std::span<const QueryRow* const> RowSet::All(Attribute attribute) const {
    const auto byAttribute = [](const QueryRow* row, std::uint8_t value) {
        return row->attribute < value;
    };
    const auto first = std::lower_bound(sorted_.begin(), sorted_.end(), attribute, byAttribute);
    auto last = first;
    while (last != sorted_.end() && (*last)->attribute == attribute) {
        ++last;
    }
    return {first, last};
}

const QueryRow* RowSet::Single(Attribute attribute, std::string_view what) const {
    const auto rows = All(attribute);
    if (rows.size() > 1) {
        throw schema::SchemaError("the query has " + std::to_string(rows.size()) + " " +
                                  std::string(what) + " rows where only one is allowed");
    }
    return rows.empty() ? nullptr : rows.front();
}

bool HasFlag(const QueryRow* row, int mask) {
    if (row == nullptr || !row->flag) {
        return false;
    }
    // The flag is a signed 16-bit column; its bits are what matters.
    return (static_cast<std::uint16_t>(*row->flag) & static_cast<unsigned>(mask)) != 0;
}

}  // namespace ostrel::jet::querysql
