#include "components/schema/schema_error.h"

#include <utility>

namespace ostrel::schema {

SchemaError::SchemaError(const std::string& message) : std::runtime_error(message) {}

PasswordError::PasswordError(Reason reason, std::string path, const std::string& message)
    : SchemaError(message), reason_(reason), path_(std::move(path)) {}

std::string WrongPasswordMessage(const std::string& path) {
    return "wrong password for " + path;
}

std::string MissingPasswordMessage(const std::string& path) {
    return path + ": the database is encrypted with a password, and no password was given";
}

}  // namespace ostrel::schema
