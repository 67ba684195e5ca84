#pragma once

#include <stdexcept>
#include <string>

namespace ostrel::schema {

// Raised by any member of the schema source that cannot give its value: a file
// that is not a database, a damaged table definition, a property the engine
// refuses. The message is meant for the user and says what could not be read.
class SchemaError : public std::runtime_error {
  public:
    explicit SchemaError(const std::string& message);
};

// A database that needs a password could not be opened: none was given
// (Missing) or the one given is not the database's (Wrong). Path names the
// file as it was asked for.
class PasswordError : public SchemaError {
  public:
    enum class Reason { Missing, Wrong };
    PasswordError(Reason reason, std::string path, const std::string& message);

    Reason WhatFailed() const { return reason_; }
    const std::string& Path() const { return path_; }

  private:
    Reason reason_;
    std::string path_;
};

// The messages of the two failures, for the reader and for the programs
// that ask for passwords.
std::string WrongPasswordMessage(const std::string& path);
std::string MissingPasswordMessage(const std::string& path);

}  // namespace ostrel::schema
