// The password options and where the batch program takes each password from.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/command_line.h"
#include "cli/command_line_passwords.h"
#include "components/schema/schema_error.h"

namespace ostrel::cli {
namespace {

namespace fs = std::filesystem;

std::string UsageErrorOf(const std::vector<std::string_view>& arguments) {
    try {
        ParseCommandLine(arguments);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "(accepted)";
}

TEST(PasswordOptions, NameAFileForEachDatabase) {
    CommandLine line = ParseCommandLine({"--password-file", "pw.txt", "db.accdb"});
    EXPECT_EQ(line.passwordFile, "pw.txt");
    EXPECT_FALSE(line.newPasswordFile.has_value());
    line = ParseCommandLine(
        {"--password-file=-", "--new-password-file=new pw", "--compare", "a.accdb", "b.accdb"});
    EXPECT_EQ(line.passwordFile, "-");
    EXPECT_EQ(line.newPasswordFile, "new pw");

    struct Case {
        std::vector<std::string_view> arguments;
        const char* error;
    };
    const std::vector<Case> cases = {
        {{"--password-file", "db.accdb"}, "no database named"},
        {{"db.accdb", "--password-file"}, "option --password-file needs a value"},
        {{"--password-file=", "db.accdb"},
         "option --password-file needs a file name, or - for standard input"},
        {{"--password-file", "a", "--password-file", "b", "db.accdb"},
         "option --password-file is given more than once"},
        {{"--new-password-file", "a", "db.accdb"}, "--new-password-file is for use with --compare"},
        {{"--password-file", "-", "--new-password-file", "-", "--compare", "a", "b"},
         "only one of --password-file and --new-password-file can be read from standard input"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UsageErrorOf(c.arguments), c.error);
    }
}

// A file removed when it goes.
struct TextFile {
    fs::path path;
    TextFile(const std::string& name, const std::string& text)
        : path(fs::temp_directory_path() / (name + std::to_string(::getpid()))) {
        std::ofstream(path, std::ios::binary) << text;
    }
    ~TextFile() { fs::remove(path); }
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
};

std::string Given(const schema::PasswordProvider& provider, const std::string& path) {
    const auto password = provider(path);
    return password ? std::string(password->Utf8()) : "(none)";
}

TEST(CommandLinePasswords, EachDatabaseTakesItsOwnAndEachFileIsReadOnce) {
    const TextFile oldFile("ostrel2-old-", "old secret\r\nnot this\n");
    const TextFile newFile("ostrel2-new-", "new secret");
    CommandLine line =
        ParseCommandLine({"--password-file", oldFile.path.string(), "--new-password-file",
                          newFile.path.string(), "--compare", "old.accdb", "new.accdb"});
    std::vector<std::string> prompted;
    CommandLinePasswords passwords(line, [&](const std::string& path) {
        prompted.push_back(path);
        return std::optional<schema::Password>(schema::Password("typed"));
    });
    const schema::PasswordProvider provider = passwords.Provider();
    EXPECT_EQ(Given(provider, "old.accdb"), "old secret");
    EXPECT_EQ(Given(provider, "new.accdb"), "new secret");
    // A linked table's source: no option covers it, the terminal is asked.
    EXPECT_EQ(Given(provider, "linked.accdb"), "typed");
    EXPECT_EQ(prompted, std::vector<std::string>{"linked.accdb"});
    // Later opens of the same files read nothing again (standard input can
    // be read only once) and ask nothing again.
    fs::remove(oldFile.path);
    fs::remove(newFile.path);
    EXPECT_EQ(Given(provider, "old.accdb"), "old secret");
    EXPECT_EQ(Given(provider, "new.accdb"), "new secret");
    EXPECT_EQ(Given(provider, "linked.accdb"), "typed");
    EXPECT_EQ(prompted.size(), 1U);
}

TEST(CommandLinePasswords, WithoutFileOrTerminalThePasswordIsMissing) {
    const CommandLine line = ParseCommandLine({"--compare", "old.accdb", "new.accdb"});
    CommandLinePasswords passwords(line, {});
    const schema::PasswordProvider provider = passwords.Provider();
    for (const auto& [path, option] :
         {std::pair<std::string, std::string>{"old.accdb", "--password-file"},
          {"new.accdb", "--new-password-file"}}) {
        try {
            provider(path);
            ADD_FAILURE() << "a password came from nowhere";
        } catch (const schema::PasswordError& e) {
            EXPECT_EQ(e.WhatFailed(), schema::PasswordError::Reason::Missing);
            EXPECT_EQ(std::string(e.what()),
                      schema::MissingPasswordMessage(path) + "; give it with " + option +
                          " FILE (the password on its first line, - for standard input)");
        }
    }
}

TEST(CommandLinePasswords, OnlyTheFirstLineCountsAndItHasALimit) {
    struct Case {
        const char* what;
        std::string text;
        std::string password;
    };
    const std::vector<Case> cases = {
        {"empty file", "", ""},
        {"empty first line", "\nsecond\n", ""},
        {"carriage return kept inside", "a\rb\n", "a\rb"},
        {"spaces kept", "  two words  \r\n", "  two words  "},
        {"UTF-8 kept as it is",
         "gr\xC3\xBC\xC3\x9F"
         "e\n",
         "gr\xC3\xBC\xC3\x9F"
         "e"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TextFile file("ostrel2-pw-", c.text);
        EXPECT_EQ(ReadPasswordFile(file.path.string()).Utf8(), c.password);
    }
    const TextFile huge("ostrel2-huge-", std::string(70'000, 'x'));
    try {
        ReadPasswordFile(huge.path.string());
        ADD_FAILURE() << "read a 70,000-byte line as a password";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("longer than 65536 bytes"), std::string::npos)
            << e.what();
    }
}

}  // namespace
}  // namespace ostrel::cli
