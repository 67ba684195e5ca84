#pragma once

// A small JSON reader for the expected-facts files of the reader tests.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace ostrel::jet::test {

struct JsonValue;
using JsonArray = std::vector<JsonValue>;
using JsonObject = std::vector<std::pair<std::string, JsonValue>>;

struct JsonValue {
    std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<JsonArray>,
                 std::shared_ptr<JsonObject>>
        value = nullptr;

    bool IsNull() const { return std::holds_alternative<std::nullptr_t>(value); }
    bool IsObject() const { return std::holds_alternative<std::shared_ptr<JsonObject>>(value); }
    bool IsArray() const { return std::holds_alternative<std::shared_ptr<JsonArray>>(value); }
    bool IsString() const { return std::holds_alternative<std::string>(value); }
    bool IsNumber() const { return std::holds_alternative<double>(value); }
    bool IsBool() const { return std::holds_alternative<bool>(value); }

    // Accessors throw std::runtime_error on a type mismatch.
    const std::string& Str() const;
    double Num() const;
    std::int64_t Int() const { return static_cast<std::int64_t>(Num()); }
    bool Bool() const;
    const JsonArray& Array() const;
    const JsonObject& Object() const;
    // Member of an object; a null value when absent.
    const JsonValue& operator[](const std::string& key) const;
    bool Has(const std::string& key) const;
};

JsonValue ParseJson(const std::string& text);
JsonValue ReadJsonFile(const std::string& path);

}  // namespace ostrel::jet::test
