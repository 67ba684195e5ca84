#pragma once

#include <string>

#include "components/schema/database.h"

namespace ostrel::testsupport {

// What the report reads of a database, as text, for tests that compare two
// ways of reading the same design: every table with its fields and indexes
// (a linked table whose source is missing with its problem), every
// relationship and every query.
std::string DumpSchema(const schema::Database& db);

}  // namespace ostrel::testsupport
