#include "tests/cli/program_runner.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace ostrel::cli::test {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

ProgramResult RunProgram(const std::vector<std::string>& arguments, const std::string& environment,
                         const std::string& input) {
    namespace fs = std::filesystem;
    const fs::path errFile =
        fs::temp_directory_path() / ("ostrel2-program-test-" + std::to_string(::getpid()) + ".err");
    std::string command = environment + Quoted(OSTREL_REPORT_PROGRAM);
    for (const auto& argument : arguments) {
        command += " " + Quoted(argument);
    }
    command += " 2>" + Quoted(errFile.string());
    if (!input.empty()) {
        command += " <" + Quoted(input);
    }
    ProgramResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot start " << command;
        return result;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.out.append(buffer, got);
    }
    const int wait = ::pclose(pipe);
    result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    std::ifstream err(errFile, std::ios::binary);
    std::stringstream text;
    text << err.rdbuf();
    result.err = text.str();
    fs::remove(errFile);
    return result;
}

}  // namespace ostrel::cli::test
