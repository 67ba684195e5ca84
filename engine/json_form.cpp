#include "engine/json_form.h"

#include <algorithm>
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
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
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

namespace {

// Printable ASCII without a quote or a backslash is already its own JSON
// string once quoted; anything else goes through the library's serialiser.
// Most names and values are such text, and the large reports need the speed.
void AppendString(std::string& out, std::string_view text) {
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
    });
    if (plain) {
        out.push_back('"');
        out.append(text);
        out.push_back('"');
    } else {
        out += Dump(Json(std::string(text)));
    }
}

}  // namespace

void JsonStream::Separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasMembers_.empty()) {
        if (hasMembers_.back()) {
            out_.push_back(',');
        }
        hasMembers_.back() = true;
    }
}

void JsonStream::BeginObject() {
    Separate();
    out_.push_back('{');
    hasMembers_.push_back(false);
}

void JsonStream::EndObject() {
    out_.push_back('}');
    hasMembers_.pop_back();
    if (hasMembers_.empty()) {
        out_.push_back('\n');
    }
}

void JsonStream::Key(std::string_view key) {
    Separate();
    AppendString(out_, key);
    out_.push_back(':');
    afterKey_ = true;
}

void JsonStream::Value(const schema::Variant& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        Text(*text);
    } else if (const auto* flag = std::get_if<bool>(&value)) {
        Value(*flag);
    } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
        Value(*number);
    } else {
        Separate();
        out_ += Dump(JsonValue(value));
    }
}

void JsonStream::Text(std::string_view text) {
    Separate();
    AppendString(out_, text);
}

void JsonStream::Value(bool value) {
    Separate();
    out_ += value ? "true" : "false";
}

void JsonStream::Value(std::int64_t value) {
    Separate();
    out_ += std::to_string(value);
}

void JsonStream::Header(std::string_view formatName, int version, const JsonHeader& header) {
    Key("format");
    BeginObject();
    Key("name");
    Text(formatName);
    Key("version");
    Value(static_cast<std::int64_t>(version));
    EndObject();
    Key("producedBy");
    Text(header.producedBy);
    Key("produced");
    Text(IsoDateTime(header.produced));
}

void JsonStream::Properties(const PropertyRows& rows) {
    BeginObject();
    for (const PropertyRow& row : rows) {
        Key(row.Label());
        Value(row.value);
    }
    EndObject();
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
    for (const ObjectKind kind :
         {ObjectKind::Form, ObjectKind::Report, ObjectKind::Macro, ObjectKind::Module}) {
        if (comparison.Objects(kind).empty()) {
            continue;  // left out, as in the report
        }
        document[std::string(WordsOf(kind).jsonKey)] =
            ChangeGroups(comparison.Objects(kind), options, [](const ObjectComparison& object) {
                Json changed{{"properties", ChangedProperties(object.properties)}};
                if (!object.textDiff.empty()) {
                    changed["diff"] = object.textDiff;
                }
                return changed;
            });
    }
    return Dump(document) + "\n";
}

}  // namespace ostrel::engine
