#include "engine/json_form.h"

#include <array>
#include <cstdio>
#include <type_traits>

#include <nlohmann/json.hpp>

namespace ostrel::engine {
namespace {

using Json = nlohmann::ordered_json;

Json JsonValue(const schema::Variant& value) {
    return std::visit(
        [](const auto& v) -> Json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, schema::EmptyValue> ||
                          std::is_same_v<T, schema::NullValue>) {
                return nullptr;
            } else if constexpr (std::is_same_v<T, schema::DateTime>) {
                return IsoDateTime(v);
            } else {
                return v;  // bool, integer, double, text
            }
        },
        value);
}

Json Properties(const PropertyRows& rows) {
    Json properties = Json::object();
    for (const PropertyRow& row : rows) {
        properties[std::string(row.Label())] = JsonValue(row.value);
    }
    return properties;
}

Json Object(const PropertyRows& rows) {
    Json object = Json::object();
    object["properties"] = Properties(rows);
    return object;
}

Json Header(std::string_view formatName, int version, const JsonHeader& header) {
    Json json = Json::object();
    json["format"] = {{"name", formatName}, {"version", version}};
    json["producedBy"] = header.producedBy;
    json["produced"] = IsoDateTime(header.produced);
    return json;
}

std::string Dump(const Json& json) {
    // Text that is not valid UTF-8 is written with replacement characters
    // rather than failing the whole report.
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

Json ChangedProperties(const std::vector<PropertyChange>& changes) {
    Json properties = Json::object();
    for (const PropertyChange& change : changes) {
        properties[std::string(change.info->rowLabel)] = {{"old", JsonValue(change.oldValue)},
                                                          {"new", JsonValue(change.newValue)}};
    }
    return properties;
}

// {"added": [...], "removed": [...], "changed": {...}} and, when unchanged
// items are listed, "unchanged": [...].
template <class Item, class Describe>
Json ChangeGroups(const std::vector<Item>& items, const ComparisonOptions& options,
                  const Describe& describe) {
    Json groups = Json::object();
    groups["added"] = Json::array();
    groups["removed"] = Json::array();
    groups["changed"] = Json::object();
    if (options.listUnchanged) {
        groups["unchanged"] = Json::array();
    }
    for (const Item& item : items) {
        switch (item.change) {
            case Change::Added:
                groups["added"].push_back(item.name);
                break;
            case Change::Removed:
                groups["removed"].push_back(item.name);
                break;
            case Change::Changed:
                groups["changed"][item.name] = describe(item);
                break;
            case Change::Unchanged:
                groups["unchanged"].push_back(item.name);
                break;
        }
    }
    return groups;
}

Json MemberGroups(const std::vector<MemberComparison>& members, const ComparisonOptions& options) {
    return ChangeGroups(members, options, [](const MemberComparison& member) {
        return Json{{"properties", ChangedProperties(member.properties)}};
    });
}

}  // namespace

std::string IsoDateTime(const schema::DateTime& value) {
    std::array<char, 48> text{};
    std::snprintf(text.data(), text.size(), "%s%04d-%02d-%02dT%02d:%02d:%02d",
                  value.year < 0 ? "-" : "", value.year < 0 ? -value.year : value.year, value.month,
                  value.day, value.hour, value.minute, value.second);
    return text.data();
}

struct JsonReportBuilder::State {
    Json document;
    Json* table = nullptr;
    Json* query = nullptr;
};

JsonReportBuilder::JsonReportBuilder(const JsonHeader& header, const std::string& databasePath)
    : state_(std::make_unique<State>()) {
    Json& document = state_->document;
    document = Header("ostrel2-report", kJsonReportVersion, header);
    document["database"] = {{"path", databasePath}, {"properties", Json::object()}};
    document["tables"] = Json::object();
    document["relationships"] = Json::object();
    document["queries"] = Json::object();
}

JsonReportBuilder::~JsonReportBuilder() = default;

void JsonReportBuilder::DatabaseProperties(const PropertyRows& rows) {
    state_->document["database"]["properties"] = Properties(rows);
}

void JsonReportBuilder::BeginTable(const std::string& name, const PropertyRows& rows) {
    Json table = Object(rows);
    table["fields"] = Json::object();
    table["indexes"] = Json::object();
    Json& tables = state_->document["tables"];
    tables[name] = std::move(table);
    state_->table = &tables[name];
}

void JsonReportBuilder::Field(const std::string& name, const PropertyRows& rows) {
    (*state_->table)["fields"][name] = Object(rows);
}

void JsonReportBuilder::Index(const std::string& name, const PropertyRows& rows) {
    (*state_->table)["indexes"][name] = Object(rows);
}

void JsonReportBuilder::Relationship(const std::string& name, const PropertyRows& rows) {
    state_->document["relationships"][name] = Object(rows);
}

void JsonReportBuilder::BeginQuery(const std::string& name, const PropertyRows& rows) {
    Json query = Object(rows);
    query["parameters"] = Json::object();
    Json& queries = state_->document["queries"];
    queries[name] = std::move(query);
    state_->query = &queries[name];
}

void JsonReportBuilder::Parameter(const std::string& name, const PropertyRows& rows) {
    (*state_->query)["parameters"][name] = Object(rows);
}

std::string JsonReportBuilder::Text() const {
    return Dump(state_->document);
}

std::string ComparisonJsonText(const Comparison& comparison, const JsonHeader& header,
                               const std::string& oldPath, const std::string& newPath,
                               const ComparisonOptions& options) {
    Json document = Header("ostrel2-comparison", kJsonComparisonVersion, header);
    document["old"] = {{"path", oldPath}};
    document["new"] = {{"path", newPath}};
    document["volatileCompared"] = options.volatileProperties;
    document["differences"] = comparison.HasDifferences();
    document["database"] = {{"changed", ChangedProperties(comparison.database)}};
    document["tables"] =
        ChangeGroups(comparison.tables, options, [&options](const ObjectComparison& table) {
            return Json{{"properties", ChangedProperties(table.properties)},
                        {"fields", MemberGroups(table.fields, options)},
                        {"indexes", MemberGroups(table.indexes, options)}};
        });
    document["relationships"] =
        ChangeGroups(comparison.relationships, options, [](const ObjectComparison& relation) {
            return Json{{"properties", ChangedProperties(relation.properties)}};
        });
    document["queries"] =
        ChangeGroups(comparison.queries, options, [&options](const ObjectComparison& query) {
            return Json{{"properties", ChangedProperties(query.properties)},
                        {"parameters", MemberGroups(query.parameters, options)}};
        });
    return Dump(document);
}

}  // namespace ostrel::engine
