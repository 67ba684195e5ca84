#include "tests/jet/testdata_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace ostrel::jet::test {

std::vector<TestFile> ListTestFiles() {
    namespace fs = std::filesystem;
    std::vector<TestFile> files;
    const fs::path root(OSTREL_TESTDATA_DIR);
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        return files;
    }
    for (const auto& entry : fs::recursive_directory_iterator(root, ec)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".mdb" && ext != ".accdb")) {
            continue;
        }
        TestFile f;
        f.relative = fs::relative(entry.path(), root).generic_string();
        f.path = entry.path().string();
        std::string flat = f.relative;
        std::string escaped;
        for (const char c : flat) {
            escaped += c == '/' ? std::string("__") : std::string(1, c);
        }
        f.expected = (root / "expected" / (escaped + ".json")).string();
        files.push_back(std::move(f));
    }
    std::sort(files.begin(), files.end(),
              [](const TestFile& a, const TestFile& b) { return a.relative < b.relative; });
    return files;
}

std::string TestNameOf(const TestFile& file) {
    std::string name;
    for (const char c : file.relative) {
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return name;
}

}  // namespace ostrel::jet::test
