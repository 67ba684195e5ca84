#include "components/jet/catalog.h"

#include "components/jet/row_reader.h"

namespace ostrel::jet {
namespace {

constexpr std::uint32_t kCatalogPage = 2;
constexpr std::int32_t kRootContainerId = 0x0F000000;
constexpr std::int32_t kDefaultTablesContainerId = 0x0F000001;

}  // namespace

const CatalogEntry* Catalog::Find(std::int32_t parentId, const std::string& name) const {
    for (const CatalogEntry& e : entries) {
        if (e.parentId == parentId && SameName(e.name, name)) {
            return &e;
        }
    }
    return nullptr;
}

const CatalogEntry* Catalog::FindById(std::int32_t id) const {
    for (const CatalogEntry& e : entries) {
        if (e.id == id) {
            return &e;
        }
    }
    return nullptr;
}

std::int32_t Catalog::TablesContainerId() const {
    const CatalogEntry* tables = Find(kRootContainerId, "Tables");
    return tables != nullptr ? tables->id : kDefaultTablesContainerId;
}

const CatalogEntry* Catalog::FindTable(const std::string& name) const {
    const CatalogEntry* e = Find(TablesContainerId(), name);
    return e != nullptr && e->type == object_type::kTable ? e : nullptr;
}

Catalog ReadCatalog(const PageFile& file) {
    Catalog catalog;
    catalog.definition = ReadTableDefinition(file, kCatalogPage, "MSysObjects");
    const std::string context = "catalog (MSysObjects)";
    ForEachRow(file, catalog.definition, context, [&](std::span<const std::uint8_t> bytes) {
        const RowView row(file, catalog.definition, bytes, context);
        CatalogEntry e;
        e.id = static_cast<std::int32_t>(row.Int("Id").value_or(0));
        e.parentId = static_cast<std::int32_t>(row.Int("ParentId").value_or(0));
        e.name = row.Text("Name").value_or("");
        e.type = static_cast<std::int16_t>(row.Int("Type").value_or(0));
        e.flags = static_cast<std::uint32_t>(row.Int("Flags").value_or(0));
        e.dateCreate = row.Double("DateCreate");
        e.dateUpdate = row.Double("DateUpdate");
        e.database = row.Text("Database");
        e.foreignName = row.Text("ForeignName");
        e.storedProperties = row.Stored("LvProp");
        catalog.entries.push_back(std::move(e));
    });
    return catalog;
}

bool ForEachSystemRow(const PageFile& file, const Catalog& catalog, const std::string& table,
                      const std::string& context,
                      const std::function<void(const RowView&)>& visit) {
    const CatalogEntry* entry = catalog.FindTable(table);
    if (entry == nullptr) {
        return false;
    }
    const TableDefinition def = ReadTableDefinition(file, DefinitionPage(entry->id), entry->name);
    ForEachRow(file, def, context, [&](std::span<const std::uint8_t> bytes) {
        visit(RowView(file, def, bytes, context));
    });
    return true;
}

}  // namespace ostrel::jet
