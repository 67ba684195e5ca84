#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/jet/catalog.h"
#include "components/jet/jet_database.h"
#include "components/jet/property_maps.h"
#include "components/jet/table_definition.h"
#include "components/schema/database.h"
#include "components/schema/schema_error.h"

namespace ostrel::jet {

// A collection over objects it owns, in the order they were added.
template <class Interface, class Impl>
class OwningCollection final : public schema::Collection<Interface> {
  public:
    int Count() const override { return static_cast<int>(items_.size()); }
    const Interface& Item(int index) const override {
        if (index < 0 || index >= Count()) {
            throw schema::SchemaError("item " + std::to_string(index) +
                                      " is outside the collection of " + std::to_string(Count()));
        }
        return *items_[static_cast<std::size_t>(index)];
    }
    void Add(std::unique_ptr<Impl> item) { items_.push_back(std::move(item)); }
    std::vector<std::unique_ptr<Impl>>& Items() { return items_; }

  private:
    std::vector<std::unique_ptr<Impl>> items_;
};

// Sorts by name without regard to letter case, as DAO lists its collections.
template <class Impl>
void SortByName(std::vector<std::unique_ptr<Impl>>& items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const auto& a, const auto& b) { return NameLess(a->Name(), b->Name()); });
}

class JetField final : public schema::Field {
  public:
    JetField(const ColumnDef& column, int position, std::int16_t type, std::int32_t size,
             const PropertyMap* properties, const PageFile& file);
    std::string Name() const override { return name_; }
    std::string ValidationRule() const override { return validationRule_; }
    std::string ValidationText() const override { return validationText_; }
    std::uint32_t Attributes() const override { return attributes_; }
    bool AllowZeroLength() const override { return allowZeroLength_; }
    bool DataUpdatable() const override { return false; }
    bool Required() const override { return required_; }
    schema::Variant DefaultValue() const override { return defaultValue_; }
    std::int16_t OrdinalPosition() const override { return position_; }
    std::int16_t Type() const override { return type_; }
    std::int32_t Size() const override { return size_; }

  private:
    std::string name_;
    std::string validationRule_;
    std::string validationText_;
    std::uint32_t attributes_ = 0;
    bool allowZeroLength_ = false;
    bool required_ = false;
    std::string defaultValue_;
    std::int16_t position_ = 0;
    std::int16_t type_ = 0;
    std::int32_t size_ = 0;
};

class JetIndex final : public schema::Index {
  public:
    JetIndex(const LogicalIndexDef& index, const TableDefinition& table);
    std::string Name() const override { return name_; }
    bool Clustered() const override { return false; }
    bool Foreign() const override { return indexType_ == 2; }
    bool IgnoreNulls() const override;
    bool Primary() const override { return indexType_ == 1; }
    bool Required() const override;
    bool Unique() const override;
    std::int32_t DistinctCount() const override { return distinctCount_; }
    schema::Variant Fields() const override { return fields_; }

  private:
    std::string name_;
    std::uint8_t indexType_ = 0;
    std::uint8_t flags_ = 0;
    std::int32_t distinctCount_ = 0;
    std::string fields_;
};

class JetTableDef final : public schema::TableDef {
  public:
    JetTableDef(std::shared_ptr<DatabaseState> state, CatalogEntry entry);
    std::string Name() const override { return entry_.name; }
    std::string SourceTableName() const override;
    std::string ValidationRule() const override;
    std::string ValidationText() const override;
    std::uint32_t Attributes() const override;
    schema::Variant DateCreated() const override;
    schema::Variant LastUpdated() const override;
    schema::Variant ReplicaFilter() const override;
    std::int32_t RecordCount() const override;
    // The design of a linked table can only be changed in its source.
    bool Updatable() const override { return !IsLink(); }
    const schema::Collection<schema::Field>& Fields() const override;
    const schema::Collection<schema::Index>& Indexes() const override;
    std::optional<std::string> LinkProblem() const override;

  private:
    bool IsAccessLink() const { return entry_.type == object_type::kAccessLink; }
    bool IsLink() const { return IsAccessLink() || entry_.type == object_type::kOdbcLink; }
    const TableDefinition& Definition() const;
    const PropertyMaps& Properties() const;
    std::string ObjectText(const char* property) const;
    std::optional<PropertyMap> ComplexFieldProperties(const ColumnDef& column,
                                                      const PropertyMap* own) const;
    // The table a linked Access table refers to, in its own database; throws
    // SchemaError saying why it cannot be read.
    const schema::TableDef& LinkedSource() const;
    void OpenLinkedSource() const;

