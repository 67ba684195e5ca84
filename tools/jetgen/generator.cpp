#include "tools/jetgen/generator.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "tools/jetgen/access_objects_writer.h"
#include "tools/jetgen/catalog_list.h"
#include "tools/jetgen/data_page.h"
#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/header_page.h"
#include "tools/jetgen/key_counter.h"
#include "tools/jetgen/long_value_store.h"
#include "tools/jetgen/page_file.h"
#include "tools/jetgen/property_blob.h"
#include "tools/jetgen/row_encoder.h"
#include "tools/jetgen/row_source.h"
#include "tools/jetgen/system_tables.h"
#include "tools/jetgen/table_layout.h"
#include "tools/jetgen/usage_map.h"

namespace ostrel::jetgen {

namespace {

constexpr std::size_t kGlobalMapBits = (kMapRowLength - 5) * 8;

IndexColumnLayout IndexColumn(const TableLayout& t, const std::string& name, bool descending) {
    const ColumnLayout* c = t.FindColumn(name);
    if (c == nullptr) {
        throw GeneratorError("table \"" + t.name + "\" has no column \"" + name + "\"");
    }
    if (c->longValue) {
        throw GeneratorError("column \"" + name + "\" of \"" + t.name + "\" cannot be indexed");
    }
    return {c->number, !descending};
}

struct PlacedTable {
    TableLayout layout;
    const TableDescription* blueprint = nullptr;  // null for the catalog tables
    std::vector<std::uint32_t> dataPages;
};

struct PendingLink {
    std::size_t primaryTable;
    std::uint32_t primaryIndex;
    std::size_t foreignTable;
    std::uint32_t foreignIndex;
    std::uint8_t cascadeUpdates;
    std::uint8_t cascadeDeletes;
};

class Writer {
  public:
    Writer(const DatabaseDescription& db, const std::filesystem::path& path)
        : db_(db), file_(path), longValues_(file_), maps_(file_) {
        file_.SetEncodingKey(db.encodingKey);
    }

    GenerateSummary Run();

  private:
    std::size_t AddSystemTable(const std::string& name,
                               const std::vector<ColumnDescription>& columns);
    std::size_t TableIndex(const std::string& name) const;
    void LayOutUserTables();
    void LayOutRelationships();
    void PlaceDefinitions();
    void WriteIndexRoots();
    void WriteRows(PlacedTable& table, RowSource& source);
    void WriteCatalog();
    std::map<std::string, std::int32_t> ListSystemEntries(CatalogList& catalog) const;
    void ListTables(CatalogList& catalog) const;
    std::vector<Row> ListQueries(CatalogList& catalog) const;
    std::vector<Row> ListRelationships(CatalogList& catalog) const;
    void WriteSystemRows(std::size_t table, std::vector<Row> rows);
    void WriteMaps();
    void WriteDefinitions();
    void WriteGlobalMap();

