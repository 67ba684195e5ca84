// The application's store of a Jet 4 file: the compound file that Access 2000
// to 2003 keep in MSysAccessObjects, holding the VBA project (the modules of
// the description and the code behind its forms and reports) and the Forms,
// Reports and Scripts storages with their name directories.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/jetgen/byte_writer.h"
#include "tools/jetgen/description.h"
#include "tools/jetgen/system_tables.h"

namespace ostrel::jetgen {

// Whether the description has forms, reports, macros or modules at all.
bool HasApplication(const DatabaseDescription& db);

// The catalog rows of the forms, reports, macros and modules, in their
// containers (folders: container name to id), with ids from nextId on.
std::vector<CatalogEntry> ApplicationEntries(const DatabaseDescription& db,
                                             const std::map<std::string, std::int32_t>& folders,
                                             std::int32_t& nextId);

// The compound file. Throws GeneratorError for text the project's code page
// cannot hold and for names used twice.
Bytes WriteAccessObjectsFile(const DatabaseDescription& db);

// MSysAccessObjects rows (Data, ID) holding a compound file: row 0 a header,
// then the file in pieces of 3992 bytes, the last one padded with zeros.
std::vector<Row> AccessObjectsRows(const Bytes& compoundFile);

}  // namespace ostrel::jetgen
