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

}  // namespace ostrel::testsupport
