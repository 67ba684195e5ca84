#pragma once

// The real Access files beside the project (OSTREL_TESTDATA_DIR), listed for
// value-parameterised tests.

#include <ostream>
#include <string>
#include <vector>

namespace ostrel::jet::test {

struct TestFile {
    std::string relative;  // e.g. "jackcess/V2000/testV2000.mdb"
    std::string path;
    std::string expected;  // path of expected/<relative with / as __>.json
};

// Test output names the file by its relative path.
inline void PrintTo(const TestFile& file, std::ostream* out) {
    *out << file.relative;
}

// Every .mdb and .accdb file below the test data folder, sorted; empty when
// the folder is absent.
std::vector<TestFile> ListTestFiles();

// A test name made of the relative path's letters and digits.
std::string TestNameOf(const TestFile& file);

}  // namespace ostrel::jet::test
