// Round trips through mdb-reader, an independent JavaScript reader: every
// table, column type, size and row of the generated files must come back.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/jetgen/tool_runner.h"

namespace ostrel::jetgen::test {
namespace {

using Json = nlohmann::json;

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class MdbReaderRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!EnsureMdbReader()) {
            GTEST_SKIP() << "npm, node or the npm registry is unavailable";
        }
    }

    Json Read(const std::filesystem::path& file) {
        const CommandResult r = ReadWithMdbReader(file);
        EXPECT_EQ(r.status, 0) << "mdb-reader failed on " << file;
        if (r.status != 0) {
            return Json::object();
        }
        return Json::parse(r.output);
    }

    ScratchDir dir_;
};

// mdb-reader's name for each described column type.
std::string ReaderType(const std::string& type) {
    static const std::map<std::string, std::string> kNames = {
        {"Boolean", "boolean"}, {"Byte", "byte"},         {"Integer", "integer"},
        {"Long", "long"},       {"Currency", "currency"}, {"Single", "float"},
        {"Double", "double"},   {"DateTime", "datetime"}, {"Binary", "binary"},
        {"Text", "text"},       {"OLE", "ole"},           {"Memo", "memo"},
        {"Hyperlink", "memo"},  {"GUID", "repid"},        {"Decimal", "numeric"}};
    return kNames.at(type);
}

int ReaderSize(const Json& column) {
    const std::string type = column["type"];
    const int size = column.value("size", 0);
    if (type == "Text") {
        return 2 * (size > 0 ? size : 50);
    }
    if (type == "Binary") {
        return size > 0 ? size : 255;
    }
    static const std::map<std::string, int> kFixed = {
        {"Boolean", 0}, {"Byte", 1},   {"Integer", 2},  {"Long", 4},  {"Currency", 8},
        {"Single", 4},  {"Double", 8}, {"DateTime", 8}, {"GUID", 16}, {"Decimal", 17},
        {"OLE", 0},     {"Memo", 0},   {"Hyperlink", 0}};
    return kFixed.at(type);
}

