#include "engine/property_rows.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <tuple>
#include <type_traits>

#include "engine/replace_char.h"
#include "engine/value_text.h"
#include "engine/vocabularies.h"

namespace ostrel::engine {
namespace {

// One switched property of a kind of object: its switch and how its value is
// read. The order of a kind's list is the order of the report's rows.
template <class T>
struct PropertyDef {
    std::string_view key;
    schema::Variant (*read)(const T&);
    TextForm form = TextForm::Plain;
    // Changes whenever the file is used, copied or compacted.
    bool changesWithUse = false;
};

template <std::uint32_t kMask, class T>
schema::Variant HasAttribute(const T& object) {
    return (object.Attributes() & kMask) == kMask;
}

schema::Variant Whole(std::int64_t value) {
    return value;
}

namespace table_bit = schema::table_attribute;
namespace field_bit = schema::field_attribute;
namespace relation_bit = schema::relation_attribute;
using schema::AccessObject;
using schema::Database;
using schema::Field;
using schema::Index;
using schema::Parameter;
using schema::QueryDef;
using schema::Relation;
using schema::TableDef;
using schema::Variant;
using schema::VbaModule;

constexpr std::array<PropertyDef<Database>, 5> kDatabaseProperties{{
    {"Database CollatingOrder", [](const Database& d) { return Whole(d.CollatingOrder()); }},
    {"Database ReplicaID", [](const Database& d) -> Variant { return d.ReplicaID(); }},
    {"Database Transactions", [](const Database& d) -> Variant { return d.Transactions(); }},
    {"Database Updatable", [](const Database& d) -> Variant { return d.Updatable(); }},
    {"Database Version", [](const Database& d) -> Variant { return d.Version(); }},
}};

constexpr std::array<PropertyDef<TableDef>, 14> kTableProperties{{
    {"Table AttachExclusive", HasAttribute<table_bit::kAttachExclusive, TableDef>},
    {"Table AttachedODBC", HasAttribute<table_bit::kAttachedOdbc, TableDef>},
    {"Table AttachSavePWD", HasAttribute<table_bit::kAttachSavePwd, TableDef>},
    {"Table AttachedTable", HasAttribute<table_bit::kAttachedTable, TableDef>},
    {"Table DateCreated", [](const TableDef& t) { return t.DateCreated(); }, TextForm::Plain, true},
    {"Table HiddenObject", HasAttribute<table_bit::kHidden, TableDef>},
    {"Table LastUpdated", [](const TableDef& t) { return t.LastUpdated(); }, TextForm::Plain, true},
    {"Table RecordCount", [](const TableDef& t) { return Whole(t.RecordCount()); }, TextForm::Plain,
     true},
    {"Table ReplicaFilter", [](const TableDef& t) { return t.ReplicaFilter(); }},
    {"Table SourceTableName", [](const TableDef& t) -> Variant { return t.SourceTableName(); }},
    {"Table SystemObject", HasAttribute<table_bit::kSystemObject, TableDef>},
    {"Table Updatable", [](const TableDef& t) -> Variant { return t.Updatable(); }},
    {"Table ValidationRule", [](const TableDef& t) -> Variant { return t.ValidationRule(); }},
    {"Table ValidationText", [](const TableDef& t) -> Variant { return t.ValidationText(); }},
}};

constexpr std::array<PropertyDef<Field>, 15> kFieldProperties{{
    {"Field AllowZeroLength", [](const Field& f) -> Variant { return f.AllowZeroLength(); }},
    {"Field AutoIncrement", HasAttribute<field_bit::kAutoIncrement, Field>},
    {"Field DataUpdatable", [](const Field& f) -> Variant { return f.DataUpdatable(); }},
    {"Field DefaultValue", [](const Field& f) { return f.DefaultValue(); }},
    {"Field FixedField", HasAttribute<field_bit::kFixed, Field>},
    {"Field HyperlinkField", HasAttribute<field_bit::kHyperlink, Field>},
    {"Field OrdinalPosition", [](const Field& f) { return Whole(f.OrdinalPosition()); }},
    {"Field Required", [](const Field& f) -> Variant { return f.Required(); }},
    {"Field Size", [](const Field& f) { return Whole(f.Size()); }},
    {"Field SystemField", HasAttribute<field_bit::kSystem, Field>},
    {"Field Type", [](const Field& f) -> Variant { return FieldTypeName(f.Type()); }},
    {"Field UpdatableField", HasAttribute<field_bit::kUpdatable, Field>},
    {"Field ValidationRule", [](const Field& f) -> Variant { return f.ValidationRule(); }},
    {"Field ValidationText", [](const Field& f) -> Variant { return f.ValidationText(); }},
    {"Field VariableField", HasAttribute<field_bit::kVariable, Field>},
}};

constexpr std::array<PropertyDef<Index>, 8> kIndexProperties{{
    {"Index Clustered", [](const Index& i) -> Variant { return i.Clustered(); }},
    {"Index DistinctCount", [](const Index& i) { return Whole(i.DistinctCount()); },
     TextForm::Plain, true},
    {"Index Fields", [](const Index& i) { return i.Fields(); }, TextForm::List},
    {"Index Foreign", [](const Index& i) -> Variant { return i.Foreign(); }},
    {"Index IgnoreNulls", [](const Index& i) -> Variant { return i.IgnoreNulls(); }},
    {"Index Primary", [](const Index& i) -> Variant { return i.Primary(); }},
    {"Index Required", [](const Index& i) -> Variant { return i.Required(); }},
    {"Index Unique", [](const Index& i) -> Variant { return i.Unique(); }},
}};

// Each field's name followed by a carriage return, so that the cell lists one
// field per line.
Variant RelationFieldList(const Relation& relation) {
    std::string list;
    const int count = relation.Fields().Count();
    for (int i = 0; i < count; ++i) {
        list += relation.Fields().Item(i).Name();
        list += '\r';
    }
    return list;
}

constexpr std::array<PropertyDef<Relation>, 9> kRelationProperties{{
    {"Relationship Fields", RelationFieldList},
    {"Relationship ForeignTable", [](const Relation& r) -> Variant { return r.ForeignTable(); }},
    {"Relationship PartialReplica",
     [](const Relation& r) -> Variant { return r.PartialReplica(); }},
    {"Relationship RelationDeleteCascade", HasAttribute<relation_bit::kDeleteCascade, Relation>},
    {"Relationship RelationDontEnforce", HasAttribute<relation_bit::kDontEnforce, Relation>},
    {"Relationship RelationInherited", HasAttribute<relation_bit::kInherited, Relation>},
    {"Relationship RelationUnique", HasAttribute<relation_bit::kUnique, Relation>},
    {"Relationship RelationUpdateCascade", HasAttribute<relation_bit::kUpdateCascade, Relation>},
    {"Relationship Table", [](const Relation& r) -> Variant { return r.Table(); }},
}};

constexpr std::array<PropertyDef<QueryDef>, 8> kQueryProperties{{
    {"Query DateCreated", [](const QueryDef& q) { return q.DateCreated(); }, TextForm::Plain, true},
    {"Query LastUpdated", [](const QueryDef& q) { return q.LastUpdated(); }, TextForm::Plain, true},
    {"Query MaxRecords", [](const QueryDef& q) { return Whole(q.MaxRecords()); }},
    {"Query ODBCTimeout", [](const QueryDef& q) { return Whole(q.ODBCTimeout()); }},
    {"Query ReturnsRecords", [](const QueryDef& q) -> Variant { return q.ReturnsRecords(); }},
    {"Query SQL", [](const QueryDef& q) -> Variant { return q.SQL(); }, TextForm::Sql},
    {"Query Type", [](const QueryDef& q) -> Variant { return QueryTypeName(q.Type()); }},
    {"Query Updatable", [](const QueryDef& q) -> Variant { return q.Updatable(); }},
}};

constexpr std::array<PropertyDef<Parameter>, 2> kParameterProperties{{
    {"QueryParameter Direction",
     [](const Parameter& p) -> Variant { return ParameterDirectionName(p.Direction()); }},
    {"QueryParameter Type", [](const Parameter& p) -> Variant { return FieldTypeName(p.Type()); }},
}};

Variant DateCreatedOf(const AccessObject& o) {
    return o.DateCreated();
}
Variant LastUpdatedOf(const AccessObject& o) {
    return o.LastUpdated();
}
Variant HasModuleOf(const AccessObject& o) {
    return o.HasModule();
}

constexpr std::array<PropertyDef<AccessObject>, 3> kFormProperties{{
    {"Form DateCreated", DateCreatedOf, TextForm::Plain, true},
    {"Form HasModule", HasModuleOf},
    {"Form LastUpdated", LastUpdatedOf, TextForm::Plain, true},
}};

constexpr std::array<PropertyDef<AccessObject>, 3> kReportProperties{{
    {"Report DateCreated", DateCreatedOf, TextForm::Plain, true},
    {"Report HasModule", HasModuleOf},
    {"Report LastUpdated", LastUpdatedOf, TextForm::Plain, true},
}};

constexpr std::array<PropertyDef<AccessObject>, 2> kMacroProperties{{
    {"Macro DateCreated", DateCreatedOf, TextForm::Plain, true},
    {"Macro LastUpdated", LastUpdatedOf, TextForm::Plain, true},
}};

constexpr std::array<PropertyDef<VbaModule>, 4> kModuleProperties{{
    {"Module DateCreated", [](const VbaModule& m) { return m.DateCreated(); }, TextForm::Plain,
     true},
    {"Module LastUpdated", [](const VbaModule& m) { return m.LastUpdated(); }, TextForm::Plain,
     true},
    {"Module LineCount", [](const VbaModule& m) { return Whole(m.LineCount()); }},
    {"Module Type", [](const VbaModule& m) -> Variant { return ModuleTypeName(m.Kind()); }},
}};

// The switch table's entries for a list, looked up once per list.
template <const auto& kDefs>
const auto& SwitchesOf() {
    constexpr std::size_t kCount = std::tuple_size_v<std::remove_cvref_t<decltype(kDefs)>>;
    static const std::array<const SwitchInfo*, kCount> resolved = [] {
        const auto& defs = kDefs;
        std::array<const SwitchInfo*, kCount> infos{};
        for (std::size_t i = 0; i < kCount; ++i) {
            infos[i] = FindSwitch(defs[i].key);
            if (infos[i] == nullptr) {
                throw std::logic_error("no report switch " + std::string(defs[i].key));
            }
        }
        return infos;
    }();
    return resolved;
}

template <const auto& kDefs, class T>
PropertyRows RowsOf(const T& object, const ReportSwitches& switches) {
    const auto& defs = kDefs;
    const auto& infos = SwitchesOf<kDefs>();
    PropertyRows rows;
    rows.reserve(defs.size());
    for (std::size_t i = 0; i < defs.size(); ++i) {
        if (switches.GetReportSwitch(defs[i].key)) {
            rows.push_back({infos[i], defs[i].read(object), defs[i].form, defs[i].changesWithUse});
        }
    }
    return rows;
}

}  // namespace

PropertyRows DatabaseRows(const Database& database, const ReportSwitches& switches) {
    return RowsOf<kDatabaseProperties>(database, switches);
}
PropertyRows TableRows(const TableDef& table, const ReportSwitches& switches) {
    return RowsOf<kTableProperties>(table, switches);
}
PropertyRows FieldRows(const Field& field, const ReportSwitches& switches) {
    return RowsOf<kFieldProperties>(field, switches);
}
PropertyRows IndexRows(const Index& index, const ReportSwitches& switches) {
    return RowsOf<kIndexProperties>(index, switches);
}
PropertyRows RelationRows(const Relation& relation, const ReportSwitches& switches) {
    return RowsOf<kRelationProperties>(relation, switches);
}
PropertyRows QueryRows(const QueryDef& query, const ReportSwitches& switches) {
    return RowsOf<kQueryProperties>(query, switches);
}
PropertyRows ParameterRows(const Parameter& parameter, const ReportSwitches& switches) {
    return RowsOf<kParameterProperties>(parameter, switches);
}
PropertyRows AccessObjectRows(const AccessObject& object, const ReportSwitches& switches) {
    switch (object.Kind()) {
        case schema::AccessObjectKind::Form:
            return RowsOf<kFormProperties>(object, switches);
        case schema::AccessObjectKind::Report:
            return RowsOf<kReportProperties>(object, switches);
        case schema::AccessObjectKind::Macro:
            break;
    }
    return RowsOf<kMacroProperties>(object, switches);
}
PropertyRows ModuleRows(const VbaModule& module, const ReportSwitches& switches) {
    return RowsOf<kModuleProperties>(module, switches);
}

bool HasPropertyRow(std::string_view key) {
    const auto in = [key](const auto& defs) {
        return std::any_of(defs.begin(), defs.end(), [key](const auto& def) {
            return FindSwitch(def.key) == FindSwitch(key);
        });
    };
    return FindSwitch(key) != nullptr &&
           (in(kDatabaseProperties) || in(kTableProperties) || in(kFieldProperties) ||
            in(kIndexProperties) || in(kRelationProperties) || in(kQueryProperties) ||
            in(kParameterProperties) || in(kFormProperties) || in(kReportProperties) ||
            in(kMacroProperties) || in(kModuleProperties));
}

std::string_view RowTextView(const PropertyRow& row, const ValueFormatter& formatter,
                             std::string_view rowSeparator, std::string& scratch) {
    if (row.form == TextForm::Plain) {
        if (const auto* text = std::get_if<std::string>(&row.value)) {
            return *text;
        }
        if (const auto* yes = std::get_if<bool>(&row.value)) {
            return BoolWord(*yes);
        }
    }
    scratch = RowText(row, formatter, rowSeparator);
    return scratch;
}

std::string CleanSql(std::string_view sql, std::string_view rowSeparator) {
    return ReplaceChar(ReplaceChar(ReplaceChar(sql, "\r", " "), "\n", " "), rowSeparator, "");
}

std::string RowText(const PropertyRow& row, const ValueFormatter& formatter,
                    std::string_view rowSeparator) {
    switch (row.form) {
        case TextForm::Sql:
            return CleanSql(VariantText(row.value, formatter), rowSeparator);
        case TextForm::List:
            return ReplaceChar(VariantText(row.value, formatter), rowSeparator, "\r");
        case TextForm::Plain:
            break;
    }
    return VariantText(row.value, formatter);
}

}  // namespace ostrel::engine
