#include "engine/switch_table.h"

#include <algorithm>
#include <cctype>

namespace ostrel::engine {
namespace {

constexpr std::array<SwitchInfo, kSwitchCount> kSwitches{{
    {"Database CollatingOrder", "Database CollatingOrder", "CollatingOrder"},
    {"Database ReplicaID", "Database ReplicaID", "ReplicaID"},
    {"Database Transactions", "Database Transactions", "Transactions"},
    {"Database Updatable", "Database Updatable", "Updatable"},
    {"Database Version", "Database Version", "Version"},
    {"Table AttachedODBC", "Table AttachedODBC", "AttachedODBC"},
    {"Table AttachedTable", "Table AttachedTable", "AttachedTable"},
    {"Table AttachExclusive", "Table Attachexclusive", "AttachExclusive"},
    {"Table AttachSavePWD", "Table AttachSavePWD", "AttachSavePWD"},
    {"Table DateCreated", "Table DateCreated", "DateCreated"},
    {"Table HiddenObject", "Table HiddenObject", "HiddenObject"},
    {"Table LastUpdated", "Table LastUpdated", "LastUpdated"},
    {"Table RecordCount", "Table RecordCount", "RecordCount"},
    {"Table ReplicaFilter", "Table Replicafilter", "ReplicaFilter"},
    {"Table SourceTableName", "Table SourceTableName", "SourceTableName"},
    {"Table SystemObject", "Table SystemObject", "SystemObject"},
    {"Table Updatable", "Table Updatable", "Updatable"},
    {"Table ValidationRule", "Table ValidationRule", "ValidationRule"},
    {"Table ValidationText", "Table ValidationText", "ValidationText"},
    {"Field AllowZeroLength", "Field AllowZeroLength", "AllowZeroLength"},
    {"Field AutoIncrement", "Field AutoIncrement", "AutoIncrField"},
    {"Field DataUpdatable", "Field DataUpdatable", "DataUpdatable"},
    {"Field DefaultValue", "Field DefaultValue", "DefaultValue"},
    {"Field FixedField", "Field FixedField", "FixedField"},
    {"Field HyperlinkField", "Field HyperlinkField", "HyperlinkField"},
    {"Field OrdinalPosition", "Field OrdinalPosition", "OrdinalPosition"},
    {"Field Required", "Field Required", "Required"},
    {"Field Size", "Field Size", "Size"},
    {"Field SystemField", "Field SystemField", "SystemField"},
    {"Field Type", "Field Type", "Type"},
    {"Field UpdatableField", "Field UpdatableField", "UpdatableField"},
    {"Field VariableField", "Field VariableField", "VariableField"},
    {"Field ValidationRule", "Field ValidationRule", "ValidationRule"},
    {"Field ValidationText", "Field ValidationText", "ValidationText"},
    {"Index Clustered", "Index Clustered", "Clustered"},
    {"Index DistinctCount", "Index DistinctCount", "DistinctCount"},
    {"Index Fields", "Index Fields", "Fields"},
    {"Index Foreign", "Index Foreign", "Foreign"},
    {"Index IgnoreNulls", "Index IgnoreNulls", "IgnoreNulls"},
    {"Index Primary", "Index Primary", "Primary"},
    {"Index Required", "Index Required", "Required"},
    {"Index Unique", "Index Unique", "Unique"},
    {"Relationship Fields", "Relationship Fields", "Fields"},
    {"Relationship ForeignTable", "Relationship ForeignTable", "ForeignTable"},
    {"Relationship PartialReplica", "Relationship PartialReplica", "PartialReplica"},
    {"Relationship RelationDeleteCascade", "Relationship RelationDeleteCascade",
     "RelationDeleteCascade"},
    {"Relationship RelationDontEnforce", "Relationship RelationDontEnforce", "RelationDontEnforce"},
    {"Relationship RelationInherited", "Relationship RelationInherited", "RelationInherited"},
    {"Relationship RelationUnique", "Relationship RelationUnique", "RelationUnique"},
    {"Relationship RelationUpdateCascade", "Relationship RelationUpdateCascade",
     "RelationUpdateCascade"},
    {"Relationship Table", "Relationship Table", "Table"},
    {"Relationship Diagram", "Relationship Diagram", ""},
    {"Query DateCreated", "Query DateCreated", "DateCreated"},
    {"Query LastUpdated", "Query LastUpdated", "LastUpdated"},
    {"Query MaxRecords", "Query MaxRecords", "MaxRecords"},
    {"Query ODBCTimeout", "Query ODBCTimeout", "ODBCTimeout"},
    {"Query ReturnsRecords", "Query ReturnsRecords", "ReturnsRecords"},
    {"Query SQL", "Query SQL", "SQL"},
    {"Query Type", "Query Type", "Type"},
    {"Query Updatable", "Query Updatable", "Updatable"},
    {"QueryParameter Direction", "QueryParameter Direction", "Direction"},
    {"QueryParameter Type", "QueryParameter Type", "Type"},
    // Forms, reports, macros and modules. "Macro Actions" and "Module Code"
    // turn on a macro's XML and a module's code; they have no row.
    {"Form DateCreated", "Form DateCreated", "DateCreated"},
    {"Form HasModule", "Form HasModule", "HasModule"},
    {"Form LastUpdated", "Form LastUpdated", "LastUpdated"},
    {"Report DateCreated", "Report DateCreated", "DateCreated"},
    {"Report HasModule", "Report HasModule", "HasModule"},
    {"Report LastUpdated", "Report LastUpdated", "LastUpdated"},
    {"Macro Actions", "Macro Actions", ""},
    {"Macro DateCreated", "Macro DateCreated", "DateCreated"},
    {"Macro LastUpdated", "Macro LastUpdated", "LastUpdated"},
    {"Module Code", "Module Code", ""},
    {"Module DateCreated", "Module DateCreated", "DateCreated"},
    {"Module LastUpdated", "Module LastUpdated", "LastUpdated"},
    {"Module LineCount", "Module LineCount", "LineCount"},
    {"Module Type", "Module Type", "Type"},
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
