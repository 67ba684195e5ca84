#include "components/jet/jet_objects.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "components/jet/jet_engine.h"
#include "components/jet/linked_source.h"
#include "components/jet/row_reader.h"

namespace ostrel::jet {
namespace {

using schema::data_type::kAttachment;

schema::Variant DateOf(const std::optional<double>& oleDate) {
    if (!oleDate) {
        return schema::NullValue{};
    }
    return schema::DateTime::FromOleDate(*oleDate);
}

std::string Text(const PageFile& file, const PropertyMap* map, const char* name) {
    if (map == nullptr) {
        return {};
    }
    return PropertyText(file, map->Find(name)).value_or("");
}

bool Flag(const PropertyMap* map, const char* name) {
    if (map == nullptr) {
        return false;
    }
    return PropertyBool(map->Find(name)).value_or(false);
}

}  // namespace

// ---- fields ---------------------------------------------------------------

namespace {

// Bytes a calculated column stores before its value.
constexpr int kCalculatedValueHeader = 23;

// DAO's type code for a Jet column type byte of a column that is not complex.
std::int16_t DaoTypeOfJetType(std::uint8_t jetType) {
    switch (jetType) {
        case column_type::kNumeric:
            return schema::data_type::kDecimal;
        case column_type::kGuid:
            return schema::data_type::kGuid;
        case column_type::kBigInt:
            return schema::data_type::kBigInt;
        case column_type::kExtendedDateTime:
            return schema::data_type::kDateTimeExtended;
        default:
            return jetType;
    }
}

// The size DAO gives a value of a fixed-size Jet type; 0 for others.
std::int32_t FixedSizeOf(std::uint8_t jetType) {
    switch (jetType) {
        case column_type::kBoolean:
        case column_type::kByte:
            return 1;
        case column_type::kInteger:
            return 2;
        case column_type::kLong:
        case column_type::kSingle:
            return 4;
        case column_type::kCurrency:
        case column_type::kDouble:
        case column_type::kDateTime:
        case column_type::kBigInt:
            return 8;
        case column_type::kGuid:
        case column_type::kNumeric:
            return 16;
        default:
            return 0;
    }
}

}  // namespace

std::optional<std::uint8_t> CalculatedResultType(const ColumnDef& column,
                                                 const PropertyMap* properties) {
    if (!column.IsCalculated() || properties == nullptr) {
        return std::nullopt;
    }
    const auto result = PropertyInt(properties->Find("ResultType"));
    if (!result || *result <= 0 || *result > 0xFF) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*result);
}

std::int16_t DaoFieldType(const ColumnDef& column, std::optional<std::uint8_t> resultType,
                          DatabaseState& state) {
    if (column.type == column_type::kComplex) {
        return state.ComplexFieldType(column.complexId);
    }
    return DaoTypeOfJetType(resultType.value_or(column.type));
}

std::int32_t DaoFieldSize(const ColumnDef& column, std::optional<std::uint8_t> resultType,
                          const JetFormat& format) {
    if (resultType) {
        // A calculated column's length covers its stored form, a header
        // before the value.
        switch (*resultType) {
            case column_type::kText:
                return std::max(0, column.length - kCalculatedValueHeader) / format.textUnitSize;
            case column_type::kBinary:
                return std::max(0, column.length - kCalculatedValueHeader);
            default:
                return FixedSizeOf(*resultType);
        }
    }
    switch (column.type) {
        case column_type::kText:
            return column.length / format.textUnitSize;
        case column_type::kMemo:
        case column_type::kOle:
            return 0;
        case column_type::kBoolean:
            return 1;
        case column_type::kNumeric:
            return 16;
        default:
            return column.length;
    }
}

std::uint32_t DaoFieldAttributes(const ColumnDef& column) {
    namespace fa = schema::field_attribute;
    std::uint32_t attributes = column.IsFixed() ? fa::kFixed : fa::kVariable;
    if ((column.flags & column_flag::kAutoNumber) != 0 && column.type == column_type::kLong) {
        attributes |= fa::kAutoIncrement;
    }
    if ((column.flags & column_flag::kUpdatable) != 0) {
        attributes |= fa::kUpdatable;
    }
    if ((column.flags & column_flag::kReplication) != 0) {
        attributes |= fa::kSystem;
    }
    if ((column.flags & column_flag::kHyperlink) != 0) {
        attributes |= fa::kHyperlink;
    }
    return attributes;
}

