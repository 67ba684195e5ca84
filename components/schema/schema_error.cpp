#include "components/schema/schema_error.h"

namespace ostrel::schema {

SchemaError::SchemaError(const std::string& message) : std::runtime_error(message) {}

}  // namespace ostrel::schema
