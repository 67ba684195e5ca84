#include "tests/jetgen/tool_runner.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <memory>
#include <random>

#include "tools/jetgen/description_json.h"
#include "tools/jetgen/generator.h"
#include "tools/jetgen/generator_error.h"

namespace ostrel::jetgen::test {

std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (const char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

CommandResult RunCommand(const std::string& commandLine) {
    CommandResult result;
    struct Closer {
        void operator()(FILE* f) const {
            if (f != nullptr) {
                pclose(f);
            }
        }
    };
    FILE* pipe = popen((commandLine + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 65536> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.output.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool HaveProgram(const std::string& name) {
    return RunCommand("command -v " + ShellQuote(name)).status == 0;
}

ScratchDir::ScratchDir() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("ostrel-jetgen-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path Generate(const ScratchDir& dir, const std::string& descriptionJson,
                               const std::string& fileName) {
    auto path = dir.Path() / fileName;
    try {
        WriteDatabase(ParseDescription(descriptionJson), path);
    } catch (const GeneratorError& e) {
        ADD_FAILURE() << "generation failed: " << e.what();
    }
    return path;
}

bool EnsureMdbReader() {
    const std::string prefix = OSTREL_NODE_DIR;
    const std::string marker = prefix + "/node_modules/mdb-reader/package.json";
    if (std::filesystem::exists(marker)) {
        return true;
    }
    if (!HaveProgram("npm") || !HaveProgram("node") || !HaveProgram("flock")) {
        return false;
    }
    std::filesystem::create_directories(prefix);
    const std::string install = "test -f " + ShellQuote(marker) +
                                " || timeout 300 npm install --prefix " + ShellQuote(prefix) +
                                " --no-audit --no-fund mdb-reader >/dev/null";
    RunCommand("flock " + ShellQuote(prefix + "/.install-lock") + " sh -c " + ShellQuote(install));
    return std::filesystem::exists(marker);
}

CommandResult ReadWithMdbReader(const std::filesystem::path& file) {
    return RunCommand("node " + ShellQuote(OSTREL_READ_MDB_SCRIPT) + " " +
                      ShellQuote(OSTREL_NODE_DIR) + " " + ShellQuote(file.string()));
}

}  // namespace ostrel::jetgen::test
