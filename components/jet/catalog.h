#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "components/jet/page_file.h"
#include "components/jet/table_definition.h"

namespace ostrel::jet {

// MSysObjects.Type values.
namespace object_type {
inline constexpr std::int16_t kTable = 1;
inline constexpr std::int16_t kContainer = 3;
inline constexpr std::int16_t kOdbcLink = 4;
inline constexpr std::int16_t kQuery = 5;
inline constexpr std::int16_t kAccessLink = 6;
}  // namespace object_type

// One row of the catalog, MSysObjects.
struct CatalogEntry {
    std::int32_t id = 0;
    std::int32_t parentId = 0;
    std::string name;
    std::int16_t type = 0;
    std::uint32_t flags = 0;
    std::optional<double> dateCreate;
    std::optional<double> dateUpdate;
    std::optional<std::string> database;
    std::optional<std::string> foreignName;
    // LvProp as the row stores it (a long value reference, read on demand).
    std::optional<std::vector<std::uint8_t>> storedProperties;
};

// The catalog: its table definition (page 2) and all its rows.
struct Catalog {
    TableDefinition definition;
    std::vector<CatalogEntry> entries;

    const CatalogEntry* Find(std::int32_t parentId, const std::string& name) const;
    const CatalogEntry* FindById(std::int32_t id) const;
    // The id of the "Tables" container, parent of tables and queries.
    std::int32_t TablesContainerId() const;
    // The system table with this name (type 1), or nullptr.
    const CatalogEntry* FindTable(const std::string& name) const;
};

Catalog ReadCatalog(const PageFile& file);

class RowView;

// Calls visit with every row of the catalog's system table named table (such
// as "MSysQueries"); context names the table in error messages. Returns false
// when the database has no such table.
bool ForEachSystemRow(const PageFile& file, const Catalog& catalog, const std::string& table,
                      const std::string& context, const std::function<void(const RowView&)>& visit);

// A table's definition page: the low 24 bits of its catalog id.
inline std::uint32_t DefinitionPage(std::int32_t id) {
    return static_cast<std::uint32_t>(id) & 0x00FFFFFFU;
}

}  // namespace ostrel::jet
