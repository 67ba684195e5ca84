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

std::string SqlAsAccessShowsIt(const nlohmann::json& query) {
    std::string sql = query.at("sql").get<std::string>();
    while (!sql.empty() && sql.back() == '\0') {
        sql.pop_back();
    }
    if (!sql.starts_with("PARAMETERS ")) {
        return sql;
    }
    const std::size_t end = sql.find(";\r\n");
    static const std::regex sized(R"(\bText\((\d+)\))");
    const std::string clause = sql.substr(0, end);
    return std::regex_replace(clause, sized, "Text ( $1 )") +
           (end == std::string::npos ? "" : sql.substr(end));
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
