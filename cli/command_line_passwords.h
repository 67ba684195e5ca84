#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "components/schema/password.h"

namespace ostrel::cli {

// Asks the user at the terminal for the password of a file, without echo;
// nothing when the user gives none (end of input).
using TerminalPrompt = std::function<std::optional<schema::Password>(const std::string& path)>;

// Where the batch program's passwords come from. The database (OLD in a
// comparison) takes the first line of --password-file, NEW that of
// --new-password-file ("-": standard input); a file that no option covers
// (also a linked table's source) is asked for at the terminal when standard
// input is one. Each password is read once, when a file first needs it, and
// kept only until the command ends.
class CommandLinePasswords {
  public:
    // prompt is empty when standard input is not a terminal.
    CommandLinePasswords(const CommandLine& line, TerminalPrompt prompt);

    // For the schema engine. Throws schema::PasswordError when no password
    // can be had, naming the option that gives it, or when the password
    // file cannot be read.
    schema::PasswordProvider Provider();

  private:
    std::optional<schema::Password> For(const std::string& path);

    std::string database_;
    std::optional<std::string> newDatabase_;
    std::optional<std::string> passwordFile_;
    std::optional<std::string> newPasswordFile_;
    TerminalPrompt prompt_;
    std::map<std::string, schema::Password> known_;  // by path
};

// The first line of a password file (or of standard input for "-"), as
// UTF-8, without its line end. Throws std::runtime_error saying why the file
// cannot be read.
schema::Password ReadPasswordFile(const std::string& file);

// The terminal prompt of the program: "Password for FILE: " on standard
// error, the answer read from standard input with echo off.
std::optional<schema::Password> AskAtTerminal(const std::string& path);

}  // namespace ostrel::cli
