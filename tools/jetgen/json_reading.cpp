#include "tools/jetgen/json_reading.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "tools/jetgen/generator_error.h"
#include "tools/jetgen/text_codec.h"

namespace ostrel::jetgen {

void CheckKeys(const Json& object, std::initializer_list<const char*> allowed,
               const std::string& where) {
    if (!object.is_object()) {
        throw GeneratorError(where + ": expected a JSON object");
    }
    for (const auto& item : object.items()) {
        const bool known = std::any_of(allowed.begin(), allowed.end(),
                                       [&](const char* k) { return item.key() == k; });
        if (!known) {
            throw GeneratorError(where + ": unknown key \"" + item.key() + "\"");
        }
    }
}

std::string String(const Json& o, const char* key, const std::string& where,
                   const std::string& fallback) {
    if (!o.contains(key)) {
        return fallback;
    }
    if (!o[key].is_string()) {
        throw GeneratorError(where + ": \"" + key + "\" must be text");
    }
    return o[key].get<std::string>();
}

std::string RequiredString(const Json& o, const char* key, const std::string& where) {
    if (!o.contains(key)) {
        throw GeneratorError(where + ": \"" + key + "\" is required");
    }
    return String(o, key, where);
}

std::optional<std::string> OptionalString(const Json& o, const char* key,
                                          const std::string& where) {
    if (!o.contains(key)) {
        return std::nullopt;
    }
    return String(o, key, where);
}

bool Bool(const Json& o, const char* key, const std::string& where, bool fallback) {
    if (!o.contains(key)) {
        return fallback;
    }
    if (!o[key].is_boolean()) {
        throw GeneratorError(where + ": \"" + key + "\" must be true or false");
    }
    return o[key].get<bool>();
}

std::optional<bool> OptionalBool(const Json& o, const char* key, const std::string& where) {
    if (!o.contains(key)) {
        return std::nullopt;
    }
    return Bool(o, key, where);
}

std::int64_t Integer(const Json& o, const char* key, const std::string& where,
                     std::int64_t fallback, std::int64_t low, std::int64_t high) {
    if (!o.contains(key)) {
        return fallback;
    }
    if (!o[key].is_number_integer()) {
        throw GeneratorError(where + ": \"" + key + "\" must be a whole number");
    }
    const auto v = o[key].get<std::int64_t>();
    if (v < low || v > high) {
        throw GeneratorError(where + ": \"" + key + "\" is out of range");
    }
    return v;
}

double Date(const Json& o, const char* key, const std::string& where, double fallback) {
    if (!o.contains(key)) {
        return fallback;
    }
    return ParseOleDate(String(o, key, where));
}

const Json& Array(const Json& o, const char* key, const std::string& where) {
    static const Json kEmpty = Json::array();
    if (!o.contains(key)) {
        return kEmpty;
    }
    if (!o[key].is_array()) {
        throw GeneratorError(where + ": \"" + key + "\" must be a list");
    }
    return o[key];
}

std::vector<std::string> StringList(const Json& j, const char* key, const std::string& at) {
    std::vector<std::string> out;
    for (const Json& s : Array(j, key, at)) {
        if (!s.is_string()) {
            throw GeneratorError(at + ": \"" + key + "\" must list texts");
        }
        out.push_back(s.get<std::string>());
    }
    return out;
}

}  // namespace ostrel::jetgen
