#pragma once

// Where the real Access files live. Include only from test targets made with
// ostrel_add_gtest, which define OSTREL_TESTDATA_DIR.

#include <filesystem>
#include <optional>

namespace ostrel::testsupport {

// The test-data folder, or nothing when it is absent (tests then skip).
inline std::optional<std::filesystem::path> TestDataDir() {
    std::filesystem::path dir(OSTREL_TESTDATA_DIR);
    std::error_code error;
    if (!std::filesystem::is_directory(dir / "expected", error)) {
        return std::nullopt;
    }
    return dir;
}

}  // namespace ostrel::testsupport