std::string Hex(const std::string& bytes) {
    static const char* kDigits = "0123456789abcdef";
    std::string out = "0x";
    for (const unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

std::string Lower(std::string s) {
    for (auto& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

double Number(const Json& v) {
    return v.is_string() ? std::stod(v.get<std::string>()) : v.get<double>();
}

// Compares one described value with what mdb-reader returned for it.
void ExpectValue(const std::string& type, const Json& expected, const Json& actual,
                 const std::string& where) {
    SCOPED_TRACE(where);
    if (expected.is_null()) {
        if (type == "Boolean") {
            EXPECT_EQ(actual, false);
        } else {
            EXPECT_TRUE(actual.is_null()) << actual;
        }
        return;
    }
    if (type == "Currency" || type == "Decimal" || type == "Double") {
        EXPECT_NEAR(Number(actual), Number(expected), 1e-9);
    } else if (type == "Single") {
        EXPECT_NEAR(Number(actual), Number(expected), 1e-6);
    } else if (type == "DateTime") {
        std::string e = expected.get<std::string>();
        if (e.size() == 10) {
            e += "T00:00:00";
        }
        EXPECT_EQ(actual.get<std::string>(), e + ".000Z");
    } else if (type == "GUID") {
        std::string e = Lower(expected.get<std::string>());
        EXPECT_EQ(actual.get<std::string>(), e.substr(1, e.size() - 2));
    } else if (type == "Binary" || type == "OLE") {
        const std::string e = expected.get<std::string>();
        EXPECT_EQ(actual.get<std::string>(), e.rfind("0x", 0) == 0 ? Lower(e) : Hex(e));
    } else {
        EXPECT_EQ(actual, expected);
    }
}

// Checks every described table, column and given row against the reader.
void ExpectMatchesDescription(const Json& description, const Json& read) {
    for (const Json& table : description["tables"]) {
        const std::string name = table["name"];
        SCOPED_TRACE("table " + name);
        ASSERT_TRUE(read["tables"].contains(name));
        const Json& got = read["tables"][name];
        const Json& columns = table["columns"];
        ASSERT_EQ(got["columns"].size(), columns.size());
        for (std::size_t i = 0; i < columns.size(); ++i) {
            EXPECT_EQ(got["columns"][i]["name"], columns[i]["name"]);
            EXPECT_EQ(got["columns"][i]["type"], ReaderType(columns[i]["type"]));
            EXPECT_EQ(got["columns"][i]["size"], ReaderSize(columns[i]));
            const bool autoNumber = columns[i].value("autoNumber", false);
            EXPECT_EQ(got["columns"][i]["autoLong"], autoNumber && columns[i]["type"] == "Long");
            EXPECT_EQ(got["columns"][i]["autoUUID"], autoNumber && columns[i]["type"] == "GUID");
            if (columns[i]["type"] == "Decimal") {
                EXPECT_EQ(got["columns"][i]["precision"], columns[i]["precision"]);
                EXPECT_EQ(got["columns"][i]["scale"], columns[i]["scale"]);
            }
        }
        const Json rows = table.value("rows", Json::array());
        ASSERT_EQ(got["rowCount"], rows.size());
        ASSERT_EQ(got["rows"].size(), rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const std::string column = columns[c]["name"];
                const Json& actual = got["rows"][r][column];
                if (columns[c].value("autoNumber", false) && rows[r][c].is_null()) {
                    if (columns[c]["type"] == "Long") {
                        EXPECT_EQ(actual, r + 1);
                    } else {
                        EXPECT_TRUE(actual.is_string());
                    }
                    continue;
                }
                ExpectValue(columns[c]["type"], rows[r][c], actual,
                            "row " + std::to_string(r + 1) + ", column " + column);
            }
        }
    }
}

TEST_F(MdbReaderRoundTrip, SampleKeepsTablesColumnsAndRows) {
    const auto source = std::filesystem::path(OSTREL_SOURCE_DIR) / "samples/sample-business.json";
    const std::string text = ReadText(source);
    const Json read = Read(Generate(dir_, text));
    const Json description = Json::parse(text);
    ExpectMatchesDescription(description, read);

    // Table lists by kind: system-flagged tables are apart, links are links.
    const Json& normal = read["normal"];
    EXPECT_NE(std::find(normal.begin(), normal.end(), "AuditLog"), normal.end());
    EXPECT_EQ(std::find(normal.begin(), normal.end(), "USysSettings"), normal.end());
    const Json& system = read["system"];
    for (const char* name : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships",
                             "MSysAccessObjects", "USysSettings"}) {
        EXPECT_NE(std::find(system.begin(), system.end(), name), system.end()) << name;
    }
    EXPECT_EQ(read["linked"], Json::array({"ArchivedOrders"}));
}

TEST_F(MdbReaderRoundTrip, EveryTypeAtItsLimits) {
    const std::string longMemo(9000, 'm');  // three chained long-value pages
    std::string bigOle = "0x";
    for (int i = 0; i < 5000; ++i) {
        bigOle += "a5";
    }
    const Json description = {
        {"created", "2023-01-02T03:04:05"},
        {"tables",
         {{{"name", "Limits"},
           {"columns",
            {{{"name", "B"}, {"type", "Boolean"}},
             {{"name", "Y"}, {"type", "Byte"}},
             {{"name", "I"}, {"type", "Integer"}},
             {{"name", "L"}, {"type", "Long"}},
             {{"name", "C"}, {"type", "Currency"}},
             {{"name", "S"}, {"type", "Single"}},
             {{"name", "D"}, {"type", "Double"}},
             {{"name", "T"}, {"type", "DateTime"}},
             {{"name", "Bin"}, {"type", "Binary"}, {"size", 510}},
             {{"name", "Txt"}, {"type", "Text"}, {"size", 255}},
             {{"name", "O"}, {"type", "OLE"}},
             {{"name", "M"}, {"type", "Memo"}},
             {{"name", "G"}, {"type", "GUID"}},
             {{"name", "N"}, {"type", "Decimal"}, {"precision", 28}, {"scale", 6}},
             {{"name", "H"}, {"type", "Hyperlink"}}}},
           {"rows",
            {{true, 255, -32768, -2147483648LL, "-922337203685477.5808", 3.5, -1.25e300,
              "2099-12-31T23:59:59", "0x00ff", "Ærø — ü and \"quotes\", commas", bigOle, longMemo,
              "{00000000-0000-0000-0000-000000000001}", "-1234567890123456789012.123456",
              "x#http://x.example/#"},
             {false, 0, 32767, 2147483647LL, "922337203685477.5807", -0.0, 0.0, "1900-01-01", "",
              "", "0x", "", "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}", "0.000001", nullptr},
             {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}}}}}}};
    const Json read = Read(Generate(dir_, description.dump()));
    ExpectMatchesDescription(description, read);
    ASSERT_TRUE(read["tables"].contains("Limits"));
    EXPECT_EQ(read["tables"]["Limits"]["rows"][0]["M"], longMemo);
    EXPECT_EQ(read["tables"]["Limits"]["rows"][0]["N"], "-1234567890123456789012.123456");
}

TEST_F(MdbReaderRoundTrip, GeneratedRowsSpanManyPages) {
    // Enough rows that the table's pages outgrow an inline usage map.
    const Json description = {{"tables",
                               {{{"name", "Bulk"},
                                 {"columns",
                                  {{{"name", "ID"}, {"type", "Long"}, {"autoNumber", true}},
                                   {{"name", "Label"}, {"type", "Text"}, {"size", 120}},
                                   {{"name", "Amount"}, {"type", "Currency"}},
                                   {{"name", "Note"}, {"type", "Memo"}}}},
                                 {"generate", {{"count", 40000}, {"seed", 3}}}}}}};
    const Json read = Read(Generate(dir_, description.dump()));
    const Json& bulk = read["tables"]["Bulk"];
    ASSERT_EQ(bulk["rowCount"], 40000);
    ASSERT_EQ(bulk["rows"].size(), 40000U);
    EXPECT_EQ(bulk["rows"][0]["ID"], 1);
    EXPECT_EQ(bulk["rows"][39999]["ID"], 40000);
    EXPECT_EQ(bulk["rows"][10]["Note"].get<std::string>().size(), 300U);
}

}  // namespace
}  // namespace ostrel::jetgen::test
