#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ostrel::testsupport {

// Every .mdb and .accdb file below folder, as paths relative to it with "/"
// between the parts, sorted; empty when the folder is absent.
std::vector<std::string> ListDatabases(const std::filesystem::path& folder);

// A test name made of a relative path's letters and digits.
std::string TestNameOf(const std::string& relative);

// The encoded and password-protected real files, in a folder of their own
// beside the test data (testdataDir/../testdata-encrypted).
std::filesystem::path EncryptedTestDataDir(const std::filesystem::path& testdataDir);

// The database password of a real test file that has one (by its file
// name), or nothing.
std::optional<std::string> KnownPassword(const std::filesystem::path& file);

}  // namespace ostrel::testsupport
