#include "components/jet/querysql/query_sql.h"

#include <cstddef>
#include <string_view>

#include "components/jet/querysql/query_from.h"
#include "components/jet/querysql/query_identifiers.h"
#include "components/jet/querysql/query_parameters.h"
#include "components/jet/querysql/query_rows.h"
#include "components/schema/field.h"
#include "components/schema/schema_error.h"

namespace ostrel::jet {
namespace {

using querysql::Attribute;
using querysql::HasFlag;
using querysql::RowSet;

constexpr std::string_view kNewLine = "\r\n";

// The query kinds of the type row's Flag column.
constexpr std::int16_t kSelect = 1;
constexpr std::int16_t kMakeTable = 2;
constexpr std::int16_t kAppend = 3;
constexpr std::int16_t kUpdate = 4;
constexpr std::int16_t kDelete = 5;
constexpr std::int16_t kCrosstab = 6;
constexpr std::int16_t kDataDefinition = 7;
constexpr std::int16_t kPassThrough = 8;
constexpr std::int16_t kUnion = 9;

// Bits of the flags row.
constexpr int kSelectStar = 0x01;
constexpr int kDistinct = 0x02;
constexpr int kOwnerAccess = 0x04;
constexpr int kDistinctRow = 0x08;
constexpr int kTop = 0x10;
constexpr int kPercent = 0x20;
// In a union query the flags row's 0x02 bit means UNION without ALL.
constexpr int kUnionDistinct = 0x02;
// Column rows of an append query that are VALUES rather than selected columns.
constexpr int kAppendValue = 0x8000;
// Column and grouping rows of a crosstab query.
constexpr int kCrosstabPivot = 0x01;
constexpr int kCrosstabRowHeading = 0x02;

// The names that mark a union query's two halves in its table rows.
constexpr std::string_view kUnionFirst = "X7YZ_____1";
constexpr std::string_view kUnionSecond = "X7YZ_____2";

const std::string& Expression(const QueryRow* row, std::string_view what) {
    if (!row->expression) {
        throw schema::SchemaError("a " + std::string(what) + " row of the query has no expression");
    }
    return *row->expression;
}

std::string ParametersClause(const RowSet& rows, std::vector<QueryParameterInfo>& parameters) {
    std::string clause;
    for (const QueryRow* row : rows.All(querysql::kParameter)) {
        if (!row->name1) {
            throw schema::SchemaError("a parameter row of the query has no name");
        }
        const std::int16_t jetType = row->flag.value_or(0);
        const auto type = querysql::ParameterTypeFromJet(jetType);
        if (!type) {
            throw schema::SchemaError("the query parameter '" + *row->name1 +
                                      "' has the unknown data type " + std::to_string(jetType));
        }
        clause += clause.empty() ? "PARAMETERS " : ", ";
        querysql::AppendParameterName(clause, *row->name1);
        clause.push_back(' ');
        clause += type->sqlName;
        // Without its size a Text parameter would read as Long Text.
        if (type->daoType == schema::data_type::kText && row->lvExtra) {
            clause += " ( " + std::to_string(*row->lvExtra) + " )";
        }
        parameters.push_back({*row->name1, type->daoType});
    }
    if (!clause.empty()) {
        clause += ';';
        clause += kNewLine;
    }
    return clause;
}

void AppendRemoteDatabase(std::string& out, const std::optional<std::string>& path,
                          const std::optional<std::string>& type) {
    if (!path && !type) {
        return;
    }
    out += " IN '";
    if (path) {
        out += *path;
    }
    out += '\'';
    if (type) {
        out += " [";
        out += *type;
        out += ']';
    }
}

// Rows of one attribute whose flag matches a filter.
template <typename Keep>
std::vector<const QueryRow*> Filter(std::span<const QueryRow* const> rows, Keep keep) {
    std::vector<const QueryRow*> kept;
    for (const QueryRow* row : rows) {
        if (keep(row)) {
            kept.push_back(row);
        }
    }
    return kept;
}

template <typename Format>
void AppendList(std::string& out, const std::vector<const QueryRow*>& rows, Format format) {
    bool first = true;
    for (const QueryRow* row : rows) {
        if (!first) {
            out += ", ";
        }
        first = false;
        format(row);
    }
}

void AppendAlias(std::string& out, const std::optional<std::string>& alias) {
    if (alias) {
        out += " AS ";
        querysql::AppendName(out, *alias, false);
    }
}

// The clauses shared by SELECT, make-table, append, delete and crosstab
// queries.
struct SelectParts {
    bool selectKeyword = true;
    std::vector<const QueryRow*> columns;
    std::vector<const QueryRow*> groupings;
    const QueryRow* intoTable = nullptr;  // make-table: the type row naming the new table
};

void AppendSelect(std::string& out, const RowSet& rows, const SelectParts& parts) {
    const QueryRow* flags = rows.Single(querysql::kFlags, "flags");
    if (parts.selectKeyword) {
        out += "SELECT ";
        if (HasFlag(flags, kDistinct)) {
            out += "DISTINCT ";
        } else if (HasFlag(flags, kDistinctRow)) {
            out += "DISTINCTROW ";
        }
        if (HasFlag(flags, kTop)) {
            if (!flags->name1) {
                throw schema::SchemaError("the query is marked TOP but holds no row count");
            }
            out += "TOP ";
            out += *flags->name1;
            out += HasFlag(flags, kPercent) ? " PERCENT " : " ";
        }
    }
    AppendList(out, parts.columns, [&out](const QueryRow* row) {
        out += Expression(row, "column");
        AppendAlias(out, row->name1);
    });
    if (HasFlag(flags, kSelectStar)) {
        out += parts.columns.empty() ? "*" : ", *";
    }
    if (parts.intoTable != nullptr) {
        if (!parts.intoTable->name1) {
            throw schema::SchemaError("the make-table query names no new table");
        }
        out += " INTO ";
        querysql::AppendName(out, *parts.intoTable->name1, true);
        AppendRemoteDatabase(out, parts.intoTable->name2, parts.intoTable->expression);
    }
    if (querysql::HasFromList(rows)) {
        out += kNewLine;
        out += "FROM ";
        querysql::AppendFromList(out, rows);
        if (const QueryRow* remote = rows.Single(querysql::kRemoteDatabase, "remote database")) {
            AppendRemoteDatabase(out, remote->name1, remote->expression);
        }
    }
    if (const QueryRow* where = rows.Single(querysql::kWhere, "WHERE")) {
        out += kNewLine;
        out += "WHERE ";
        out += Expression(where, "WHERE");
    }
    if (!parts.groupings.empty()) {
        out += kNewLine;
        out += "GROUP BY ";
        AppendList(out, parts.groupings,
                   [&out](const QueryRow* row) { out += Expression(row, "GROUP BY"); });
    }
    if (const QueryRow* having = rows.Single(querysql::kHaving, "HAVING")) {
        out += kNewLine;
        out += "HAVING ";
        out += Expression(having, "HAVING");
    }
}

void AppendOrderBy(std::string& out, const RowSet& rows) {
    const auto orderings = rows.All(querysql::kOrderBy);
    if (orderings.empty()) {
        return;
    }
    out += kNewLine;
    out += "ORDER BY ";
    AppendList(out, {orderings.begin(), orderings.end()}, [&out](const QueryRow* row) {
        out += Expression(row, "ORDER BY");
        if (row->name1 && (*row->name1 == "D" || *row->name1 == "d")) {
            out += " DESC";
        }
    });
}

std::vector<const QueryRow*> AllOf(const RowSet& rows, Attribute attribute) {
    const auto span = rows.All(attribute);
    return {span.begin(), span.end()};
}

void AppendSelectQuery(std::string& out, const RowSet& rows, const QueryRow* typeRow,
                       std::int16_t kind) {
    SelectParts parts;
    parts.columns = AllOf(rows, querysql::kColumn);
    parts.groupings = AllOf(rows, querysql::kGroupBy);
    if (kind == kMakeTable) {
        parts.intoTable = typeRow;
    }
    AppendSelect(out, rows, parts);
    AppendOrderBy(out, rows);
}

void AppendDeleteQuery(std::string& out, const RowSet& rows) {
    out += "DELETE ";
    SelectParts parts;
    parts.selectKeyword = false;
    parts.columns = AllOf(rows, querysql::kColumn);
    parts.groupings = AllOf(rows, querysql::kGroupBy);
    AppendSelect(out, rows, parts);
    AppendOrderBy(out, rows);
}

void AppendAppendQuery(std::string& out, const RowSet& rows, const QueryRow* typeRow) {
    if (typeRow == nullptr || !typeRow->name1) {
        throw schema::SchemaError("the append query names no target table");
    }
    out += "INSERT INTO ";
    querysql::AppendName(out, *typeRow->name1, true);
    const auto columns = rows.All(querysql::kColumn);
    const auto targets =
        Filter(columns, [](const QueryRow* row) { return row->name2.has_value(); });
    if (!targets.empty()) {
        out += " (";
        AppendList(out, targets,
                   [&out](const QueryRow* row) { querysql::AppendName(out, *row->name2, true); });
        out += ')';
    }
    AppendRemoteDatabase(out, typeRow->name2, typeRow->expression);
    out += kNewLine;
    const auto values =
        Filter(columns, [](const QueryRow* row) { return HasFlag(row, kAppendValue); });
    if (!values.empty()) {
        out += "VALUES (";
        AppendList(out, values, [&out](const QueryRow* row) { out += Expression(row, "VALUES"); });
        out += ')';
        return;
    }
    SelectParts parts;
    parts.columns =
        Filter(columns, [](const QueryRow* row) { return !HasFlag(row, kAppendValue); });
    parts.groupings = AllOf(rows, querysql::kGroupBy);
    AppendSelect(out, rows, parts);
    AppendOrderBy(out, rows);
}

void AppendUpdateQuery(std::string& out, const RowSet& rows) {
    out += "UPDATE ";
    querysql::AppendFromList(out, rows);
    if (const QueryRow* remote = rows.Single(querysql::kRemoteDatabase, "remote database")) {
        AppendRemoteDatabase(out, remote->name1, remote->expression);
    }
    out += kNewLine;
    out += "SET ";
    AppendList(out, AllOf(rows, querysql::kColumn), [&out](const QueryRow* row) {
        if (!row->name2) {
            throw schema::SchemaError("a SET row of the update query names no field");
        }
        querysql::AppendName(out, *row->name2, true);
        out += " = ";
        out += Expression(row, "SET");
    });
    if (const QueryRow* where = rows.Single(querysql::kWhere, "WHERE")) {
        out += kNewLine;
        out += "WHERE ";
        out += Expression(where, "WHERE");
    }
}

void AppendCrosstabQuery(std::string& out, const RowSet& rows) {
    const auto columns = rows.All(querysql::kColumn);
    const auto values = Filter(columns, [](const QueryRow* row) {
        return !HasFlag(row, kCrosstabPivot | kCrosstabRowHeading);
    });
    const auto pivots =
        Filter(columns, [](const QueryRow* row) { return HasFlag(row, kCrosstabPivot); });
    if (values.size() > 1) {
        throw schema::SchemaError("the crosstab query has more than one value column");
    }
    if (pivots.size() != 1) {
        throw schema::SchemaError("the crosstab query does not have exactly one PIVOT column");
    }
    if (!values.empty()) {
        out += "TRANSFORM ";
        out += Expression(values.front(), "TRANSFORM");
        AppendAlias(out, values.front()->name1);
        out += kNewLine;
    }
    SelectParts parts;
    parts.columns =
        Filter(columns, [](const QueryRow* row) { return HasFlag(row, kCrosstabRowHeading); });
    parts.groupings = Filter(rows.All(querysql::kGroupBy),
                             [](const QueryRow* row) { return HasFlag(row, kCrosstabRowHeading); });
    AppendSelect(out, rows, parts);
    AppendOrderBy(out, rows);
    out += kNewLine;
    out += "PIVOT ";
    out += Expression(pivots.front(), "PIVOT");
}

// A union half as stored, without surrounding blanks and with each run of line
// breaks made one CR LF.
std::string CleanUnionPart(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') {
        --end;
    }
    std::string cleaned;
    cleaned.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            while (i + 1 < end && (text[i + 1] == '\r' || text[i + 1] == '\n')) {
                ++i;
            }
            cleaned += kNewLine;
        } else {
            cleaned.push_back(text[i]);
        }
    }
    return cleaned;
}

