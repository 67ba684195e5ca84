// The catalog (MSysObjects) as its entries are gathered, and the property
// blobs its entries carry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/jetgen/description.h"
#include "tools/jetgen/system_tables.h"

namespace ostrel::jetgen {

class CatalogList {
  public:
    CatalogEntry& Add(std::int32_t id, std::int32_t parentId, const std::string& name, int type,
                      std::uint32_t flags, double created, double updated);

    // The ids of objects that are not tables count up from here; a table's
    // id is its definition page.
    std::int32_t& NextId() { return nextId_; }
    std::int32_t TakeId() { return nextId_++; }

    std::vector<CatalogEntry>& Entries() { return entries_; }
    std::vector<Row> Rows() const;

  private:
    std::vector<CatalogEntry> entries_;
    std::int32_t nextId_ = static_cast<std::int32_t>(0x80000000U);
};

// The table's own properties and each column's, as one blob.
std::string TableProperties(const TableDescription& t);
// The MSysDb entry's (the Access version) and SummaryInfo's.
std::string DatabaseProperties(const DatabaseDescription& db);
std::string SummaryProperties(const DatabaseDescription& db);

}  // namespace ostrel::jetgen
