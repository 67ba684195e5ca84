#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace ostrel::testsupport {

// One expected/*.json file: the facts an independent reader recorded for one
// database of the test-data folder.
struct ExpectedFacts {
    std::filesystem::path jsonPath;
    std::filesystem::path databasePath;  // the database the facts describe
    nlohmann::json facts;
};

// Every expected/*.json below testData, sorted by name. Throws
// std::runtime_error when a file cannot be read or parsed.
std::vector<ExpectedFacts> LoadAllExpectedFacts(const std::filesystem::path& testData);

// The expected file for one database path relative to testData, such as
// "jackcess/V2000/queryTestV2000.mdb".
ExpectedFacts LoadExpectedFacts(const std::filesystem::path& testData,
                                const std::string& relativeDatabase);

// A recorded query's "sql" as Access's SQL view shows it. The recording keeps
// the NUL that ends pass-through and data-definition statements, writes
// parameter names as stored where Access brackets those that need it, and a
// Text parameter's size as "Text(255)" where Access writes "Text ( 255 )".
std::string SqlAsAccessShowsIt(const nlohmann::json& query);

// A recorded parameter ("name type" or "name Text(255)"): its name and the
// word naming its type.
struct RecordedParameter {
    std::string name;
    std::string typeWord;
};
RecordedParameter SplitRecordedParameter(const std::string& text);

}  // namespace ostrel::testsupport
