#include "tools/jetgen/catalog_list.h"

#include "tools/jetgen/property_blob.h"

namespace ostrel::jetgen {
namespace {

std::string Blob(const std::vector<PropertyMap>& maps) {
    const Bytes blob = EncodePropertyBlob(maps);
    return {blob.begin(), blob.end()};
}

PropertyMap ColumnProperties(const ColumnDescription& c) {
    PropertyMap m;
    m.name = c.name;
    m.block = kChildPropertyBlock;
    if (c.required) {
        m.values.push_back(BooleanProperty("Required", *c.required, true));
    }
    if (c.allowZeroLength) {
        m.values.push_back(BooleanProperty("AllowZeroLength", *c.allowZeroLength, true));
    }
    if (c.defaultValue) {
        m.values.push_back(MemoProperty("DefaultValue", *c.defaultValue, true));
    }
    if (c.validationRule) {
        m.values.push_back(TextProperty("ValidationRule", *c.validationRule, true));
    }
    if (c.validationText) {
        m.values.push_back(TextProperty("ValidationText", *c.validationText, true));
    }
    if (c.description) {
        m.values.push_back(MemoProperty("Description", *c.description, false));
    }
    return m;
}

}  // namespace

CatalogEntry& CatalogList::Add(std::int32_t id, std::int32_t parentId, const std::string& name,
                               int type, std::uint32_t flags, double created, double updated) {
    CatalogEntry e;
    e.id = id;
    e.parentId = parentId;
    e.name = name;
    e.type = type;
    e.flags = flags;
    e.created = created;
    e.updated = updated;
    entries_.push_back(std::move(e));
    return entries_.back();
}

std::vector<Row> CatalogList::Rows() const {
    std::vector<Row> rows;
    rows.reserve(entries_.size());
    for (const auto& e : entries_) {
        rows.push_back(CatalogRow(e));
    }
    return rows;
}

std::string TableProperties(const TableDescription& t) {
    std::vector<PropertyMap> maps;
    PropertyMap own;
    if (t.description) {
        own.values.push_back(MemoProperty("Description", *t.description, false));
    }
    if (t.validationRule) {
        own.values.push_back(TextProperty("ValidationRule", *t.validationRule, true));
    }
    if (t.validationText) {
        own.values.push_back(TextProperty("ValidationText", *t.validationText, true));
    }
    maps.push_back(std::move(own));
    for (const ColumnDescription& c : t.columns) {
        maps.push_back(ColumnProperties(c));
    }
    return Blob(maps);
}

std::string DatabaseProperties(const DatabaseDescription& db) {
    std::vector<PropertyMap> maps(1);
    maps[0].values.push_back(TextProperty("AccessVersion", db.accessVersion, false));
    return Blob(maps);
}

std::string SummaryProperties(const DatabaseDescription& db) {
    std::vector<PropertyMap> maps(1);
    if (db.title) {
        maps[0].values.push_back(TextProperty("Title", *db.title, false));
    }
    if (db.author) {
        maps[0].values.push_back(TextProperty("Author", *db.author, false));
    }
    if (db.company) {
        maps[0].values.push_back(TextProperty("Company", *db.company, false));
    }
    return Blob(maps);
}

}  // namespace ostrel::jetgen
