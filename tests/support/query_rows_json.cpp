#include "tests/support/query_rows_json.h"

#include <stdexcept>
#include <string>

namespace ostrel::testsupport {
namespace {

std::vector<std::uint8_t> HexBytes(const std::string& text) {
    if (text.size() < 2 || text.compare(0, 2, "0x") != 0 || text.size() % 2 != 0) {
        throw std::runtime_error("not a hexadecimal binary value: " + text);
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 2; i < text.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::optional<std::string> OptionalText(const nlohmann::json& row, const char* column) {
    const auto& value = row.at(column);
    if (value.is_null()) {
        return std::nullopt;
    }
    return value.get<std::string>();
}

}  // namespace

std::vector<jet::QueryRow> QueryRowsFromJson(const nlohmann::json& rows) {
    std::vector<jet::QueryRow> result;
    try {
        for (const auto& row : rows) {
            jet::QueryRow converted;
            converted.attribute = row.at("Attribute").get<std::uint8_t>();
            converted.expression = OptionalText(row, "Expression");
            if (!row.at("Flag").is_null()) {
                converted.flag = row.at("Flag").get<std::int16_t>();
            }
            converted.name1 = OptionalText(row, "Name1");
            converted.name2 = OptionalText(row, "Name2");
            if (!row.at("LvExtra").is_null()) {
                converted.lvExtra = row.at("LvExtra").get<std::int32_t>();
            }
            converted.objectId = row.at("ObjectId").get<std::int32_t>();
            if (const auto order = OptionalText(row, "Order")) {
                converted.order = HexBytes(*order);
            }
            result.push_back(std::move(converted));
        }
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error(std::string("malformed MSysQueries record: ") + error.what());
    }
    return result;
}

}  // namespace ostrel::testsupport
