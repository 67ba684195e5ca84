#include "tests/support/expected_facts.h"

#include <algorithm>
#include <fstream>
#include <regex>
#include <stdexcept>

namespace ostrel::testsupport {
namespace {

constexpr std::string_view kJsonSuffix = ".json";

ExpectedFacts Load(const std::filesystem::path& testData, const std::filesystem::path& jsonPath) {
    std::ifstream in(jsonPath, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " + jsonPath.string());
    }
    ExpectedFacts expected;
    expected.jsonPath = jsonPath;
    try {
        expected.facts = nlohmann::json::parse(in);
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error("cannot parse " + jsonPath.string() + ": " + error.what());
    }
    // "jackcess__V2000__x.mdb.json" describes "jackcess/V2000/x.mdb".
    std::string name = jsonPath.filename().string();
    name.resize(name.size() - kJsonSuffix.size());
    std::string relative;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name.compare(i, 2, "__") == 0) {
            relative += '/';
            ++i;
        } else {
            relative += name[i];
        }
    }
    expected.databasePath = testData / relative;
    return expected;
}

}  // namespace

std::vector<ExpectedFacts> LoadAllExpectedFacts(const std::filesystem::path& testData) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(testData / "expected")) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.size() > kJsonSuffix.size() &&
            name.ends_with(kJsonSuffix)) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<ExpectedFacts> all;
    all.reserve(files.size());
    for (const auto& file : files) {
        all.push_back(Load(testData, file));
    }
    return all;
}

ExpectedFacts LoadExpectedFacts(const std::filesystem::path& testData,
                                const std::string& relativeDatabase) {
    std::string name = relativeDatabase;
    for (std::size_t pos = name.find('/'); pos != std::string::npos; pos = name.find('/', pos)) {
        name.replace(pos, 1, "__");
    }
    return Load(testData, testData / "expected" / (name + std::string(kJsonSuffix)));
}

namespace {

// A parameter's name as Access's SQL view writes it: brackets around a name
// that needs them, around each part of a form's or report's control.
std::string AccessParameterName(const std::string& name) {
    static const std::regex plain(R"([A-Za-z0-9_]+)");
    static const std::regex reference(R"((Forms|Reports)(![^!]+)+)", std::regex::icase);
    if (name.starts_with('[') || std::regex_match(name, plain)) {
        return name;
    }
    if (!std::regex_match(name, reference)) {
        return "[" + name + "]";
    }
    std::string out;
    std::size_t start = 0;
    for (std::size_t bang = name.find('!');; bang = name.find('!', start)) {
        const std::string part = name.substr(start, bang - start);
        out += std::regex_match(part, plain) ? part : "[" + part + "]";
        if (bang == std::string::npos) {
            return out;
        }
        out += '!';
        start = bang + 1;
    }
}

}  // namespace

std::string SqlAsAccessShowsIt(const nlohmann::json& query) {
    std::string sql = query.at("sql").get<std::string>();
    while (!sql.empty() && sql.back() == '\0') {
        sql.pop_back();
    }
    if (!sql.starts_with("PARAMETERS ")) {
        return sql;
    }
    // The recorded clause writes names as stored and sizes as "Text(255)";
    // Access writes "[Beginning Date] DateTime" and "Text ( 255 )".
    const std::size_t end = sql.find(";\r\n");
    std::string clause;
    for (const auto& parameter : query.at("parameters")) {
        const std::string text = parameter.get<std::string>();
        const RecordedParameter recorded = SplitRecordedParameter(text);
        const std::size_t size = text.rfind('(');
        clause += clause.empty() ? "PARAMETERS " : ", ";
        clause += AccessParameterName(recorded.name) + " " + recorded.typeWord;
        if (text.back() == ')' && size != std::string::npos) {
            clause += " ( " + text.substr(size + 1, text.size() - size - 2) + " )";
        }
    }
    return clause + (end == std::string::npos ? "" : sql.substr(end));
}

RecordedParameter SplitRecordedParameter(const std::string& text) {
    std::string plain = text;
    if (!plain.empty() && plain.back() == ')') {
        plain.erase(plain.rfind('('));
    }
    const std::size_t blank = plain.rfind(' ');
    if (blank == std::string::npos) {
        throw std::runtime_error("recorded parameter without a type: " + text);
    }
    return {plain.substr(0, blank), plain.substr(blank + 1)};
}

}  // namespace ostrel::testsupport
