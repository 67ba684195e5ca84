#pragma once

// Blueprints of a database's design, for the in-memory schema source. Tests,
// benchmarks and the sample reports write them with designated initializers:
//
//   DatabaseBlueprint db{.tables = {{.name = "Customers",
//                                    .fields = {{.name = "ID", .type = data_type::kLong,
//                                                .size = 4}}}}};
//
// Every object may name members in `refused`; reading such a member throws
// SchemaError, as a real engine does for a property it will not give.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "components/schema/field.h"
#include "components/schema/query_def.h"
#include "components/schema/variant.h"
#include "components/schema/vba_module.h"

namespace ostrel::memory {

using schema::Variant;

struct FieldBlueprint {
    std::string name;
    std::int16_t type = schema::data_type::kText;
    std::int32_t size = 0;
    std::uint32_t attributes = 0;
    bool allowZeroLength = false;
    bool dataUpdatable = false;
    bool required = false;
    Variant defaultValue = schema::NullValue{};
    std::int16_t ordinalPosition = 0;
    std::string validationRule;
    std::string validationText;
    std::vector<std::string> refused;
};

struct IndexBlueprint {
    std::string name;
    bool clustered = false;
    bool foreign = false;
    bool ignoreNulls = false;
    bool primary = false;
    bool required = false;
    bool unique = false;
    std::int32_t distinctCount = 0;
    std::string fields;  // DAO text form, e.g. "+ID;-Date"
    std::vector<std::string> refused;
};

struct TableBlueprint {
    std::string name;
    std::uint32_t attributes = 0;
    Variant dateCreated = schema::NullValue{};
    Variant lastUpdated = schema::NullValue{};
    std::int32_t recordCount = 0;
    Variant replicaFilter = schema::NullValue{};
    std::string sourceTableName;
    bool updatable = true;
    std::string validationRule;
    std::string validationText;
    std::vector<FieldBlueprint> fields;
    std::vector<IndexBlueprint> indexes;
    std::vector<std::string> refused;
    // A linked table whose source cannot be read: why (refuse "Fields" and
    // "Indexes" as the reader does).
    std::optional<std::string> linkProblem;
};

struct RelationFieldBlueprint {
    std::string name;
    std::string foreignName;
};

struct RelationBlueprint {
    std::string name;
    std::string table;
    std::string foreignTable;
    std::uint32_t attributes = 0;
    bool partialReplica = false;
    std::vector<RelationFieldBlueprint> fields;
    std::vector<std::string> refused;
};

struct ParameterBlueprint {
    std::string name;
    std::int16_t direction = schema::parameter_direction::kInput;
    std::int16_t type = schema::data_type::kText;
    std::vector<std::string> refused;
};

struct QueryBlueprint {
    std::string name;
    std::string sql;
    std::int16_t type = schema::query_type::kSelect;
    Variant dateCreated = schema::NullValue{};
    Variant lastUpdated = schema::NullValue{};
    std::int32_t maxRecords = 0;
    std::int16_t odbcTimeout = 60;
    bool returnsRecords = true;
    bool updatable = true;
    std::vector<ParameterBlueprint> parameters;
    std::vector<std::string> refused;
};

// A form, report or macro; which of them it is follows from the list that
// holds it. A problem makes the object report it as its Problem.
struct AccessObjectBlueprint {
    std::string name;
    Variant dateCreated = schema::NullValue{};
    Variant lastUpdated = schema::NullValue{};
    bool hasModule = false;
    std::optional<std::string> macroXml;
    std::optional<std::string> problem;
    std::vector<std::string> refused;
};

// A VBA module. LineCount follows from source; a problem makes Source throw
// SchemaError with it and LineCount give 0.
struct ModuleBlueprint {
    std::string name;
    schema::VbaModuleKind kind = schema::VbaModuleKind::Standard;
    std::optional<schema::ModuleOwner> owner;
    Variant dateCreated = schema::NullValue{};
    Variant lastUpdated = schema::NullValue{};
    int codePage = 1252;
    std::string source;
    std::optional<std::string> problem;
    std::vector<std::string> refused;
};

struct DatabaseBlueprint {
    std::int32_t collatingOrder = 1033;
    std::string replicaID;
    std::string version = "4.0";
    bool transactions = true;
    bool updatable = true;
    std::vector<TableBlueprint> tables;
    std::vector<QueryBlueprint> queries;
    std::vector<RelationBlueprint> relations;
    std::vector<AccessObjectBlueprint> forms;
    std::vector<AccessObjectBlueprint> reports;
    std::vector<AccessObjectBlueprint> macros;
    std::vector<ModuleBlueprint> modules;
    std::optional<std::string> projectProblem;
    std::vector<std::string> refused;
};

}  // namespace ostrel::memory
