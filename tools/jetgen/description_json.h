// Reads a database description from its JSON text (format in README.md).
#pragma once

#include <string_view>

#include "tools/jetgen/description.h"

namespace ostrel::jetgen {

// Throws GeneratorError naming the offending object on a bad description.
DatabaseDescription ParseDescription(std::string_view json);

}  // namespace ostrel::jetgen
