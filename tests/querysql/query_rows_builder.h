#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "components/jet/querysql/query_sql.h"

namespace ostrel::jet::testing {

// Builds the MSysQueries rows of one query the way Access stores them: a start
// row, the rows added, an end row, each attribute's rows numbered in order.
class QueryRowsBuilder {
  public:
    explicit QueryRowsBuilder(std::int16_t queryType);

    using Text = std::optional<std::string>;
    QueryRowsBuilder& Row(std::uint8_t attribute, std::optional<std::int16_t> flag, Text name1,
                          Text name2, Text expression);

    QueryRowsBuilder& Flags(std::int16_t flags, Text name1 = std::nullopt) {
        return Row(3, flags, std::move(name1), std::nullopt, std::nullopt);
    }
    QueryRowsBuilder& Parameter(const std::string& name, std::int16_t jetType) {
        return Row(2, jetType, name, std::nullopt, std::nullopt);
    }
    QueryRowsBuilder& Table(const std::string& name, Text alias = std::nullopt) {
        return Row(5, std::nullopt, name, std::move(alias), std::nullopt);
    }
    QueryRowsBuilder& Column(const std::string& expression, Text alias = std::nullopt,
                             std::int16_t flag = 0) {
        return Row(6, flag, std::move(alias), std::nullopt, expression);
    }
    QueryRowsBuilder& Join(std::int16_t type, const std::string& from, const std::string& to,
                           const std::string& on) {
        return Row(7, type, from, to, on);
    }
    QueryRowsBuilder& Where(const std::string& expression) {
        return Row(8, std::nullopt, std::nullopt, std::nullopt, expression);
    }
    QueryRowsBuilder& GroupBy(const std::string& expression, std::int16_t flag = 0) {
        return Row(9, flag, std::nullopt, std::nullopt, expression);
    }
    QueryRowsBuilder& Having(const std::string& expression) {
        return Row(10, std::nullopt, std::nullopt, std::nullopt, expression);
    }
    QueryRowsBuilder& OrderBy(const std::string& expression, bool descending = false) {
        return Row(11, std::nullopt, descending ? Text("D") : std::nullopt, std::nullopt,
                   expression);
    }

    std::vector<QueryRow> Rows() const;
    QueryDesign Build() const { return BuildQueryDesign(Rows()); }

  private:
    std::vector<QueryRow> rows_;
};

}  // namespace ostrel::jet::testing