std::string UnionPart(const RowSet& rows, std::string_view marker) {
    for (const QueryRow* row : rows.All(querysql::kTable)) {
        if (row->name2 && *row->name2 == marker) {
            return CleanUnionPart(Expression(row, "union"));
        }
    }
    throw schema::SchemaError("the union query lacks its " +
                              std::string(marker == kUnionFirst ? "first" : "second") + " part");
}

void AppendUnionQuery(std::string& out, const RowSet& rows) {
    out += UnionPart(rows, kUnionFirst);
    out += kNewLine;
    out += "UNION ";
    if (!HasFlag(rows.Single(querysql::kFlags, "flags"), kUnionDistinct)) {
        out += "ALL ";
    }
    out += UnionPart(rows, kUnionSecond);
    AppendOrderBy(out, rows);
}

// The text of a pass-through or data-definition query as stored, without the
// NUL characters that end it.
std::string StoredText(const QueryRow* typeRow) {
    if (typeRow == nullptr || !typeRow->expression) {
        return {};
    }
    std::string_view text = *typeRow->expression;
    while (!text.empty() && text.back() == '\0') {
        text.remove_suffix(1);
    }
    return std::string(text);
}

}  // namespace

QueryDesign BuildQueryDesign(const std::vector<QueryRow>& rows) {
    const RowSet set(rows);
    const QueryRow* typeRow = set.Single(querysql::kType, "query type");
    const std::int16_t kind = (typeRow != nullptr && typeRow->flag) ? *typeRow->flag : kSelect;

    QueryDesign design;
    design.returnsRecords = !(kind == kMakeTable || kind == kAppend || kind == kUpdate ||
                              kind == kDelete || kind == kDataDefinition);
    if (kind == kPassThrough || kind == kDataDefinition) {
        design.sql = StoredText(typeRow);
        return design;
    }
    if (kind < kSelect || kind > kUnion) {
        throw schema::SchemaError("the query has the unknown query type " + std::to_string(kind));
    }

    std::string& out = design.sql;
    out = ParametersClause(set, design.parameters);
    switch (kind) {
        case kUpdate:
            AppendUpdateQuery(out, set);
            break;
        case kDelete:
            AppendDeleteQuery(out, set);
            break;
        case kAppend:
            AppendAppendQuery(out, set, typeRow);
            break;
        case kCrosstab:
            AppendCrosstabQuery(out, set);
            break;
        case kUnion:
            AppendUnionQuery(out, set);
            break;
        default:
            AppendSelectQuery(out, set, typeRow, kind);
            break;
    }
    if (HasFlag(set.Single(querysql::kFlags, "flags"), kOwnerAccess)) {
        out += kNewLine;
        out += "WITH OWNERACCESS OPTION";
    }
    out += ';';
    return design;
}

}  // namespace ostrel::jet
