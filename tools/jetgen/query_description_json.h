// Reads one query of a database description.
#pragma once

#include <nlohmann/json_fwd.hpp>

#include "tools/jetgen/description.h"

namespace ostrel::jetgen {

// Throws GeneratorError naming the query on a bad description; CREATED is
// the database's date, the default of the query's own.
QueryDescription ParseQuery(const nlohmann::json& j, double created);

}  // namespace ostrel::jetgen
