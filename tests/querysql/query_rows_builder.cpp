#include "query_rows_builder.h"

#include <algorithm>

namespace ostrel::jet::testing {

QueryRowsBuilder::QueryRowsBuilder(std::int16_t queryType) {
    Row(0, 0, std::nullopt, std::nullopt, std::nullopt);
    Row(1, queryType, std::nullopt, std::nullopt, std::nullopt);
}

QueryRowsBuilder& QueryRowsBuilder::Row(std::uint8_t attribute, std::optional<std::int16_t> flag,
                                        Text name1, Text name2, Text expression) {
    QueryRow row;
    row.attribute = attribute;
    row.flag = flag;
    row.name1 = std::move(name1);
    row.name2 = std::move(name2);
    row.expression = std::move(expression);
    row.objectId = 42;
    const auto sameAttribute =
        std::count_if(rows_.begin(), rows_.end(),
                      [attribute](const QueryRow& r) { return r.attribute == attribute; });
    const auto number = static_cast<std::uint32_t>(sameAttribute + 1);
    row.order = {static_cast<std::uint8_t>(number >> 24U), static_cast<std::uint8_t>(number >> 16U),
                 static_cast<std::uint8_t>(number >> 8U), static_cast<std::uint8_t>(number)};
    rows_.push_back(std::move(row));
    return *this;
}

std::vector<QueryRow> QueryRowsBuilder::Rows() const {
    std::vector<QueryRow> rows = rows_;
    QueryRow end;
    end.attribute = 255;
    end.objectId = 42;
    end.order = {0, 0, 0, 1};
    rows.push_back(end);
    return rows;
}

}  // namespace ostrel::jet::testing