    std::shared_ptr<DatabaseState> state_;
    CatalogEntry entry_;
    mutable std::optional<TableDefinition> definition_;
    mutable std::optional<PropertyMaps> properties_;
    mutable std::unique_ptr<OwningCollection<schema::Field, JetField>> fields_;
    mutable std::unique_ptr<OwningCollection<schema::Index, JetIndex>> indexes_;
    mutable std::unique_ptr<schema::Database> linkedDatabase_;
    mutable const schema::TableDef* linkedTable_ = nullptr;
    mutable std::optional<std::string> linkProblem_;
};

class JetParameter final : public schema::Parameter {
  public:
    JetParameter(std::string name, std::int16_t type) : name_(std::move(name)), type_(type) {}
    std::string Name() const override { return name_; }
    std::int16_t Direction() const override { return schema::parameter_direction::kInput; }
    std::int16_t Type() const override { return type_; }

  private:
    std::string name_;
    std::int16_t type_;
};

class JetQueryDef final : public schema::QueryDef {
  public:
    JetQueryDef(std::shared_ptr<DatabaseState> state, CatalogEntry entry);
    std::string Name() const override { return entry_.name; }
    std::string SQL() const override;
    schema::Variant DateCreated() const override;
    schema::Variant LastUpdated() const override;
    std::int32_t MaxRecords() const override;
    std::int16_t ODBCTimeout() const override;
    std::int16_t Type() const override;
    bool ReturnsRecords() const override;
    bool Updatable() const override { return true; }
    const schema::Collection<schema::Parameter>& Parameters() const override;

  private:
    const QueryDesign& Design() const;
    const PropertyMaps& Properties() const;

    std::shared_ptr<DatabaseState> state_;
    CatalogEntry entry_;
    mutable std::optional<QueryDesign> design_;
    mutable std::optional<PropertyMaps> properties_;
    mutable std::unique_ptr<OwningCollection<schema::Parameter, JetParameter>> parameters_;
};

class JetRelationField final : public schema::RelationField {
  public:
    JetRelationField(std::string name, std::string foreignName)
        : name_(std::move(name)), foreignName_(std::move(foreignName)) {}
    std::string Name() const override { return name_; }
    std::string ForeignName() const override { return foreignName_; }

  private:
    std::string name_;
    std::string foreignName_;
};

class JetRelation final : public schema::Relation {
  public:
    JetRelation(std::string name, std::string table, std::string foreignTable,
                std::uint32_t attributes)
        : name_(std::move(name)),
          table_(std::move(table)),
          foreignTable_(std::move(foreignTable)),
          attributes_(attributes) {}
    std::string Name() const override { return name_; }
    std::string Table() const override { return table_; }
    std::string ForeignTable() const override { return foreignTable_; }
    std::uint32_t Attributes() const override { return attributes_; }
    bool PartialReplica() const override { return false; }
    const schema::Collection<schema::RelationField>& Fields() const override { return fields_; }
    OwningCollection<schema::RelationField, JetRelationField>& MutableFields() { return fields_; }

  private:
    std::string name_;
    std::string table_;
    std::string foreignTable_;
    std::uint32_t attributes_;
    OwningCollection<schema::RelationField, JetRelationField> fields_;
};

// The Jet type of a calculated column's result (its ResultType property);
// nullopt for other columns.
std::optional<std::uint8_t> CalculatedResultType(const ColumnDef& column,
                                                 const PropertyMap* properties);
// DAO's type code and size for a stored column; a calculated column is typed
// by its result.
std::int16_t DaoFieldType(const ColumnDef& column, std::optional<std::uint8_t> resultType,
                          DatabaseState& state);
std::int32_t DaoFieldSize(const ColumnDef& column, std::optional<std::uint8_t> resultType,
                          const JetFormat& format);
std::uint32_t DaoFieldAttributes(const ColumnDef& column);

// Reads MSysRelationships into relations sorted by name.
void ReadRelations(DatabaseState& state,
                   OwningCollection<schema::Relation, JetRelation>& relations);

}  // namespace ostrel::jet
