#pragma once

#include <stdexcept>
#include <string>

namespace ostrel::schema {

// Raised by any member of the schema source that cannot give its value: a file
// that is not a database, a damaged table definition, a property the engine
// refuses. The message is meant for the user and says what could not be read.
class SchemaError : public std::runtime_error {
  public:
    explicit SchemaError(const std::string& message);
};

}  // namespace ostrel::schema
