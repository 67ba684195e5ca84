#include "tests/support/real_files.h"

#include <algorithm>
#include <cctype>

namespace ostrel::testsupport {

std::vector<std::string> ListDatabases(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        return files;
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".mdb" || extension == ".accdb")) {
            files.push_back(fs::relative(entry.path(), folder).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string TestNameOf(const std::string& relative) {
    std::string name;
    for (const char c : relative) {
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return name;
}

std::filesystem::path EncryptedTestDataDir(const std::filesystem::path& testdataDir) {
    return testdataDir.parent_path() / "testdata-encrypted";
}

std::optional<std::string> KnownPassword(const std::filesystem::path& file) {
    // As the test data's notes give them.
    const std::string name = file.filename().string();
    if (name == "db2007-enc.accdb") {
        return "Test123";
    }
    if (name == "V2010_with-password.accdb") {
        return "password";
    }
    return std::nullopt;
}

}  // namespace ostrel::testsupport