    const DatabaseDescription& db_;
    PageFile file_;
    LongValueStore longValues_;
    UsageMapPages maps_;
    std::vector<std::unique_ptr<PlacedTable>> tables_;
    std::vector<PendingLink> links_;
    std::size_t objects_ = 0, aces_ = 0, queries_ = 0, relationships_ = 0, accessObjects_ = 0;
    std::uint64_t rowTotal_ = 0;
};

std::size_t Writer::AddSystemTable(const std::string& name,
                                   const std::vector<ColumnDescription>& columns) {
    auto placed = std::make_unique<PlacedTable>();
    placed->layout = MakeTableLayout(name, kTableTypeSystem, columns);
    tables_.push_back(std::move(placed));
    return tables_.size() - 1;
}

std::size_t Writer::TableIndex(const std::string& name) const {
    for (std::size_t i = 0; i < tables_.size(); ++i) {
        if (tables_[i]->blueprint != nullptr && tables_[i]->layout.name == name) {
            return i;
        }
    }
    throw GeneratorError("no table named \"" + name + "\"");
}

void Writer::LayOutUserTables() {
    std::set<std::string> names;
    for (const TableDescription& blueprint : db_.tables) {
        if (!names.insert(blueprint.name).second) {
            throw GeneratorError("table \"" + blueprint.name + "\" is described twice");
        }
        auto placed = std::make_unique<PlacedTable>();
        placed->blueprint = &blueprint;
        placed->layout =
            MakeTableLayout(blueprint.name, blueprint.system ? kTableTypeSystem : kTableTypeUser,
                            blueprint.columns);
        TableLayout& t = placed->layout;
        for (const IndexDescription& idx : blueprint.indexes) {
            std::vector<IndexColumnLayout> cols;
            for (const auto& c : idx.columns) {
                cols.push_back(IndexColumn(t, c.name, c.descending));
            }
            std::uint8_t flags = 0;
            flags |= (idx.unique || idx.primary) ? kIndexUnique : 0;
            flags |= idx.ignoreNulls ? kIndexIgnoreNulls : 0;
            flags |= (idx.required || idx.primary) ? kIndexRequired : 0;
            AddIndex(t, idx.name, cols, flags, idx.primary ? kIndexTypePrimary : kIndexTypeNormal,
                     false);
        }
        tables_.push_back(std::move(placed));
    }
    for (const auto& linked : db_.linkedTables) {
        if (!names.insert(linked.name).second) {
            throw GeneratorError("table \"" + linked.name + "\" is described twice");
        }
    }
}

void Writer::LayOutRelationships() {
    std::set<std::string> names;
    for (const RelationshipDescription& r : db_.relationships) {
        if (!names.insert(r.name).second) {
            throw GeneratorError("relationship \"" + r.name + "\" is described twice");
        }
        if (r.columns.empty() || r.columns.size() != r.foreignColumns.size()) {
            throw GeneratorError("relationship \"" + r.name +
                                 "\" needs matching column lists on both sides");
        }
        // Access keeps relationships with linked tables without enforcing
        // them: nothing is laid out for them here.
        const auto isLinked = [this](const std::string& name) {
            return std::any_of(db_.linkedTables.begin(), db_.linkedTables.end(),
                               [&name](const LinkedTableDescription& l) { return l.name == name; });
        };
        if (isLinked(r.table) || isLinked(r.foreignTable)) {
            if ((r.attributes & kRelationDontEnforce) == 0) {
                throw GeneratorError("relationship \"" + r.name +
                                     "\" with a linked table must not be enforced");
            }
            continue;
        }
        const std::size_t p = TableIndex(r.table);
        const std::size_t f = TableIndex(r.foreignTable);
        std::vector<IndexColumnLayout> pCols;
        std::vector<IndexColumnLayout> fCols;
        for (std::size_t i = 0; i < r.columns.size(); ++i) {
            pCols.push_back(IndexColumn(tables_[p]->layout, r.columns[i], false));
            fCols.push_back(IndexColumn(tables_[f]->layout, r.foreignColumns[i], false));
        }
        if ((r.attributes & kRelationDontEnforce) != 0) {
            continue;
        }
        // The primary side's foreign-key index is named .rB, .rC, ...
        std::string pName;
        for (char suffix = 'B';; ++suffix) {
            if (suffix == '[') {
                suffix = 'a';
            }
            if (suffix > 'z') {
                throw GeneratorError("too many relationships on \"" + r.table + "\"");
            }
            pName = std::string(".r") + suffix;
            const auto& logical = tables_[p]->layout.logicalIndexes;
            if (std::none_of(logical.begin(), logical.end(),
                             [&](const LogicalIndexLayout& l) { return l.name == pName; })) {
                break;
            }
        }
        PendingLink link{};
        link.primaryTable = p;
        link.primaryIndex =
            AddIndex(tables_[p]->layout, pName, pCols, kIndexUnique, kIndexTypeForeign, true);
        link.foreignTable = f;
        link.foreignIndex = AddIndex(tables_[f]->layout, r.name, fCols, 0, kIndexTypeForeign, true);
        link.cascadeUpdates = (r.attributes & kRelationUpdateCascade) != 0 ? 1 : 0;
        link.cascadeDeletes = (r.attributes & kRelationDeleteCascade) != 0 ? 1 : 0;
        links_.push_back(link);
    }
}

void Writer::PlaceDefinitions() {
    for (auto& placed : tables_) {
        TableLayout& t = placed->layout;
        for (const auto& c : t.columns) {
            if (c.longValue) {
                LongValueMaps m;
                m.column = c.number;
                t.longValueMaps.push_back(m);
            }
        }
        const std::size_t n = TableDefinitionPageCount(t);
        for (std::size_t i = 0; i < n; ++i) {
            t.tdefPages.push_back(file_.Allocate());
        }
    }
    if (tables_[objects_]->layout.tdefPages.front() != 2) {
        throw GeneratorError("internal: the catalog definition must be page 2");
    }
    for (const PendingLink& link : links_) {
        auto& pl = tables_[link.primaryTable]->layout.logicalIndexes[link.primaryIndex];
        auto& fl = tables_[link.foreignTable]->layout.logicalIndexes[link.foreignIndex];
        pl.relatedTableType = 1;
        pl.relatedIndex = static_cast<std::int32_t>(link.foreignIndex);
        pl.relatedTablePage = tables_[link.foreignTable]->layout.tdefPages.front();
        fl.relatedTableType = 2;
        fl.relatedIndex = static_cast<std::int32_t>(link.primaryIndex);
        fl.relatedTablePage = tables_[link.primaryTable]->layout.tdefPages.front();
        pl.cascadeUpdates = fl.cascadeUpdates = link.cascadeUpdates;
        pl.cascadeDeletes = fl.cascadeDeletes = link.cascadeDeletes;
    }
}

void Writer::WriteIndexRoots() {
    for (auto& placed : tables_) {
        for (auto& r : placed->layout.realIndexes) {
            // An empty leaf page: no entries, the whole entry area free.
            Page page{};
            page[0] = 0x04;
            page[1] = 0x01;
            PutU32(page.data() + 4, placed->layout.tdefPages.front());
            constexpr std::size_t kFirstEntry = 0x1E0;
            PutU16(page.data() + 2, static_cast<std::uint32_t>(kPageSize - kFirstEntry));
            r.rootPage = file_.Allocate();
            file_.Write(r.rootPage, page);
        }
    }
}

void Writer::WriteRows(PlacedTable& placed, RowSource& source) {
    TableLayout& t = placed.layout;
    DataPageBuilder page(t.tdefPages.front());
    KeyCounter keys(t);
    std::vector<std::int64_t> nextAuto(t.columns.size(), 1);
    std::int64_t lastAuto = 0;
    std::uint64_t rowNumber = 0;
    Row row;
    auto flush = [&] {
        if (!page.Empty()) {
            const std::uint32_t at = file_.Allocate();
            file_.Write(at, page.Finish());
            placed.dataPages.push_back(at);
            page.Reset();
        }
    };
    while (source.Next(row)) {
        if (row.size() != t.columns.size()) {
            throw GeneratorError("table \"" + t.name + "\": a row has " +
                                 std::to_string(row.size()) + " values for " +
                                 std::to_string(t.columns.size()) + " columns");
        }
        for (const ColumnLayout& c : t.columns) {
            if (!c.autoNumber) {
                continue;
            }
            Cell& cell = row[c.number];
            if (c.type == ColumnType::Long) {
                if (cell.kind == Cell::Kind::Null) {
                    cell = Cell::Int(nextAuto[c.number]);
                }
                if (cell.kind == Cell::Kind::Int) {
                    nextAuto[c.number] = std::max(nextAuto[c.number], cell.integer + 1);
                    lastAuto = std::max(lastAuto, cell.integer);
                }
            } else if (cell.kind == Cell::Kind::Null) {
                ColumnDescription guid;
                guid.name = c.name;
                guid.type = ColumnType::Guid;
                cell = GeneratedCell(guid, static_cast<std::int64_t>(rowNumber), 0x5A17);
            }
        }
        const Bytes encoded = EncodeRow(t, row, longValues_);
        if (!page.Fits(encoded.size())) {
            flush();
        }
        page.Add(encoded);
        keys.Add(row);
        ++rowNumber;
    }
    flush();
    if (rowNumber > 0xFFFFFFFFULL) {
        throw GeneratorError("table \"" + t.name + "\" has too many rows");
    }
    t.rowCount = static_cast<std::uint32_t>(rowNumber);
    t.lastAutoNumber = static_cast<std::uint32_t>(lastAuto);
    for (std::size_t i = 0; i < t.realIndexes.size(); ++i) {
        t.realIndexes[i].uniqueEntries = keys.Distinct(i);
    }
    rowTotal_ += rowNumber;
}

// The folders, the system tables and the database's own entries.
std::map<std::string, std::int32_t> Writer::ListSystemEntries(CatalogList& catalog) const {
    const double created = db_.created;
    catalog.Add(kIdTablesFolder, kIdRootFolder, "Tables", kObjectContainer, kFlagSystem, created,
                created);
    catalog.Add(kIdDatabasesFolder, kIdRootFolder, "Databases", kObjectContainer, kFlagSystem,
                created, created);
    catalog.Add(kIdRelationshipsFolder, kIdRootFolder, "Relationships", kObjectContainer,
                kFlagSystem, created, created);
    catalog
        .Add(kIdMSysDb, kIdDatabasesFolder, "MSysDb", kObjectDatabase, kFlagSystem, created,
             created)
        .properties = DatabaseProperties(db_);
    for (std::size_t i : {objects_, aces_, queries_, relationships_, accessObjects_}) {
        const TableLayout& t = tables_[i]->layout;
        catalog.Add(static_cast<std::int32_t>(t.tdefPages.front()), kIdTablesFolder, t.name,
                    kObjectTable, i == accessObjects_ ? kFlagAltSystem : kFlagSystem, created,
                    created);
    }
    catalog
        .Add(catalog.TakeId(), kIdDatabasesFolder, "SummaryInfo", kObjectDatabaseProperties, 0,
             created, created)
        .properties = SummaryProperties(db_);
    catalog.Add(catalog.TakeId(), kIdDatabasesFolder, "UserDefined", kObjectDatabaseProperties, 0,
                created, created);
    std::map<std::string, std::int32_t> folders;
    for (const char* folder :
         {"Forms", "Reports", "Scripts", "Modules", "SysRel", "DataAccessPages"}) {
        folders[folder] = catalog.NextId();
        catalog.Add(catalog.TakeId(), kIdRootFolder, folder, kObjectContainer, 0, created, created);
    }
    return folders;
}

void Writer::ListTables(CatalogList& catalog) const {
    for (const auto& placed : tables_) {
        if (placed->blueprint == nullptr) {
            continue;
        }
        const TableDescription& s = *placed->blueprint;
        std::uint32_t flags = 0;
        flags |= s.system ? kFlagSystem : 0;
        flags |= s.hidden ? kFlagHidden : 0;
        catalog
            .Add(static_cast<std::int32_t>(placed->layout.tdefPages.front()), kIdTablesFolder,
                 s.name, kObjectTable, flags, s.created, s.updated)
            .properties = TableProperties(s);
    }
    for (const auto& l : db_.linkedTables) {
        CatalogEntry& e = catalog.Add(catalog.TakeId(), kIdTablesFolder, l.name, kObjectLinkedTable,
                                      0, l.created, l.updated);
        e.database = l.database;
        e.foreignName = l.foreignName;
        e.connect = l.connect.value_or("");
    }
}

// The queries' catalog entries; returns their MSysQueries rows.
std::vector<Row> Writer::ListQueries(CatalogList& catalog) const {
    std::vector<Row> rows;
    std::set<std::string> names;
    for (const auto& q : db_.queries) {
        if (!names.insert(q.name).second) {
            throw GeneratorError("query \"" + q.name + "\" is described twice");
        }
        const std::int32_t id = catalog.TakeId();
        catalog.Add(id, kIdTablesFolder, q.name, kObjectQuery,
                    QueryCatalogFlags(q.type) | (q.hidden ? kFlagHidden : 0), q.created, q.updated);
        for (auto& r : QueryRows(q, id)) {
            rows.push_back(std::move(r));
        }
    }
    return rows;
}

// The relationships' catalog entries; returns their MSysRelationships rows.
std::vector<Row> Writer::ListRelationships(CatalogList& catalog) const {
    std::vector<Row> rows;
    for (const auto& r : db_.relationships) {
        catalog.Add(catalog.TakeId(), kIdRelationshipsFolder, r.name, kObjectRelationship, 0,
                    r.created, r.created);
        for (auto& row : RelationshipRows(r)) {
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

void Writer::WriteSystemRows(std::size_t table, std::vector<Row> rows) {
    TableDescription holder;
    holder.rows = std::move(rows);
    holder.columns.resize(tables_[table]->layout.columns.size());
    RowSource source(holder);
    WriteRows(*tables_[table], source);
}

void Writer::WriteCatalog() {
    CatalogList catalog;
    const auto folders = ListSystemEntries(catalog);
    ListTables(catalog);
    std::vector<Row> queryRows = ListQueries(catalog);
    std::vector<Row> relationshipRows = ListRelationships(catalog);
    for (CatalogEntry& e : ApplicationEntries(db_, folders, catalog.NextId())) {
        catalog.Entries().push_back(std::move(e));
    }
    WriteSystemRows(objects_, catalog.Rows());
    WriteSystemRows(queries_, std::move(queryRows));
    WriteSystemRows(relationships_, std::move(relationshipRows));
    WriteSystemRows(aces_, {});
    WriteSystemRows(accessObjects_, HasApplication(db_)
                                        ? AccessObjectsRows(WriteAccessObjectsFile(db_))
                                        : std::vector<Row>{});
}

void Writer::WriteMaps() {
    for (auto& placed : tables_) {
        TableLayout& t = placed->layout;
        t.ownedMap = maps_.Add(MakeUsageMapRow(placed->dataPages, file_));
        t.freeMap = maps_.Add(MakeUsageMapRow({}, file_));
        for (auto& r : t.realIndexes) {
            const MapRef ref = maps_.Add(MakeUsageMapRow({r.rootPage}, file_));
            r.mapRow = ref.row;
            r.mapPage = ref.page;
        }
        for (auto& lv : t.longValueMaps) {
            lv.owned = maps_.Add(MakeUsageMapRow({}, file_));
            lv.free = maps_.Add(MakeUsageMapRow({}, file_));
        }
    }
    maps_.Flush();
}

void Writer::WriteDefinitions() {
    for (auto& placed : tables_) {
        const TableLayout& t = placed->layout;
        const Bytes stream = EncodeTableDefinition(t);
        const std::vector<Bytes> pages = SplitTableDefinition(t, stream);
        for (std::size_t i = 0; i < pages.size(); ++i) {
            Page page{};
            std::copy(pages[i].begin(), pages[i].end(), page.begin());
            file_.Write(t.tdefPages[i], page);
        }
    }
}

void Writer::WriteGlobalMap() {
    // Page 1 maps the free pages of the file; Access also marks the pages past
    // the end of the file within the map's range as free.
    DataPageBuilder page(1);
    Bytes freeMap(kMapRowLength, 0);
    for (std::size_t p = file_.PageCount(); p < kGlobalMapBits; ++p) {
        freeMap[5 + p / 8] |= static_cast<std::uint8_t>(1U << (p % 8));
    }
    page.Add(freeMap);
    page.Add(Bytes(kMapRowLength, 0));
    file_.Write(1, page.Finish());
}

GenerateSummary Writer::Run() {
    file_.Allocate();  // page 0: database definition
    file_.Allocate();  // page 1: global usage map
    objects_ = AddSystemTable("MSysObjects", MSysObjectsColumns());
    aces_ = AddSystemTable("MSysACEs", MSysAcesColumns());
    queries_ = AddSystemTable("MSysQueries", MSysQueriesColumns());
    relationships_ = AddSystemTable("MSysRelationships", MSysRelationshipsColumns());
    accessObjects_ = AddSystemTable("MSysAccessObjects", MSysAccessObjectsColumns());
    AddIndex(tables_[objects_]->layout, "ParentIdName", {{1, true}, {2, true}}, kIndexUnique,
             kIndexTypeNormal, false);
    AddIndex(tables_[objects_]->layout, "Id", {{0, true}}, kIndexUnique, kIndexTypePrimary, false);
    AddIndex(tables_[aces_]->layout, "ObjectId", {{0, true}}, kIndexRequired, kIndexTypeNormal,
             false);
    AddIndex(tables_[queries_]->layout, "ObjectIdAttribute", {{0, true}, {1, true}, {2, true}},
             kIndexUnique, kIndexTypePrimary, false);
    for (const auto& [name, column] : std::vector<std::pair<std::string, std::uint16_t>>{
             {"szRelationship", 0}, {"szObject", 4}, {"szReferencedObject", 6}}) {
        AddIndex(tables_[relationships_]->layout, name, {{column, true}}, kIndexIgnoreNulls,
                 kIndexTypeNormal, false);
    }
    AddIndex(tables_[accessObjects_]->layout, "AOIndex", {{1, true}}, kIndexUnique | kIndexRequired,
             kIndexTypePrimary, false);

    LayOutUserTables();
    LayOutRelationships();
    PlaceDefinitions();
    WriteIndexRoots();
    for (auto& placed : tables_) {
        if (placed->blueprint != nullptr) {
            RowSource source(*placed->blueprint);
            WriteRows(*placed, source);
        }
    }
    WriteCatalog();
    longValues_.Flush();
    WriteMaps();
    WriteDefinitions();
    WriteGlobalMap();
    HeaderFields header;
    header.sortOrder = db_.sortOrder;
    header.codePage = db_.codePage;
    header.created = db_.created;
    header.encodingKey = db_.encodingKey;
    file_.Write(0, MakeHeaderPage(header));
    GenerateSummary summary;
    summary.pages = file_.PageCount();
    summary.rows = rowTotal_;
    file_.Commit();
    return summary;
}

}  // namespace

GenerateSummary WriteDatabase(const DatabaseDescription& database,
                              const std::filesystem::path& path) {
    Writer writer(database, path);
    return writer.Run();
}

}  // namespace ostrel::jetgen
