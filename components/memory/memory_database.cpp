#include "components/memory/memory_database.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "components/schema/schema_error.h"

namespace ostrel::memory {
namespace {

using schema::Collection;
using schema::SchemaError;

void CheckMember(const std::vector<std::string>& refused, const std::string& owner,
                 const char* member) {
    if (std::find(refused.begin(), refused.end(), member) != refused.end()) {
        throw SchemaError("property '" + std::string(member) + "' of '" + owner +
                          "' is not available");
    }
}

template <class Interface, class Impl>
class VectorCollection : public Collection<Interface> {
  public:
    int Count() const override { return static_cast<int>(items_.size()); }
    const Interface& Item(int index) const override {
        if (index < 0 || index >= Count()) {
            throw SchemaError("item " + std::to_string(index) + " is outside the collection");
        }
        return items_[static_cast<std::size_t>(index)];
    }
    template <class Description, class... Extra>
    void Fill(const std::vector<Description>& descriptions, const Extra&... extra) {
        items_.reserve(descriptions.size());
        for (const Description& blueprint : descriptions) {
            items_.emplace_back(blueprint, extra...);
        }
    }

  private:
    std::vector<Impl> items_;
};

#define OSTREL_MEMBER(Type, Name, expr)              \
    Type Name() const override {                     \
        CheckMember(s_.refused, OwnerName(), #Name); \
        return expr;                                 \
    }

class MemoryField final : public schema::Field {
  public:
    explicit MemoryField(FieldBlueprint s) : s_(std::move(s)) {}
    OSTREL_MEMBER(std::string, Name, s_.name)
    OSTREL_MEMBER(std::string, ValidationRule, s_.validationRule)
    OSTREL_MEMBER(std::string, ValidationText, s_.validationText)
    OSTREL_MEMBER(std::uint32_t, Attributes, s_.attributes)
    OSTREL_MEMBER(bool, AllowZeroLength, s_.allowZeroLength)
    OSTREL_MEMBER(bool, DataUpdatable, s_.dataUpdatable)
    OSTREL_MEMBER(bool, Required, s_.required)
    OSTREL_MEMBER(Variant, DefaultValue, s_.defaultValue)
    OSTREL_MEMBER(std::int16_t, OrdinalPosition, s_.ordinalPosition)
    OSTREL_MEMBER(std::int16_t, Type, s_.type)
    OSTREL_MEMBER(std::int32_t, Size, s_.size)

  private:
    std::string OwnerName() const { return s_.name; }
    FieldBlueprint s_;
};

class MemoryIndex final : public schema::Index {
  public:
    explicit MemoryIndex(IndexBlueprint s) : s_(std::move(s)) {}
    OSTREL_MEMBER(std::string, Name, s_.name)
    OSTREL_MEMBER(bool, Clustered, s_.clustered)
    OSTREL_MEMBER(bool, Foreign, s_.foreign)
    OSTREL_MEMBER(bool, IgnoreNulls, s_.ignoreNulls)
    OSTREL_MEMBER(bool, Primary, s_.primary)
    OSTREL_MEMBER(bool, Required, s_.required)
    OSTREL_MEMBER(bool, Unique, s_.unique)
    OSTREL_MEMBER(std::int32_t, DistinctCount, s_.distinctCount)
    OSTREL_MEMBER(Variant, Fields, Variant(s_.fields))

  private:
    std::string OwnerName() const { return s_.name; }
    IndexBlueprint s_;
};

class MemoryTableDef final : public schema::TableDef {
  public:
    explicit MemoryTableDef(TableBlueprint s) : s_(std::move(s)) {
        fields_.Fill(s_.fields);
        indexes_.Fill(s_.indexes);
    }
    OSTREL_MEMBER(std::string, Name, s_.name)
    OSTREL_MEMBER(std::string, SourceTableName, s_.sourceTableName)
    OSTREL_MEMBER(std::string, ValidationRule, s_.validationRule)
    OSTREL_MEMBER(std::string, ValidationText, s_.validationText)
    OSTREL_MEMBER(std::uint32_t, Attributes, s_.attributes)
    OSTREL_MEMBER(Variant, DateCreated, s_.dateCreated)
    OSTREL_MEMBER(Variant, LastUpdated, s_.lastUpdated)
    OSTREL_MEMBER(Variant, ReplicaFilter, s_.replicaFilter)
    OSTREL_MEMBER(std::int32_t, RecordCount, s_.recordCount)
    OSTREL_MEMBER(bool, Updatable, s_.updatable)
    OSTREL_MEMBER(const Collection<schema::Field>&, Fields, fields_)
    OSTREL_MEMBER(const Collection<schema::Index>&, Indexes, indexes_)
    std::optional<std::string> LinkProblem() const override { return s_.linkProblem; }

  private:
    std::string OwnerName() const { return s_.name; }
    TableBlueprint s_;
    VectorCollection<schema::Field, MemoryField> fields_;
    VectorCollection<schema::Index, MemoryIndex> indexes_;
};

class MemoryRelationField final : public schema::RelationField {
  public:
    explicit MemoryRelationField(RelationFieldBlueprint s) : s_(std::move(s)) {}
    std::string Name() const override { return s_.name; }
    std::string ForeignName() const override { return s_.foreignName; }

  private:
    RelationFieldBlueprint s_;
};

class MemoryRelation final : public schema::Relation {
  public:
    explicit MemoryRelation(RelationBlueprint s) : s_(std::move(s)) { fields_.Fill(s_.fields); }
    OSTREL_MEMBER(std::string, Name, s_.name)
    OSTREL_MEMBER(std::string, Table, s_.table)
    OSTREL_MEMBER(std::string, ForeignTable, s_.foreignTable)
    OSTREL_MEMBER(std::uint32_t, Attributes, s_.attributes)
    OSTREL_MEMBER(bool, PartialReplica, s_.partialReplica)
    OSTREL_MEMBER(const Collection<schema::RelationField>&, Fields, fields_)

  private:
    std::string OwnerName() const { return s_.name; }
    RelationBlueprint s_;
    VectorCollection<schema::RelationField, MemoryRelationField> fields_;
};

class MemoryParameter final : public schema::Parameter {
  public:
    explicit MemoryParameter(ParameterBlueprint s) : s_(std::move(s)) {}
    OSTREL_MEMBER(std::string, Name, s_.name)
    OSTREL_MEMBER(std::int16_t, Direction, s_.direction)
    OSTREL_MEMBER(std::int16_t, Type, s_.type)

  private:
    std::string OwnerName() const { return s_.name; }
    ParameterBlueprint s_;
};

class MemoryQueryDef final : public schema::QueryDef {
  public:
    explicit MemoryQueryDef(QueryBlueprint s) : s_(std::move(s)) {
        parameters_.Fill(s_.parameters);
    }
    OSTREL_MEMBER(std::string, Name, s_.name)
    OSTREL_MEMBER(std::string, SQL, s_.sql)
    OSTREL_MEMBER(Variant, DateCreated, s_.dateCreated)
    OSTREL_MEMBER(Variant, LastUpdated, s_.lastUpdated)
    OSTREL_MEMBER(std::int32_t, MaxRecords, s_.maxRecords)
    OSTREL_MEMBER(std::int16_t, ODBCTimeout, s_.odbcTimeout)
    OSTREL_MEMBER(std::int16_t, Type, s_.type)
    OSTREL_MEMBER(bool, ReturnsRecords, s_.returnsRecords)
    OSTREL_MEMBER(bool, Updatable, s_.updatable)
    OSTREL_MEMBER(const Collection<schema::Parameter>&, Parameters, parameters_)

  private:
    std::string OwnerName() const { return s_.name; }
    QueryBlueprint s_;
    VectorCollection<schema::Parameter, MemoryParameter> parameters_;
};

class MemoryAccessObject final : public schema::AccessObject {
  public:
    MemoryAccessObject(AccessObjectBlueprint s, schema::AccessObjectKind kind)
        : s_(std::move(s)), kind_(kind) {}
    OSTREL_MEMBER(std::string, Name, s_.name)
    OSTREL_MEMBER(schema::AccessObjectKind, Kind, kind_)
    OSTREL_MEMBER(Variant, DateCreated, s_.dateCreated)
    OSTREL_MEMBER(Variant, LastUpdated, s_.lastUpdated)
    OSTREL_MEMBER(bool, HasModule, s_.hasModule)
    OSTREL_MEMBER(std::optional<std::string>, MacroXml, s_.macroXml)
    OSTREL_MEMBER(std::optional<std::string>, Problem, s_.problem)

  private:
    std::string OwnerName() const { return s_.name; }
    AccessObjectBlueprint s_;
    schema::AccessObjectKind kind_;
};

class MemoryModule final : public schema::VbaModule {
  public:
    explicit MemoryModule(ModuleBlueprint s) : s_(std::move(s)) {}
    OSTREL_MEMBER(std::string, Name, s_.name)
    OSTREL_MEMBER(schema::VbaModuleKind, Kind, s_.kind)
    OSTREL_MEMBER(std::optional<schema::ModuleOwner>, Owner, s_.owner)
    OSTREL_MEMBER(Variant, DateCreated, s_.dateCreated)
    OSTREL_MEMBER(Variant, LastUpdated, s_.lastUpdated)
    OSTREL_MEMBER(int, CodePage, s_.codePage)
    OSTREL_MEMBER(std::string, Source, Readable())
    OSTREL_MEMBER(int, LineCount, s_.problem ? 0 : schema::VisibleLineCount(s_.source))
    OSTREL_MEMBER(std::optional<std::string>, Problem, s_.problem)

  private:
    std::string OwnerName() const { return s_.name; }
    const std::string& Readable() const {
        if (s_.problem) {
            throw SchemaError(*s_.problem);
        }
        return s_.source;
    }
    ModuleBlueprint s_;
};

class MemoryDatabase final : public schema::Database {
  public:
    explicit MemoryDatabase(DatabaseBlueprint blueprint) : s_(std::move(blueprint)) {
        tables_.Fill(s_.tables);
        queries_.Fill(s_.queries);
        relations_.Fill(s_.relations);
        forms_.Fill(s_.forms, schema::AccessObjectKind::Form);
        reports_.Fill(s_.reports, schema::AccessObjectKind::Report);
        macros_.Fill(s_.macros, schema::AccessObjectKind::Macro);
        modules_.Fill(s_.modules);
    }
    OSTREL_MEMBER(std::int32_t, CollatingOrder, s_.collatingOrder)
    OSTREL_MEMBER(std::string, ReplicaID, s_.replicaID)
    OSTREL_MEMBER(std::string, Version, s_.version)
    OSTREL_MEMBER(bool, Transactions, s_.transactions)
    OSTREL_MEMBER(bool, Updatable, s_.updatable)
    OSTREL_MEMBER(const Collection<schema::TableDef>&, TableDefs, tables_)
    OSTREL_MEMBER(const Collection<schema::QueryDef>&, QueryDefs, queries_)
    OSTREL_MEMBER(const Collection<schema::Relation>&, Relations, relations_)
    OSTREL_MEMBER(const Collection<schema::AccessObject>&, Forms, forms_)
    OSTREL_MEMBER(const Collection<schema::AccessObject>&, Reports, reports_)
    OSTREL_MEMBER(const Collection<schema::AccessObject>&, Macros, macros_)
    OSTREL_MEMBER(const Collection<schema::VbaModule>&, Modules, modules_)
    OSTREL_MEMBER(std::optional<std::string>, ProjectProblem, s_.projectProblem)
    void Close() override {}

  private:
    static std::string OwnerName() { return "the database"; }
    DatabaseBlueprint s_;
    VectorCollection<schema::TableDef, MemoryTableDef> tables_;
    VectorCollection<schema::QueryDef, MemoryQueryDef> queries_;
    VectorCollection<schema::Relation, MemoryRelation> relations_;
    VectorCollection<schema::AccessObject, MemoryAccessObject> forms_;
    VectorCollection<schema::AccessObject, MemoryAccessObject> reports_;
    VectorCollection<schema::AccessObject, MemoryAccessObject> macros_;
    VectorCollection<schema::VbaModule, MemoryModule> modules_;
};

#undef OSTREL_MEMBER

}  // namespace

std::unique_ptr<schema::Database> OpenMemoryDatabase(DatabaseBlueprint blueprint) {
    return std::make_unique<MemoryDatabase>(std::move(blueprint));
}

void MemoryEngine::Register(const std::string& path, DatabaseBlueprint blueprint) {
    databases_[path] = std::move(blueprint);
}

std::unique_ptr<schema::Database> MemoryEngine::OpenDatabase(const std::string& path) {
    const auto found = databases_.find(path);
    if (found == databases_.end()) {
        throw schema::SchemaError("'" + path + "' is not an Access database");
    }
    ++openCount_;
    return OpenMemoryDatabase(found->second);
}

}  // namespace ostrel::memory
