#pragma once

#include "components/memory/memory_schema.h"

namespace ostrel::engine::testing {

// A small database with every kind of object: tables with fields and indexes
// (one linked, one system table), relationships, queries with and without
// parameters, dates, Null and text defaults.
memory::DatabaseBlueprint SampleDatabase();

}  // namespace ostrel::engine::testing
