#pragma once

// Runs the ostrel2-report program as a user runs it, for the program tests.

#include <string>
#include <vector>

namespace ostrel::cli::test {

struct ProgramResult {
    int status = -1;
    std::string out;
    std::string err;
};

// text in single quotes for the shell.
std::string Quoted(const std::string& text);

// Runs the program with arguments. environment is put in front of the
// command ("NAME=value "); standard input comes from the file input, or is
// the test's own when input is empty.
ProgramResult RunProgram(const std::vector<std::string>& arguments,
                         const std::string& environment = {}, const std::string& input = {});

}  // namespace ostrel::cli::test
