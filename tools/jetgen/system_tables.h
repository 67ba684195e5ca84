// The system catalog tables of a Jet 4 database and the rows the generator
// puts in them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/jetgen/description.h"

namespace ostrel::jetgen {

// Catalog object types (MSysObjects.Type).
inline constexpr int kObjectTable = 1;
inline constexpr int kObjectDatabase = 2;
inline constexpr int kObjectContainer = 3;
inline constexpr int kObjectQuery = 5;
inline constexpr int kObjectLinkedTable = 6;
inline constexpr int kObjectRelationship = 8;
inline constexpr int kObjectDatabaseProperties = -32757;
inline constexpr int kObjectForm = -32768;
inline constexpr int kObjectReport = -32764;
inline constexpr int kObjectMacro = -32766;
inline constexpr int kObjectModule = -32761;

// Catalog flag bits (MSysObjects.Flags).
inline constexpr std::uint32_t kFlagSystem = 0x80000000U;
inline constexpr std::uint32_t kFlagAltSystem = 0x00000002U;
inline constexpr std::uint32_t kFlagHidden = 0x00000008U;

// Fixed identifiers of the catalog's folders.
inline constexpr std::int32_t kIdRootFolder = 0x0F000000;
inline constexpr std::int32_t kIdTablesFolder = 0x0F000001;
inline constexpr std::int32_t kIdDatabasesFolder = 0x0F000002;
inline constexpr std::int32_t kIdRelationshipsFolder = 0x0F000003;
inline constexpr std::int32_t kIdMSysDb = 0x10000000;

std::vector<ColumnDescription> MSysObjectsColumns();
std::vector<ColumnDescription> MSysAcesColumns();
std::vector<ColumnDescription> MSysQueriesColumns();
std::vector<ColumnDescription> MSysRelationshipsColumns();
std::vector<ColumnDescription> MSysAccessObjectsColumns();

// One catalog row, in MSysObjects column order.
struct CatalogEntry {
    std::int32_t id = 0;
    std::int32_t parentId = 0;
    std::string name;
    int type = 0;
    double created = 0.0;
    double updated = 0.0;
    std::uint32_t flags = 0;
    std::string database;
    std::string connect;
    std::string foreignName;
    std::string properties;  // encoded LvProp blob, empty for none
};
Row CatalogRow(const CatalogEntry& entry);

// The MSysQueries rows that describe a query.
std::vector<Row> QueryRows(const QueryDescription& query, std::int32_t objectId);

// The DAO query type code kept in a query's catalog flags.
std::uint32_t QueryCatalogFlags(QueryType type);

// One MSysRelationships row per column pair.
std::vector<Row> RelationshipRows(const RelationshipDescription& relationship);

}  // namespace ostrel::jetgen
