#include "tools/jetgen/description_json.h"

#include <algorithm>
#include <initializer_list>
#include <nlohmann/json.hpp>

#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/json_reading.h"
#include "tools/jetgen/query_description_json.h"
#include "tools/jetgen/text_codec.h"

namespace ostrel::jetgen {

namespace {

ColumnType ParseType(const std::string& name, bool& hyperlink, const std::string& where) {
    static const std::pair<const char*, ColumnType> kTypes[] = {
        {"Boolean", ColumnType::Boolean},   {"Byte", ColumnType::Byte},
        {"Integer", ColumnType::Integer},   {"Long", ColumnType::Long},
        {"Currency", ColumnType::Currency}, {"Single", ColumnType::Single},
        {"Double", ColumnType::Double},     {"DateTime", ColumnType::DateTime},
        {"Binary", ColumnType::Binary},     {"Text", ColumnType::Text},
        {"OLE", ColumnType::Ole},           {"Memo", ColumnType::Memo},
        {"GUID", ColumnType::Guid},         {"Decimal", ColumnType::Decimal}};
    if (name == "Hyperlink") {
        hyperlink = true;
        return ColumnType::Memo;
    }
    for (const auto& [n, t] : kTypes) {
        if (name == n) {
            return t;
        }
    }
    throw GeneratorError(where + ": unknown type \"" + name + "\"");
}

std::string Hex(const std::string& text, const std::string& where) {
    if (text.size() % 2 != 0) {
        throw GeneratorError(where + ": hex data needs an even number of digits");
    }
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const std::string pair = text.substr(i, 2);
        if (!std::all_of(pair.begin(), pair.end(),
                         [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) {
            throw GeneratorError(where + ": bad hex digit");
        }
        out.push_back(static_cast<char>(std::stoi(pair, nullptr, 16)));
    }
    return out;
}

Cell ParseCell(const Json& v, const ColumnDescription& c, const std::string& where) {
    if (v.is_null()) {
        return Cell::Null();
    }
    const std::string at = where + ", column \"" + c.name + "\"";
    auto numberText = [&]() -> std::string {
        if (v.is_string()) {
            return v.get<std::string>();
        }
        if (v.is_number()) {
            return v.dump();
        }
        throw GeneratorError(at + ": expected a number");
    };
    switch (c.type) {
        case ColumnType::Boolean:
            if (!v.is_boolean()) {
                throw GeneratorError(at + ": expected true or false");
            }
            return Cell::Bool(v.get<bool>());
        case ColumnType::Byte:
        case ColumnType::Integer:
        case ColumnType::Long:
            if (!v.is_number_integer()) {
                throw GeneratorError(at + ": expected a whole number");
            }
            return Cell::Int(v.get<std::int64_t>());
        case ColumnType::Currency:
            return Cell::Int(ParseCurrency(numberText()));
        case ColumnType::Single:
        case ColumnType::Double:
            if (!v.is_number()) {
                throw GeneratorError(at + ": expected a number");
            }
            return Cell::Real(v.get<double>());
        case ColumnType::DateTime:
            if (v.is_number()) {
                return Cell::Real(v.get<double>());
            }
            if (!v.is_string()) {
                throw GeneratorError(at + ": expected a date");
            }
            return Cell::Real(ParseOleDate(v.get<std::string>()));
        case ColumnType::Decimal:
            return Cell::Text(numberText());
        case ColumnType::Guid: {
            if (!v.is_string()) {
                throw GeneratorError(at + ": expected a GUID");
            }
            const auto g = ParseGuid(v.get<std::string>());
            return Cell::Blob(std::string(g.begin(), g.end()));
        }
        case ColumnType::Binary:
        case ColumnType::Ole: {
            if (!v.is_string()) {
                throw GeneratorError(at + ": expected text or 0x-prefixed hex");
            }
            const std::string s = v.get<std::string>();
            if (s.rfind("0x", 0) == 0) {
                return Cell::Blob(Hex(s.substr(2), at));
            }
            return Cell::Blob(s);
        }
        case ColumnType::Text:
        case ColumnType::Memo:
            if (v.is_string()) {
                return Cell::Text(v.get<std::string>());
            }
            if (v.is_number()) {
                return Cell::Text(v.dump());
            }
            throw GeneratorError(at + ": expected text");
        default:
            throw GeneratorError(at + ": this type holds no row data");
    }
}

ColumnDescription ParseColumn(const Json& j, const std::string& where) {
    CheckKeys(
        j,
        {"name", "type", "size", "precision", "scale", "autoNumber", "required", "allowZeroLength",
         "defaultValue", "validationRule", "validationText", "description"},
        where);
    ColumnDescription c;
    c.name = RequiredString(j, "name", where);
    const std::string at = where + ", column \"" + c.name + "\"";
    c.type = ParseType(RequiredString(j, "type", at), c.hyperlink, at);
    c.size = static_cast<int>(Integer(j, "size", at, 0, 1, 510));
    c.precision = static_cast<int>(Integer(j, "precision", at, 18, 1, 28));
    c.scale = static_cast<int>(Integer(j, "scale", at, 0, 0, 28));
    c.autoNumber = Bool(j, "autoNumber", at);
    c.required = OptionalBool(j, "required", at);
    c.allowZeroLength = OptionalBool(j, "allowZeroLength", at);
    c.defaultValue = OptionalString(j, "defaultValue", at);
    c.validationRule = OptionalString(j, "validationRule", at);
    c.validationText = OptionalString(j, "validationText", at);
    c.description = OptionalString(j, "description", at);
    return c;
}

IndexDescription ParseIndex(const Json& j, const std::string& where) {
    CheckKeys(j, {"name", "columns", "primary", "unique", "ignoreNulls", "required"}, where);
    IndexDescription idx;
    idx.name = RequiredString(j, "name", where);
    const std::string at = where + ", index \"" + idx.name + "\"";
    for (const Json& c : Array(j, "columns", at)) {
        IndexColumnDescription col;
        if (c.is_string()) {
            col.name = c.get<std::string>();
        } else {
            CheckKeys(c, {"name", "descending"}, at);
            col.name = RequiredString(c, "name", at);
            col.descending = Bool(c, "descending", at);
        }
        idx.columns.push_back(col);
    }
    idx.primary = Bool(j, "primary", at);
    idx.unique = Bool(j, "unique", at);
    idx.ignoreNulls = Bool(j, "ignoreNulls", at);
    idx.required = Bool(j, "required", at);
    return idx;
}

TableDescription ParseTable(const Json& j, double created) {
    CheckKeys(j,
              {"name", "columns", "indexes", "rows", "generate", "hidden", "system", "created",
               "updated", "validationRule", "validationText", "description"},
              "table");
    TableDescription t;
    t.name = RequiredString(j, "name", "table");
    const std::string at = "table \"" + t.name + "\"";
    for (const Json& c : Array(j, "columns", at)) {
        t.columns.push_back(ParseColumn(c, at));
    }
    for (const Json& i : Array(j, "indexes", at)) {
        t.indexes.push_back(ParseIndex(i, at));
    }
    std::size_t rowNumber = 0;
    for (const Json& r : Array(j, "rows", at)) {
        const std::string rowAt = at + ", row " + std::to_string(++rowNumber);
        Row row(t.columns.size());
        if (r.is_array()) {
            if (r.size() != t.columns.size()) {
                throw GeneratorError(rowAt + ": has " + std::to_string(r.size()) + " values for " +
                                     std::to_string(t.columns.size()) + " columns");
            }
            for (std::size_t i = 0; i < t.columns.size(); ++i) {
                row[i] = ParseCell(r[i], t.columns[i], rowAt);
            }
        } else if (r.is_object()) {
            for (const auto& item : r.items()) {
                const auto it =
                    std::find_if(t.columns.begin(), t.columns.end(),
                                 [&](const ColumnDescription& c) { return c.name == item.key(); });
                if (it == t.columns.end()) {
                    throw GeneratorError(rowAt + ": no column \"" + item.key() + "\"");
                }
                row[static_cast<std::size_t>(it - t.columns.begin())] =
                    ParseCell(item.value(), *it, rowAt);
            }
        } else {
            throw GeneratorError(rowAt + ": expected a list or an object");
        }
        t.rows.push_back(std::move(row));
    }
    if (j.contains("generate")) {
        const Json& g = j["generate"];
        CheckKeys(g, {"count", "seed"}, at + ", generate");
        t.generated.count = Integer(g, "count", at, 0, 0, 0xFFFFFFFFLL);
        t.generated.seed = static_cast<std::uint32_t>(Integer(g, "seed", at, 1, 0, 0xFFFFFFFFLL));
    }
    t.hidden = Bool(j, "hidden", at);
    t.system = Bool(j, "system", at);
    t.created = Date(j, "created", at, created);
    t.updated = Date(j, "updated", at, t.created);
    t.validationRule = OptionalString(j, "validationRule", at);
    t.validationText = OptionalString(j, "validationText", at);
    t.description = OptionalString(j, "description", at);
    return t;
}

std::uint32_t ParseRelationAttributes(const Json& j, const std::string& at) {
    if (j.contains("attributes")) {
        return static_cast<std::uint32_t>(Integer(j, "attributes", at, 0, 0, 0xFFFFFFFFLL));
    }
    std::uint32_t a = 0;
    a |= Bool(j, "enforce", at, true) ? 0 : kRelationDontEnforce;
    a |= Bool(j, "oneToOne", at) ? kRelationUnique : 0;
    a |= Bool(j, "cascadeUpdates", at) ? kRelationUpdateCascade : 0;
    a |= Bool(j, "cascadeDeletes", at) ? kRelationDeleteCascade : 0;
    const std::string join = String(j, "join", at, "inner");
    if (join == "left") {
        a |= kRelationLeft;
    } else if (join == "right") {
        a |= kRelationRight;
    } else if (join != "inner") {
        throw GeneratorError(at + ": \"join\" must be inner, left or right");
    }
    return a;
}

// Forms, reports, macros and modules, and the VBA project's code page.
void ParseApplication(const Json& root, DatabaseDescription& db) {
    db.vbaCodePage = static_cast<int>(Integer(root, "vbaCodePage", "database", 1252, 1, 65535));
    for (const auto& [key, list] :
         {std::pair{"forms", &db.forms}, std::pair{"reports", &db.reports}}) {
        for (const Json& j : Array(root, key, "database")) {
            CheckKeys(j, {"name", "module", "created", "updated"}, key);
            DocumentDescription d;
            d.name = RequiredString(j, "name", key);
            const std::string at = std::string(key) + " \"" + d.name + "\"";
            d.module = OptionalString(j, "module", at);
            d.created = Date(j, "created", at, db.created);
            d.updated = Date(j, "updated", at, d.created);
            list->push_back(std::move(d));
        }
    }
    for (const Json& j : Array(root, "macros", "database")) {
        CheckKeys(j, {"name", "xml", "created", "updated"}, "macro");
        MacroDescription m;
        m.name = RequiredString(j, "name", "macro");
        const std::string at = "macro \"" + m.name + "\"";
        m.xml = OptionalString(j, "xml", at);
        m.created = Date(j, "created", at, db.created);
        m.updated = Date(j, "updated", at, m.created);
        db.macros.push_back(std::move(m));
    }
    for (const Json& j : Array(root, "modules", "database")) {
        CheckKeys(j, {"name", "type", "source", "created", "updated"}, "module");
        ModuleDescription m;
        m.name = RequiredString(j, "name", "module");
        const std::string at = "module \"" + m.name + "\"";
        const std::string type = String(j, "type", at, "standard");
        if (type != "standard" && type != "class") {
            throw GeneratorError(at + ": \"type\" must be \"standard\" or \"class\"");
        }
        m.type = type == "class" ? ModuleType::Class : ModuleType::Standard;
        m.source = String(j, "source", at);
        m.created = Date(j, "created", at, db.created);
        m.updated = Date(j, "updated", at, m.created);
        db.modules.push_back(std::move(m));
    }
}

}  // namespace

DatabaseDescription ParseDescription(std::string_view text) {
    Json root;
    try {
        root = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        throw GeneratorError(std::string("description is not valid JSON: ") + e.what());
    }
    CheckKeys(root,
              {"created", "sortOrder", "codePage", "encodingKey", "accessVersion", "summary",
               "tables", "linkedTables", "relationships", "queries", "forms", "reports", "macros",
               "modules", "vbaCodePage"},
              "database");
    DatabaseDescription db;
    db.created = Date(root, "created", "database", ParseOleDate("2000-01-01T00:00:00"));
    db.sortOrder = static_cast<int>(Integer(root, "sortOrder", "database", 1033, 0, 65535));
    db.codePage = static_cast<int>(Integer(root, "codePage", "database", 1252, 0, 65535));
    db.encodingKey =
        static_cast<std::uint32_t>(Integer(root, "encodingKey", "database", 0, 0, 0xFFFFFFFF));
    db.accessVersion = String(root, "accessVersion", "database", "08.50");
    if (root.contains("summary")) {
        const Json& s = root["summary"];
        CheckKeys(s, {"title", "author", "company"}, "summary");
        db.title = OptionalString(s, "title", "summary");
        db.author = OptionalString(s, "author", "summary");
        db.company = OptionalString(s, "company", "summary");
    }
    for (const Json& t : Array(root, "tables", "database")) {
        db.tables.push_back(ParseTable(t, db.created));
    }
    for (const Json& l : Array(root, "linkedTables", "database")) {
        CheckKeys(l, {"name", "database", "foreignName", "connect", "created", "updated"},
                  "linked table");
        LinkedTableDescription ls;
        ls.name = RequiredString(l, "name", "linked table");
        const std::string at = "linked table \"" + ls.name + "\"";
        ls.database = RequiredString(l, "database", at);
        ls.foreignName = String(l, "foreignName", at, ls.name);
        ls.connect = OptionalString(l, "connect", at);
        ls.created = Date(l, "created", at, db.created);
        ls.updated = Date(l, "updated", at, ls.created);
        db.linkedTables.push_back(ls);
    }
    for (const Json& r : Array(root, "relationships", "database")) {
        CheckKeys(r,
                  {"name", "table", "columns", "foreignTable", "foreignColumns", "enforce",
                   "oneToOne", "cascadeUpdates", "cascadeDeletes", "join", "attributes", "created"},
                  "relationship");
        RelationshipDescription rs;
        rs.name = RequiredString(r, "name", "relationship");
        const std::string at = "relationship \"" + rs.name + "\"";
        rs.table = RequiredString(r, "table", at);
        rs.foreignTable = RequiredString(r, "foreignTable", at);
        rs.columns = StringList(r, "columns", at);
        rs.foreignColumns = StringList(r, "foreignColumns", at);
        if (rs.foreignColumns.empty()) {
            rs.foreignColumns = rs.columns;
        }
        rs.attributes = ParseRelationAttributes(r, at);
        rs.created = Date(r, "created", at, db.created);
        db.relationships.push_back(rs);
    }
    for (const Json& q : Array(root, "queries", "database")) {
        db.queries.push_back(ParseQuery(q, db.created));
    }
    ParseApplication(root, db);
    return db;
}

}  // namespace ostrel::jetgen
