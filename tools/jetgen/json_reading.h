// Reading values from a JSON description, each failure naming where it is.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

namespace ostrel::jetgen {

using Json = nlohmann::json;

// Throws GeneratorError unless OBJECT is an object whose keys are all allowed.
void CheckKeys(const Json& object, std::initializer_list<const char*> allowed,
               const std::string& where);

// A member of O, or FALLBACK when it is absent; throws GeneratorError when it
// has the wrong type or (for integers) lies outside [LOW, HIGH].
std::string String(const Json& o, const char* key, const std::string& where,
                   const std::string& fallback = {});
std::string RequiredString(const Json& o, const char* key, const std::string& where);
std::optional<std::string> OptionalString(const Json& o, const char* key, const std::string& where);
bool Bool(const Json& o, const char* key, const std::string& where, bool fallback = false);
std::optional<bool> OptionalBool(const Json& o, const char* key, const std::string& where);
std::int64_t Integer(const Json& o, const char* key, const std::string& where,
                     std::int64_t fallback, std::int64_t low, std::int64_t high);
// An OLE date from its ISO text.
double Date(const Json& o, const char* key, const std::string& where, double fallback);
// A list member; an empty list when absent.
const Json& Array(const Json& o, const char* key, const std::string& where);
std::vector<std::string> StringList(const Json& j, const char* key, const std::string& at);

}  // namespace ostrel::jetgen