JetField::JetField(const ColumnDef& column, int position, std::int16_t type, std::int32_t size,
                   const PropertyMap* properties, const PageFile& file)
    : name_(column.name),
      validationRule_(Text(file, properties, "ValidationRule")),
      validationText_(Text(file, properties, "ValidationText")),
      attributes_(DaoFieldAttributes(column)),
      allowZeroLength_(Flag(properties, "AllowZeroLength")),
      required_(Flag(properties, "Required")),
      defaultValue_(Text(file, properties, "DefaultValue")),
      position_(static_cast<std::int16_t>(position)),
      type_(type),
      size_(size) {}

// ---- indexes --------------------------------------------------------------

JetIndex::JetIndex(const LogicalIndexDef& index, const TableDefinition& table)
    : name_(index.name), indexType_(index.indexType) {
    const RealIndexDef& real = table.realIndexes.at(index.realIndex);
    flags_ = real.flags;
    distinctCount_ = static_cast<std::int32_t>(real.uniqueEntryCount);
    for (const IndexColumnDef& c : real.columns) {
        const ColumnDef* column = table.FindNumber(c.columnNumber);
        if (!fields_.empty()) {
            fields_ += ';';
        }
        fields_ += c.ascending ? '+' : '-';
        fields_ += column != nullptr ? column->name : "#" + std::to_string(c.columnNumber);
    }
}

bool JetIndex::IgnoreNulls() const {
    return (flags_ & index_flag::kIgnoreNulls) != 0;
}
bool JetIndex::Required() const {
    return (flags_ & index_flag::kRequired) != 0;
}
bool JetIndex::Unique() const {
    return (flags_ & index_flag::kUnique) != 0;
}

// ---- tables ---------------------------------------------------------------

JetTableDef::JetTableDef(std::shared_ptr<DatabaseState> state, CatalogEntry entry)
    : state_(std::move(state)), entry_(std::move(entry)) {}

const TableDefinition& JetTableDef::Definition() const {
    if (!definition_) {
        const PageFile& file = state_->File();
        definition_ = ReadTableDefinition(file, DefinitionPage(entry_.id), entry_.name);
    }
    return *definition_;
}

const PropertyMaps& JetTableDef::Properties() const {
    if (!properties_) {
        properties_ = PropertyMaps::ReadStored(state_->File(), entry_.storedProperties,
                                               "properties of table '" + entry_.name + "'");
    }
    return *properties_;
}

std::string JetTableDef::ObjectText(const char* property) const {
    return Text(state_->File(), Properties().Object(), property);
}

std::string JetTableDef::SourceTableName() const {
    if (entry_.type == object_type::kTable) {
        return {};
    }
    return entry_.foreignName.value_or("");
}

std::string JetTableDef::ValidationRule() const {
    return ObjectText("ValidationRule");
}
std::string JetTableDef::ValidationText() const {
    return ObjectText("ValidationText");
}

std::uint32_t JetTableDef::Attributes() const {
    std::uint32_t attributes = entry_.flags;
    if (entry_.type == object_type::kAccessLink) {
        attributes |= schema::table_attribute::kAttachedTable;
    } else if (entry_.type == object_type::kOdbcLink) {
        attributes |= schema::table_attribute::kAttachedOdbc;
    }
    return attributes;
}

schema::Variant JetTableDef::DateCreated() const {
    return DateOf(entry_.dateCreate);
}
schema::Variant JetTableDef::LastUpdated() const {
    return DateOf(entry_.dateUpdate);
}

schema::Variant JetTableDef::ReplicaFilter() const {
    const PropertyMap* map = Properties().Object();
    const auto text =
        map != nullptr ? PropertyText(state_->File(), map->Find("ReplicaFilter")) : std::nullopt;
    if (!text) {
        return schema::NullValue{};
    }
    return *text;
}

std::int32_t JetTableDef::RecordCount() const {
    if (entry_.type != object_type::kTable) {
        return -1;
    }
    return static_cast<std::int32_t>(Definition().rowCount);
}

