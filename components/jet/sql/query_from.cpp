#include "components/jet/sql/query_from.h"

#include "components/jet/object_names.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "components/jet/sql/query_identifiers.h"
#include "components/schema/schema_error.h"

namespace ostrel::jet::querysql {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
// Far more tables or joins than Access lets a query have; keeps the work of
// matching joins to tables small for damaged rows.
constexpr std::size_t kMaxFromRows = 4096;

// One table source of the FROM list: a single table, or two sources joined.
struct Source {
    std::string text;          // a table: its SQL text with alias
    std::string_view key;      // a table: the name joins refer to it by
    std::size_t left = kNone;  // a join: the sources it combines
    std::size_t right = kNone;
    std::int16_t joinType = 0;
    std::vector<std::string_view> conditions;  // a join: in stored order, shown newest first
    int depth = 0;
};

class FromBuilder {
  public:
    explicit FromBuilder(const RowSet& rows) {
        if (rows.All(kTable).size() > kMaxFromRows || rows.All(kJoin).size() > kMaxFromRows) {
            throw schema::SchemaError("the query lists more tables or joins than a query can have");
        }
        for (const QueryRow* row : rows.All(kTable)) {
            AddTable(*row);
        }
        for (const QueryRow* row : rows.All(kJoin)) {
            AddJoin(*row);
        }
    }

    void Append(std::string& out) const {
        bool first = true;
        for (const std::size_t index : topLevel_) {
            if (!first) {
                out += ", ";
            }
            first = false;
            AppendSource(out, index, true);
        }
    }

  private:
    void AddTable(const QueryRow& row) {
        Source table;
        if (row.expression) {
            // A subquery saved in the FROM list: [SELECT ...]. AS Alias
            AppendBracketed(table.text, *row.expression);
            table.text.push_back('.');
        }
        if (row.name1) {
            AppendName(table.text, *row.name1, true);
        }
        if (row.name2) {
            table.text += " AS ";
            AppendName(table.text, *row.name2, false);
        }
        if (!row.expression && !row.name1) {
            throw schema::SchemaError("a table row of the query names no table");
        }
        // Joins refer to a table by its alias, else by its name; a subquery
        // without an alias has neither and cannot take part in a join.
        if (row.name2) {
            table.key = *row.name2;
        } else if (row.name1) {
            table.key = *row.name1;
        }
        topLevel_.push_back(sources_.size());
        sources_.push_back(std::move(table));
    }

    bool Contains(std::size_t index, std::string_view name) const {
        // Bounded by the nesting depth checked when joins are made.
        const Source& source = sources_[index];
        if (source.left == kNone) {
            return !source.key.empty() && SameName(source.key, name);
        }
        return Contains(source.left, name) || Contains(source.right, name);
    }

    void AddJoin(const QueryRow& row) {
        if (!row.name1 || !row.name2) {
            throw schema::SchemaError("a join row of the query does not name both of its tables");
        }
        const std::string& fromName = *row.name1;
        const std::string& toName = *row.name2;
        if (!row.expression) {
            throw schema::SchemaError("the join between '" + fromName + "' and '" + toName +
                                      "' has no ON condition");
        }
        const std::int16_t type = row.flag.value_or(0);
        if (type < 1 || type > 3) {
            throw schema::SchemaError("the join between '" + fromName + "' and '" + toName +
                                      "' has the unknown join type " + std::to_string(type));
        }

        // The first top-level source holding each table; a source holding both
        // receives another condition for the join it already is.
        std::size_t fromPos = kNone;
        std::size_t toPos = kNone;
        for (std::size_t pos = 0; pos < topLevel_.size(); ++pos) {
            const std::size_t index = topLevel_[pos];
            if (fromPos == kNone && Contains(index, fromName)) {
                fromPos = pos;
                if (toPos == kNone && Contains(index, toName)) {
                    toPos = pos;
                    break;
                }
            } else if (toPos == kNone && Contains(index, toName)) {
                toPos = pos;
            }
            if (fromPos != kNone && toPos != kNone) {
                break;
            }
        }
        if (fromPos == kNone) {
            throw schema::SchemaError("a join names the table '" + fromName +
                                      "', which the query does not list");
        }
        if (toPos == kNone) {
            throw schema::SchemaError("a join names the table '" + toName +
                                      "', which the query does not list");
        }

        if (fromPos == toPos) {
            Source& existing = sources_[topLevel_[fromPos]];
            if (existing.left == kNone || existing.joinType != type) {
                throw schema::SchemaError("the joins between '" + fromName + "' and '" + toName +
                                          "' disagree on the join type");
            }
            existing.conditions.emplace_back(*row.expression);
            return;
        }

        Source join;
        join.left = topLevel_[fromPos];
        join.right = topLevel_[toPos];
        join.joinType = type;
        join.conditions.emplace_back(*row.expression);
        join.depth = std::max(sources_[join.left].depth, sources_[join.right].depth) + 1;
        if (join.depth > kMaxJoinDepth) {
            throw schema::SchemaError("the query's joins are nested more than " +
                                      std::to_string(kMaxJoinDepth) + " deep");
        }
        // Both parts leave the list; the join goes to its end.
        topLevel_.erase(topLevel_.begin() + static_cast<std::ptrdiff_t>(std::max(fromPos, toPos)));
        topLevel_.erase(topLevel_.begin() + static_cast<std::ptrdiff_t>(std::min(fromPos, toPos)));
        topLevel_.push_back(sources_.size());
        sources_.push_back(std::move(join));
    }

    void AppendSource(std::string& out, std::size_t index, bool topLevel) const {
        const Source& source = sources_[index];
        if (source.left == kNone) {
            out += source.text;
            return;
        }
        if (!topLevel) {
            out.push_back('(');
        }
        AppendSource(out, source.left, false);
        switch (source.joinType) {
            case 1:
                out += " INNER JOIN ";
                break;
            case 2:
                out += " LEFT JOIN ";
                break;
            default:
                out += " RIGHT JOIN ";
                break;
        }
        AppendSource(out, source.right, false);
        out += " ON ";
        if (source.conditions.size() == 1) {
            out += source.conditions.front();
        } else {
            out.push_back('(');
            for (std::size_t i = source.conditions.size(); i-- > 0;) {
                out += source.conditions[i];
                if (i > 0) {
                    out += ") AND (";
                }
            }
            out.push_back(')');
        }
        if (!topLevel) {
            out.push_back(')');
        }
    }

    std::vector<Source> sources_;
    std::vector<std::size_t> topLevel_;
};

}  // namespace

void AppendFromList(std::string& out, const RowSet& rows) {
    FromBuilder(rows).Append(out);
}

bool HasFromList(const RowSet& rows) {
    return !rows.All(kTable).empty();
}

}  // namespace ostrel::jet::querysql
