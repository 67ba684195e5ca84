#include "tools/jetgen/query_description_json.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/json_reading.h"

namespace ostrel::jetgen {
namespace {

int CrosstabRole(const Json& j, const std::string& at) {
    const std::string role = String(j, "crosstab", at, "");
    if (role.empty() || role == "value") {
        return 0;
    }
    if (role == "columnHeading") {
        return 1;
    }
    if (role == "rowHeading") {
        return 2;
    }
    throw GeneratorError(at + ": \"crosstab\" must be value, rowHeading or columnHeading");
}

int ParameterType(const std::string& name, const std::string& at) {
    static const std::pair<const char*, int> kTypes[] = {
        {"Value", 0},    {"Boolean", 1}, {"Byte", 2},   {"Integer", 3},  {"Long", 4},
        {"Currency", 5}, {"Single", 6},  {"Double", 7}, {"DateTime", 8}, {"Binary", 9},
        {"Text", 10},    {"OLE", 11},    {"Memo", 12},  {"GUID", 15},    {"Decimal", 16}};
    for (const auto& [n, code] : kTypes) {
        if (name == n) {
            return code;
        }
    }
    throw GeneratorError(at + ": unknown parameter type \"" + name + "\"");
}

QueryType ParseQueryType(const std::string& type, const std::string& at) {
    static const std::pair<const char*, QueryType> kTypes[] = {
        {"select", QueryType::Select},
        {"makeTable", QueryType::MakeTable},
        {"append", QueryType::Append},
        {"update", QueryType::Update},
        {"delete", QueryType::Delete},
        {"crosstab", QueryType::Crosstab},
        {"dataDefinition", QueryType::DataDefinition},
        {"passThrough", QueryType::PassThrough},
        {"union", QueryType::Union}};
    const auto found = std::find_if(std::begin(kTypes), std::end(kTypes),
                                    [&](const auto& p) { return type == p.first; });
    if (found == std::end(kTypes)) {
        throw GeneratorError(at + ": unknown query type \"" + type + "\"");
    }
    return found->second;
}

// Parameters, source tables, output columns and joins.
void ParseSources(const Json& j, const std::string& at, QueryDescription& q) {
    for (const Json& p : Array(j, "parameters", at)) {
        CheckKeys(p, {"name", "type", "size"}, at);
        QueryParameterDescription ps;
        ps.name = RequiredString(p, "name", at);
        ps.type = ParameterType(String(p, "type", at, "Value"), at);
        ps.size = static_cast<int>(Integer(p, "size", at, 0, 0, 255));
        q.parameters.push_back(ps);
    }
    for (const Json& t : Array(j, "tables", at)) {
        QueryTableDescription ts;
        if (t.is_string()) {
            ts.name = t.get<std::string>();
        } else {
            CheckKeys(t, {"name", "alias"}, at);
            ts.name = RequiredString(t, "name", at);
            ts.alias = String(t, "alias", at);
        }
        q.tables.push_back(ts);
    }
    for (const Json& c : Array(j, "columns", at)) {
        QueryColumnDescription cs;
        if (c.is_string()) {
            cs.expression = c.get<std::string>();
        } else {
            CheckKeys(c, {"expression", "alias", "target", "crosstab"}, at);
            cs.expression = String(c, "expression", at);
            cs.alias = String(c, "alias", at);
            cs.target = String(c, "target", at);
            cs.crosstab = CrosstabRole(c, at);
        }
        q.columns.push_back(cs);
    }
    for (const Json& jn : Array(j, "joins", at)) {
        CheckKeys(jn, {"left", "right", "on", "kind"}, at);
        QueryJoinDescription js;
        js.left = RequiredString(jn, "left", at);
        js.right = RequiredString(jn, "right", at);
        js.expression = RequiredString(jn, "on", at);
        const std::string kind = String(jn, "kind", at, "inner");
        js.kind = kind == "inner" ? 1 : kind == "left" ? 2 : kind == "right" ? 3 : 0;
        if (js.kind == 0) {
            throw GeneratorError(at + ": join \"kind\" must be inner, left or right");
        }
        q.joins.push_back(js);
    }
}

// Grouping and sorting.
void ParseGroupingAndOrder(const Json& j, const std::string& at, QueryDescription& q) {
    for (const Json& g : Array(j, "groupBy", at)) {
        QueryGroupDescription gs;
        if (g.is_string()) {
            gs.expression = g.get<std::string>();
        } else {
            CheckKeys(g, {"expression", "crosstab"}, at);
            gs.expression = RequiredString(g, "expression", at);
            gs.crosstab = CrosstabRole(g, at);
        }
        q.groupBy.push_back(gs);
    }
    for (const Json& o : Array(j, "orderBy", at)) {
        QueryOrderDescription os;
        if (o.is_string()) {
            os.expression = o.get<std::string>();
        } else {
            CheckKeys(o, {"expression", "descending"}, at);
            os.expression = RequiredString(o, "expression", at);
            os.descending = Bool(o, "descending", at);
        }
        q.orderBy.push_back(os);
    }
}

// What each query type cannot do without.
void CheckQuery(const QueryDescription& q, const std::string& at) {
    if ((q.type == QueryType::MakeTable || q.type == QueryType::Append) && q.target.empty()) {
        throw GeneratorError(at + ": make-table and append queries need a \"target\"");
    }
    if ((q.type == QueryType::DataDefinition || q.type == QueryType::PassThrough) &&
        q.sql.empty()) {
        throw GeneratorError(at + ": this query type needs its \"sql\"");
    }
    if (q.type == QueryType::Update || q.type == QueryType::Append) {
        for (const auto& c : q.columns) {
            if (c.target.empty()) {
                throw GeneratorError(
                    at + ": every column of an update or append query needs its \"target\"");
            }
        }
    }
    if (q.type == QueryType::Union && q.unionParts.size() < 2) {
        throw GeneratorError(at + ": a union query needs at least two \"union\" parts");
    }
}

}  // namespace

QueryDescription ParseQuery(const Json& j, double created) {
    CheckKeys(j, {"name",       "type",        "parameters",     "tables",     "columns",
                  "joins",      "where",       "groupBy",        "having",     "orderBy",
                  "distinct",   "distinctRow", "ownerAccess",    "selectStar", "top",
                  "topPercent", "target",      "targetDatabase", "sql",        "connect",
                  "union",      "unionAll",    "hidden",         "created",    "updated"},
              "query");
    QueryDescription q;
    q.name = RequiredString(j, "name", "query");
    const std::string at = "query \"" + q.name + "\"";
    q.type = ParseQueryType(String(j, "type", at, "select"), at);
    ParseSources(j, at, q);
    q.where = OptionalString(j, "where", at);
    ParseGroupingAndOrder(j, at, q);
    q.having = OptionalString(j, "having", at);
    q.distinct = Bool(j, "distinct", at);
    q.distinctRow = Bool(j, "distinctRow", at);
    q.ownerAccess = Bool(j, "ownerAccess", at);
    q.selectStar = Bool(j, "selectStar", at);
    q.top = OptionalString(j, "top", at);
    q.topPercent = Bool(j, "topPercent", at);
    q.target = String(j, "target", at);
    q.targetDatabase = String(j, "targetDatabase", at);
    q.sql = String(j, "sql", at);
    q.connect = String(j, "connect", at);
    q.unionParts = StringList(j, "union", at);
    q.unionAll = Bool(j, "unionAll", at);
    q.hidden = Bool(j, "hidden", at);
    q.created = Date(j, "created", at, created);
    q.updated = Date(j, "updated", at, q.created);
    CheckQuery(q, at);
    return q;
}

}  // namespace ostrel::jetgen