const schema::Collection<schema::Field>& JetTableDef::Fields() const {
    if (IsAccessLink()) {
        return LinkedSource().Fields();
    }
    if (!fields_) {
        const TableDefinition& def = Definition();
        const PageFile& file = state_->File();
        const PropertyMaps& properties = Properties();
        auto fields = std::make_unique<OwningCollection<schema::Field, JetField>>();
        int position = 0;
        for (const ColumnDef& column : def.columns) {
            const PropertyMap* own = properties.Column(column.name);
            std::optional<PropertyMap> merged;
            const auto resultType = CalculatedResultType(column, own);
            const std::int16_t type = DaoFieldType(column, resultType, *state_);
            if (type >= schema::data_type::kComplexByte &&
                type <= schema::data_type::kComplexText) {
                merged = ComplexFieldProperties(column, own);
            }
            fields->Add(std::make_unique<JetField>(column, position++, type,
                                                   DaoFieldSize(column, resultType, file.Format()),
                                                   merged ? &*merged : own, file));
        }
        fields_ = std::move(fields);
    }
    return *fields_;
}

// The source's own links are not followed: a source table that is itself a
// link is reported, not opened.
void JetTableDef::OpenLinkedSource() const {
    const PageFile& file = state_->File();
    const std::string stored = entry_.database.value_or("");
    const auto found = file.FromPath()
                           ? FindLinkedDatabase(stored, file.Label(), state_->LinkFolders())
                           : std::nullopt;
    if (!found) {
        linkProblem_ = "its source database '" + stored + "' cannot be found";
        return;
    }
    const std::string where = "its source database '" + found->string() + "'";
    std::unique_ptr<schema::Database> source;
    try {
        JetEngine engine;
        engine.SetPasswordProvider(state_->Passwords());
        source = engine.OpenDatabase(found->string());
    } catch (const schema::SchemaError& e) {
        linkProblem_ = where + " cannot be read: " + e.what();
        return;
    }
    const std::string sourceName = entry_.foreignName.value_or(entry_.name);
    const auto& tables = source->TableDefs();
    for (int i = 0; i < tables.Count(); ++i) {
        const schema::TableDef& t = tables.Item(i);
        if (!SameName(t.Name(), sourceName)) {
            continue;
        }
        if ((t.Attributes() & schema::table_attribute::kAttachedTable) != 0) {
            std::string problem = where;
            problem += " links its table '" + sourceName + "' from elsewhere";
            linkProblem_ = std::move(problem);
            return;
        }
        linkedTable_ = &t;
        linkedDatabase_ = std::move(source);
        return;
    }
    linkProblem_ = where + " holds no table '" + sourceName + "'";
}

std::optional<std::string> JetTableDef::LinkProblem() const {
    if (!IsAccessLink()) {
        return std::nullopt;
    }
    if (linkedTable_ == nullptr && !linkProblem_) {
        OpenLinkedSource();
    }
    return linkProblem_;
}

const schema::TableDef& JetTableDef::LinkedSource() const {
    if (const auto problem = LinkProblem()) {
        throw schema::SchemaError(state_->File().Label() + ": linked table '" + entry_.name +
                                  "': " + *problem);
    }
    return *linkedTable_;
}

// A multi-valued field shows the properties of the column that holds its
// values (in a hidden table), with its own on top.
std::optional<PropertyMap> JetTableDef::ComplexFieldProperties(const ColumnDef& column,
                                                               const PropertyMap* own) const {
    const CatalogEntry* values = state_->ComplexValueTable(column.complexId);
    if (values == nullptr || !values->storedProperties) {
        return std::nullopt;
    }
    const PropertyMaps valueMaps = PropertyMaps::ReadStored(
        state_->File(), values->storedProperties, "properties of table '" + values->name + "'");
    const PropertyMap* valueColumn = valueMaps.Column("Value");
    if (valueColumn == nullptr) {
        return std::nullopt;
    }
    PropertyMap merged = *valueColumn;
    if (own != nullptr) {
        merged.Overlay(*own);
    }
    return merged;
}

const schema::Collection<schema::Index>& JetTableDef::Indexes() const {
    if (IsAccessLink()) {
        return LinkedSource().Indexes();
    }
    if (!indexes_) {
        const TableDefinition& def = Definition();
        auto indexes = std::make_unique<OwningCollection<schema::Index, JetIndex>>();
        for (const LogicalIndexDef& index : def.indexes) {
            indexes->Add(std::make_unique<JetIndex>(index, def));
        }
        SortByName(indexes->Items());
        indexes_ = std::move(indexes);
    }
    return *indexes_;
}

