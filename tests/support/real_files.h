#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ostrel::testsupport {

// Every .mdb and .accdb file below folder, as paths relative to it with "/"
// between the parts, sorted; empty when the folder is absent.
std::vector<std::string> ListDatabases(const std::filesystem::path& folder);

// A test name made of a relative path's letters and digits.
std::string TestNameOf(const std::string& relative);

}  // namespace ostrel::testsupport
