// The ostrel2-report program itself, run as a user runs it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "tests/support/expected_facts.h"
#include "tests/support/testdata_dir.h"

namespace ostrel::cli {
namespace {

namespace fs = std::filesystem;

struct ProgramResult {
    int status = -1;
    std::string out;
    std::string err;
};

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

ProgramResult RunProgram(const std::vector<std::string>& arguments,
                         const std::string& environment = {}) {
    const fs::path errFile =
        fs::temp_directory_path() / ("ostrel2-program-test-" + std::to_string(::getpid()) + ".err");
    std::string command = environment + Quoted(OSTREL_REPORT_PROGRAM);
    for (const auto& argument : arguments) {
        command += " " + Quoted(argument);
    }
    command += " 2>" + Quoted(errFile.string());
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

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

TEST(Program, VersionHelpAndUsageErrors) {
    ProgramResult result = RunProgram({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "ostrel2-report 1.0.6\n");

    result = RunProgram({"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("Usage: ostrel2-report", 0), 0U);

    result = RunProgram({});
    EXPECT_EQ(result.status, 64);
    EXPECT_NE(result.err.find("no database named"), std::string::npos);

    // Not to be mistaken for "the database does not exist" (2).
    result = RunProgram({"--colour", "/nonexistent/x.mdb"});
    EXPECT_EQ(result.status, 64);
    EXPECT_NE(result.err.find("unknown option --colour"), std::string::npos);
}

TEST(Program, MissingDatabaseAndUnwritableCsv) {
    ProgramResult result = RunProgram({"/nonexistent/folder/x.mdb"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "ostrel2-report: Database does not exist\n");

    const auto testData = testsupport::TestDataDir();
    if (!testData) {
        GTEST_SKIP() << "no test data beside the project";
    }
    const std::string database = (*testData / "jackcess/V2000/queryTestV2000.mdb").string();
    result = RunProgram({"--csv", "/nonexistent/folder/report.csv", database});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err,
              "ostrel2-report: Unable to open CSV file - please check that it is not locked "
              "elsewhere\n\n/nonexistent/folder/report.csv\nThe folder /nonexistent/folder does "
              "not exist.\n");
}

// Every file with queries: the report lists every table the pickers would
// tick and every query with its rebuilt SQL on one line.
TEST(Program, ReportsRealDatabases) {
    const auto testData = testsupport::TestDataDir();
    if (!testData) {
        GTEST_SKIP() << "no test data beside the project";
    }
    for (const std::string file :
         {"jackcess/V1997/queryTestV1997.mdb", "jackcess/V2000/queryTestV2000.mdb",
          "jackcess/V2007/queryTestV2007.accdb"}) {
        SCOPED_TRACE(file);
        const auto expected = testsupport::LoadExpectedFacts(*testData, file);
        const ProgramResult result = RunProgram({"--all-switches", expected.databasePath.string()});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out.rfind("Ostrel2 Version 1.0.6\r\n", 0), 0U);

        for (const auto& table : expected.facts.at("tables")) {
            const std::string name = table.at("name").get<std::string>();
            const bool system = name.size() >= 4 && (name[0] == 'M' || name[0] == 'm') &&
                                (name.compare(1, 3, "Sys") == 0 || name.compare(1, 3, "SYS") == 0 ||
                                 name.compare(1, 3, "sys") == 0);
            EXPECT_EQ(result.out.find("\r\nTable : " + name + "\r\n") != std::string::npos, !system)
                << name;
        }
        for (const auto& query : expected.facts.at("queries")) {
            const std::string name = query.at("name").get<std::string>();
            std::string sql = query.at("sql").get<std::string>();
            while (!sql.empty() && sql.back() == '\0') {
                sql.pop_back();
            }
            EXPECT_NE(result.out.find("\r\nQuery : " + name + "\r\n"), std::string::npos) << name;
            EXPECT_NE(result.out.find("\r\n,SQL," + OneLine(sql) + "\r\n"), std::string::npos)
                << name;
        }
    }
}

#ifdef OSTREL_CLI_SWITCH_STORE
// Without --all-switches the switches the user stored apply.
TEST(Program, UsesTheStoredSwitchesUnlessAllAreAskedFor) {
    const auto testData = testsupport::TestDataDir();
    if (!testData) {
        GTEST_SKIP() << "no test data beside the project";
    }
    const fs::path home =
        fs::temp_directory_path() / ("ostrel2-program-home-" + std::to_string(::getpid()));
    fs::create_directories(home / "config" / "Ostrel2");
    std::ofstream(home / "config" / "Ostrel2" / "Ostrel2.ini")
        << "[Config]\nDatabase Version=False\nDatabase CollatingOrder=True\n";
    const std::string environment = "HOME=" + Quoted(home.string()) +
                                    " XDG_CONFIG_HOME=" + Quoted((home / "config").string()) + " ";
    const std::string database = (*testData / "jackcess/V2000/queryTestV2000.mdb").string();

    ProgramResult result = RunProgram({database}, environment);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\r\nCollatingOrder,1033\r\n"), std::string::npos);
    EXPECT_EQ(result.out.find("\r\nVersion,"), std::string::npos);

    result = RunProgram({"--all-switches", database}, environment);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\r\nVersion,4.0\r\n"), std::string::npos);
    fs::remove_all(home);
}
#endif

}  // namespace
}  // namespace ostrel::cli