// ---- queries --------------------------------------------------------------

JetQueryDef::JetQueryDef(std::shared_ptr<DatabaseState> state, CatalogEntry entry)
    : state_(std::move(state)), entry_(std::move(entry)) {}

const QueryDesign& JetQueryDef::Design() const {
    if (!design_) {
        design_ = BuildQueryDesign(state_->QueryRows(entry_.id));
    }
    return *design_;
}

const PropertyMaps& JetQueryDef::Properties() const {
    if (!properties_) {
        properties_ = PropertyMaps::ReadStored(state_->File(), entry_.storedProperties,
                                               "properties of query '" + entry_.name + "'");
    }
    return *properties_;
}

std::string JetQueryDef::SQL() const {
    return Design().sql;
}
schema::Variant JetQueryDef::DateCreated() const {
    return DateOf(entry_.dateCreate);
}
schema::Variant JetQueryDef::LastUpdated() const {
    return DateOf(entry_.dateUpdate);
}

std::int16_t JetQueryDef::Type() const {
    return static_cast<std::int16_t>(entry_.flags & 0xF0U);
}

std::int32_t JetQueryDef::MaxRecords() const {
    if (Design().maxRecords) {
        return *Design().maxRecords;
    }
    const PropertyMap* map = Properties().Object();
    const auto value = map != nullptr ? PropertyInt(map->Find("MaxRecords")) : std::nullopt;
    return static_cast<std::int32_t>(value.value_or(0));
}

std::int16_t JetQueryDef::ODBCTimeout() const {
    if (Design().odbcTimeout) {
        return *Design().odbcTimeout;
    }
    const PropertyMap* map = Properties().Object();
    const auto value = map != nullptr ? PropertyInt(map->Find("ODBCTimeout")) : std::nullopt;
    return static_cast<std::int16_t>(value.value_or(60));
}

bool JetQueryDef::ReturnsRecords() const {
    return Design().returnsRecords;
}

const schema::Collection<schema::Parameter>& JetQueryDef::Parameters() const {
    if (!parameters_) {
        auto parameters = std::make_unique<OwningCollection<schema::Parameter, JetParameter>>();
        for (const QueryParameterInfo& p : Design().parameters) {
            parameters->Add(std::make_unique<JetParameter>(p.name, p.type));
        }
        parameters_ = std::move(parameters);
    }
    return *parameters_;
}

// ---- relations ------------------------------------------------------------

void ReadRelations(DatabaseState& state,
                   OwningCollection<schema::Relation, JetRelation>& relations) {
    struct Column {
        std::int64_t number;
        std::string name;
        std::string foreignName;
    };
    struct Pending {
        std::string table;
        std::string foreignTable;
        std::uint32_t attributes = 0;
        std::vector<Column> columns;
    };
    std::map<std::string, Pending> byName;
    std::vector<std::string> order;
    const bool present = ForEachSystemRow(
        state.File(), state.GetCatalog(), "MSysRelationships", "relationships (MSysRelationships)",
        [&](const RowView& row) {
            const std::string name = row.Text("szRelationship").value_or("");
            auto [it, inserted] = byName.try_emplace(name);
            if (inserted) {
                order.push_back(name);
                it->second.table = row.Text("szReferencedObject").value_or("");
                it->second.foreignTable = row.Text("szObject").value_or("");
                it->second.attributes = static_cast<std::uint32_t>(row.Int("grbit").value_or(0));
            }
            it->second.columns.push_back({row.Int("icolumn").value_or(0),
                                          row.Text("szReferencedColumn").value_or(""),
                                          row.Text("szColumn").value_or("")});
        });
    if (!present) {
        return;
    }
    for (const std::string& name : order) {
        Pending& p = byName[name];
        std::stable_sort(p.columns.begin(), p.columns.end(),
                         [](const Column& a, const Column& b) { return a.number < b.number; });
        auto relation = std::make_unique<JetRelation>(name, p.table, p.foreignTable, p.attributes);
        for (Column& c : p.columns) {
            relation->MutableFields().Add(
                std::make_unique<JetRelationField>(std::move(c.name), std::move(c.foreignName)));
        }
        relations.Add(std::move(relation));
    }
    SortByName(relations.Items());
}

}  // namespace ostrel::jet
