#include "engine/switch_table.h"

#include <algorithm>
#include <cctype>

namespace ostrel::engine {
namespace {

using enum SwitchPage;

constexpr std::array<SwitchInfo, kSwitchCount> kSwitches{{
    {"Database CollatingOrder", "Database CollatingOrder", Database, "chkDatabaseCollatingOrder",
     "CollatingOrder", "CollatingOrder", 1, 1, 315, 315},
    {"Database ReplicaID", "Database ReplicaID", Database, "chkDatabaseReplicaID", "ReplicaID",
     "ReplicaID", 1, 2, 315, 630},
    {"Database Transactions", "Database Transactions", Database, "chkDatabaseTransactions",
     "Transactions", "Transactions", 1, 3, 315, 945},
    {"Database Updatable", "Database Updatable", Database, "chkDatabaseUpdatable", "Updatable",
     "Updatable", 1, 4, 315, 1260},
    {"Database Version", "Database Version", Database, "chkDatabaseVersion", "Version", "Version",
     1, 5, 315, 1575},
    {"Table AttachedODBC", "Table AttachedODBC", Tables, "chkTableAttachedODBC", "AttachedODBC",
     "AttachedODBC", 1, 1, 315, 315},
    {"Table AttachedTable", "Table AttachedTable", Tables, "chkTableAttachedTable", "AttachedTable",
     "AttachedTable", 1, 2, 315, 630},
    {"Table AttachExclusive", "Table Attachexclusive", Tables, "chkTableAttachExclusive",
     "AttachExclusive", "AttachExclusive", 1, 3, 315, 945},
    {"Table AttachSavePWD", "Table AttachSavePWD", Tables, "chkTableAttachSavePWD", "AttachSavePWD",
     "AttachSavePWD", 1, 4, 315, 1260},
    {"Table DateCreated", "Table DateCreated", Tables, "chkTableCreated", "DateCreated",
     "DateCreated", 1, 5, 315, 1575},
    {"Table HiddenObject", "Table HiddenObject", Tables, "chkTableHiddenObject", "HiddenObject",
     "HiddenObject", 1, 6, 315, 1890},
    {"Table LastUpdated", "Table LastUpdated", Tables, "chkTableUpdated", "LastUpdated",
     "LastUpdated", 1, 7, 315, 2205},
    {"Table RecordCount", "Table RecordCount", Tables, "chkTableRecordCount", "RecordCount",
     "RecordCount", 2, 1, 2415, 315},
    {"Table ReplicaFilter", "Table Replicafilter", Tables, "chkTableReplicaFilter", "ReplicaFilter",
     "ReplicaFilter", 2, 2, 2415, 630},
    {"Table SourceTableName", "Table SourceTableName", Tables, "chkTableSourceTableName",
     "SourceTableName", "SourceTableName", 2, 3, 2415, 945},
    {"Table SystemObject", "Table SystemObject", Tables, "chkTableSystemObject", "SystemObject",
     "SystemObject", 2, 4, 2415, 1260},
    {"Table Updatable", "Table Updatable", Tables, "chkTableUpdatable", "Updatable", "Updatable", 2,
     5, 2415, 1575},
    {"Table ValidationRule", "Table ValidationRule", Tables, "chkTableValidationRule",
     "ValidationRule", "ValidationRule", 2, 6, 2415, 1890},
    {"Table ValidationText", "Table ValidationText", Tables, "chkTableValidationText",
     "ValidationText", "ValidationText", 2, 7, 2415, 2205},
    {"Field AllowZeroLength", "Field AllowZeroLength", Fields, "chkFieldAllowZeroLength",
     "AllowZeroLength", "AllowZeroLength", 1, 1, 315, 315},
    {"Field AutoIncrement", "Field AutoIncrement", Fields, "chkFieldAutoIncrement", "AutoIncrement",
     "AutoIncrField", 1, 2, 315, 630},
    {"Field DataUpdatable", "Field DataUpdatable", Fields, "chkFieldDataUpdatable", "DataUpdatable",
     "DataUpdatable", 1, 3, 315, 945},
    {"Field DefaultValue", "Field DefaultValue", Fields, "chkFieldDefaultValue", "DefaultValue",
     "DefaultValue", 1, 4, 315, 1260},
    {"Field FixedField", "Field FixedField", Fields, "chkFieldFixed", "FixedField", "FixedField", 1,
     5, 315, 1575},
    {"Field HyperlinkField", "Field HyperlinkField", Fields, "chkHyperLinkField", "HyperLinkField",
     "HyperlinkField", 1, 6, 315, 1890},
    {"Field OrdinalPosition", "Field OrdinalPosition", Fields, "chkFieldOrdinalPosition",
     "OrdinalPosition", "OrdinalPosition", 1, 7, 315, 2205},
    {"Field Required", "Field Required", Fields, "chkFieldRequired", "Required", "Required", 2, 1,
     2415, 315},
    {"Field Size", "Field Size", Fields, "chkFieldSize", "Size", "Size", 2, 2, 2415, 630},
    {"Field SystemField", "Field SystemField", Fields, "chkFieldSystem", "SystemField",
     "SystemField", 2, 3, 2415, 945},
    {"Field Type", "Field Type", Fields, "chkFieldType", "Type", "Type", 2, 4, 2415, 1260},
    {"Field UpdatableField", "Field UpdatableField", Fields, "chkFieldUpdatable", "UpdatableField",
     "UpdatableField", 2, 5, 2415, 1575},
    {"Field VariableField", "Field VariableField", Fields, "chkFieldVariable", "VariableField",
     "VariableField", 2, 6, 2415, 1890},
    {"Field ValidationRule", "Field ValidationRule", Fields, "chkFieldValidationRule",
     "ValidationRule", "ValidationRule", 2, 7, 2415, 2205},
    {"Field ValidationText", "Field ValidationText", Fields, "chkFieldValidationText",
     "ValidationText", "ValidationText", 3, 1, 4410, 315},
    {"Index Clustered", "Index Clustered", Indexes, "chkIndexClustered", "Clustered", "Clustered",
     1, 1, 315, 315},
    {"Index DistinctCount", "Index DistinctCount", Indexes, "chkIndexDistinctCount",
     "DistinctCount", "DistinctCount", 1, 2, 315, 630},
    {"Index Fields", "Index Fields", Indexes, "chkIndexFields", "Fields", "Fields", 1, 3, 315, 945},
    {"Index Foreign", "Index Foreign", Indexes, "chkIndexForeign", "Foreign", "Foreign", 1, 4, 315,
     1260},
    {"Index IgnoreNulls", "Index IgnoreNulls", Indexes, "chkIndexIgnoreNulls", "IgnoreNulls",
     "IgnoreNulls", 1, 5, 315, 1575},
    {"Index Primary", "Index Primary", Indexes, "chkIndexPrimary", "Primary", "Primary", 1, 6, 315,
     1890},
    {"Index Required", "Index Required", Indexes, "chkIndexRequired", "Required", "Required", 1, 7,
     315, 2205},
    {"Index Unique", "Index Unique", Indexes, "chkIndexUnique", "Unique", "Unique", 1, 8, 315,
     2520},
    {"Relationship Fields", "Relationship Fields", Relationships, "chkRelFields", "Fields",
     "Fields", 1, 1, 315, 315},
    {"Relationship ForeignTable", "Relationship ForeignTable", Relationships, "chkRelForeignTable",
     "ForeignTable", "ForeignTable", 1, 2, 315, 630},
    {"Relationship PartialReplica", "Relationship PartialReplica", Relationships,
     "chkRelPartialReplica", "PartialReplica", "PartialReplica", 1, 3, 315, 945},
    {"Relationship RelationDeleteCascade", "Relationship RelationDeleteCascade", Relationships,
     "chkRelDeleteCascade", "RelationDeleteCascade", "RelationDeleteCascade", 1, 4, 315, 1260},
    {"Relationship RelationDontEnforce", "Relationship RelationDontEnforce", Relationships,
     "chkRelDontEnforce", "RelationDontEnforce", "RelationDontEnforce", 1, 5, 315, 1575},
    {"Relationship RelationInherited", "Relationship RelationInherited", Relationships,
     "chkRelInherited", "RelationInherited", "RelationInherited", 1, 6, 315, 1890},
    {"Relationship RelationUnique", "Relationship RelationUnique", Relationships, "chkRelUnique",
     "RelationUnique", "RelationUnique", 1, 7, 315, 2205},
    {"Relationship RelationUpdateCascade", "Relationship RelationUpdateCascade", Relationships,
     "chkRelUpdateCascade", "RelationUpdateCascade", "RelationUpdateCascade", 2, 1, 2520, 315},
    {"Relationship Table", "Relationship Table", Relationships, "chkRelTable", "Table", "Table", 2,
     2, 2520, 630},
    // Turns on the diagram pages at the end of the section; it has no row.
    {"Relationship Diagram", "Relationship Diagram", Relationships, "chkRelDiagram", "Diagram", "",
     2, 3, 2520, 945},
    {"Query DateCreated", "Query DateCreated", Queries, "chkQueryCreated", "DateCreated",
     "DateCreated", 1, 1, 315, 315},
    {"Query LastUpdated", "Query LastUpdated", Queries, "chkQueryUpdated", "Last Updated",
     "LastUpdated", 1, 2, 315, 630},
    {"Query MaxRecords", "Query MaxRecords", Queries, "chkQueryMaxRecords", "MaxRecords",
     "MaxRecords", 1, 3, 315, 945},
    {"Query ODBCTimeout", "Query ODBCTimeout", Queries, "chkQueryODBCTimeout", "ODBCTimeout",
     "ODBCTimeout", 1, 4, 315, 1260},
    {"Query ReturnsRecords", "Query ReturnsRecords", Queries, "ChkQueryReturnsRecords",
     "ReturnsRecords", "ReturnsRecords", 1, 5, 315, 1575},
    {"Query SQL", "Query SQL", Queries, "chkQuerySql", "SQL", "SQL", 1, 6, 315, 1890},
    {"Query Type", "Query Type", Queries, "chkQueryType", "Type", "Type", 1, 7, 315, 2205},
    {"Query Updatable", "Query Updatable", Queries, "chkQueryUpdatable", "Updatable", "Updatable",
     1, 8, 315, 2520},
    {"QueryParameter Direction", "QueryParameter Direction", Queries, "chkParameterDirection",
     "Parameter Direction", "Direction", 2, 1, 2730, 315},
    {"QueryParameter Type", "QueryParameter Type", Queries, "chkParameterType", "Parameter Type",
     "Type", 2, 2, 2730, 630},
    // Forms, reports, macros and modules. "Macro Actions" and "Module Code"
    // turn on a macro's XML and a module's code; they have no row.
    {"Form DateCreated", "Form DateCreated", Application, "chkFormCreated", "Form DateCreated",
     "DateCreated", 1, 1, 315, 315},
    {"Form HasModule", "Form HasModule", Application, "chkFormHasModule", "Form HasModule",
     "HasModule", 1, 2, 315, 630},
    {"Form LastUpdated", "Form LastUpdated", Application, "chkFormUpdated", "Form LastUpdated",
     "LastUpdated", 1, 3, 315, 945},
    {"Report DateCreated", "Report DateCreated", Application, "chkReportCreated",
     "Report DateCreated", "DateCreated", 1, 4, 315, 1260},
    {"Report HasModule", "Report HasModule", Application, "chkReportHasModule", "Report HasModule",
     "HasModule", 1, 5, 315, 1575},
    {"Report LastUpdated", "Report LastUpdated", Application, "chkReportUpdated",
     "Report LastUpdated", "LastUpdated", 1, 6, 315, 1890},
    {"Macro Actions", "Macro Actions", Application, "chkMacroActions", "Macro Actions", "", 2, 1,
     2730, 315},
    {"Macro DateCreated", "Macro DateCreated", Application, "chkMacroCreated", "Macro DateCreated",
     "DateCreated", 2, 2, 2730, 630},
    {"Macro LastUpdated", "Macro LastUpdated", Application, "chkMacroUpdated", "Macro LastUpdated",
     "LastUpdated", 2, 3, 2730, 945},
    {"Module Code", "Module Code", Application, "chkModuleCode", "Module Code", "", 2, 4, 2730,
     1260},
    {"Module DateCreated", "Module DateCreated", Application, "chkModuleCreated",
     "Module DateCreated", "DateCreated", 2, 5, 2730, 1575},
    {"Module LastUpdated", "Module LastUpdated", Application, "chkModuleUpdated",
     "Module LastUpdated", "LastUpdated", 2, 6, 2730, 1890},
    {"Module LineCount", "Module LineCount", Application, "chkModuleLineCount", "Module LineCount",
     "LineCount", 2, 7, 2730, 2205},
    {"Module Type", "Module Type", Application, "chkModuleType", "Module Type", "Type", 2, 8, 2730,
     2520},
}};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

const std::array<SwitchInfo, kSwitchCount>& SwitchTable() {
    return kSwitches;
}

const SwitchInfo* FindSwitch(std::string_view key) {
    const auto found = std::find_if(kSwitches.begin(), kSwitches.end(), [key](const SwitchInfo& s) {
        return EqualsIgnoringCase(s.key, key);
    });
    return found == kSwitches.end() ? nullptr : &*found;
}

}  // namespace ostrel::engine
