// The ostrel2-report program itself, run as a user runs it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "tests/cli/program_runner.h"
#include "tests/support/expected_facts.h"
#include "tests/support/real_files.h"
#include "tests/support/testdata_dir.h"
#include "tools/jetgen/generator.h"

namespace ostrel::cli {
namespace {

namespace fs = std::filesystem;
using test::ProgramResult;
using test::Quoted;
using test::RunProgram;

const std::string kSample = OSTREL_SOURCE_DIR "/samples/sample-business.mdb";

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

TEST(Program, MissingDatabaseNamesTheFileAndWhy) {
    ProgramResult result = RunProgram({"/nonexistent/folder/x.mdb"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err,
              "ostrel2-report: Database does not exist\n\n/nonexistent/folder/x.mdb\n"
              "There is no file of this name.\n");

    result = RunProgram({OSTREL_SOURCE_DIR "/samples"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("It is a folder, not a database file."), std::string::npos)
        << result.err;
}

// One rule for every kind of output: 3 when it cannot be written, with the
// file and the system's reason; standard output, devices and "-" are files
// like any other.
TEST(Program, EveryOutputThatCannotBeWrittenExitsWithThree) {
    const fs::path folder =
        fs::temp_directory_path() / ("ostrel2-program-outputs-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    struct Case {
        std::string option;
        std::string path;
        std::string reason;
    };
    const std::vector<Case> unwritable{
        {"--csv", "/nonexistent/folder/r.csv", "The folder /nonexistent/folder does not exist."},
        {"--json", "/nonexistent/folder/r.json", "The folder /nonexistent/folder does not exist."},
        {"--pdf", "/nonexistent/folder/r.pdf", "The folder /nonexistent/folder does not exist."},
        {"--diagram", "/nonexistent/folder/r.svg",
         "The folder /nonexistent/folder does not exist."},
        {"--csv", "/proc/r.csv", "No new file can be made in the folder /proc"},
        {"--pdf", "/proc/r.pdf", "No new file can be made in the folder /proc"},
        {"--pdf", folder.string(), "It is a folder."},
        {"--diagram", folder.string() + "/", "It names a folder, not a file."},
    };
    for (const Case& c : unwritable) {
        SCOPED_TRACE(c.option + " " + c.path);
        const ProgramResult result = RunProgram({"--all-switches", c.option, c.path, kSample});
        EXPECT_EQ(result.status, 3) << result.err;
        EXPECT_NE(result.err.find(c.path), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.reason), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("locked elsewhere"), std::string::npos) << result.err;
    }
    EXPECT_EQ(fs::directory_iterator(folder), fs::directory_iterator()) << "a file was left";

    const std::vector<std::pair<std::string, std::string>> starts{
        {"--csv", "Ostrel2 Version"}, {"--json", "{"}, {"--pdf", "%PDF"}, {"--diagram", "<?xml"}};
    for (const auto& [option, start] : starts) {
        SCOPED_TRACE(option);
        EXPECT_EQ(RunProgram({option, "/dev/null", kSample}).status, 0);
        for (const std::string target : {"/dev/stdout", "-"}) {
            const ProgramResult piped = RunProgram({option, target, kSample});
            EXPECT_EQ(piped.status, 0) << piped.err;
            EXPECT_EQ(piped.out.rfind(start, 0), 0U) << target;
        }
    }
    // A diagram named without an extension is SVG.
    const fs::path diagram = folder / "relations";
    EXPECT_EQ(RunProgram({"--diagram", diagram.string(), kSample}).status, 0);
    std::ifstream svg(diagram);
    std::string head(5, '\0');
    svg.read(head.data(), 5);
    EXPECT_EQ(head, "<?xml");
    fs::remove_all(folder);
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
            const std::string sql = testsupport::SqlAsAccessShowsIt(query);
            EXPECT_NE(result.out.find("\r\nQuery : " + name + "\r\n"), std::string::npos) << name;
            EXPECT_NE(result.out.find("\r\n,SQL," + OneLine(sql) + "\r\n"), std::string::npos)
                << name;
        }
    }
}

// Every real file we have, from the shared test data (the encoded and
// password-protected ones too, each with its password) and from the packages
// the tests fetch, through all four sections with every switch on. The user
// tables mdbtools lists must all be documented.
TEST(Program, FullReportOfEveryRealFile) {
    const std::string fetched = OSTREL_FETCHED_SAMPLES_DIR;
    for (const char* script : {"fetch_debian_samples.sh", "fetch_npm_samples.sh"}) {
        const std::string folder = fetched + (script[6] == 'd' ? "/debian" : "/npm");
        const std::string command =
            "sh " + Quoted(std::string(OSTREL_SOURCE_DIR) + "/tests/jet/" + script) + " " +
            Quoted(folder) + " >/dev/null 2>&1";
        [[maybe_unused]] const int ignored = std::system(command.c_str());
    }
    std::vector<fs::path> files;
    for (const fs::path& folder :
         {fs::path(OSTREL_TESTDATA_DIR), testsupport::EncryptedTestDataDir(OSTREL_TESTDATA_DIR),
          fs::path(fetched)}) {
        for (const std::string& relative : testsupport::ListDatabases(folder)) {
            if (relative.find("unpacked/") == std::string::npos) {
                files.push_back(folder / relative);
            }
        }
    }
    if (files.empty()) {
        GTEST_SKIP() << "no real files: test data absent and nothing could be fetched";
    }
    const bool mdbtools = std::system("command -v mdb-tables >/dev/null 2>&1") == 0;
    const fs::path passwordFile =
        fs::temp_directory_path() / ("ostrel2-password-" + std::to_string(::getpid()));
    struct Remove {
        fs::path path;
        ~Remove() { fs::remove(path); }
    } const removePasswordFile{passwordFile};
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        std::vector<std::string> arguments = {"--all-switches", "--csv", "-", file.string()};
        if (const auto password = testsupport::KnownPassword(file)) {
            std::ofstream(passwordFile) << *password << "\n";
            arguments.insert(arguments.begin(), {"--password-file", passwordFile.string()});
        }
        const ProgramResult result = RunProgram(arguments);
        ASSERT_EQ(result.status, 0) << result.err;
        for (const char* section : {"1 - Database Properties", "2 - Table Properties",
                                    "3 - Relationship Properties", "4 - Query Properties"}) {
            EXPECT_NE(result.out.find(std::string("\r\n") + section + "\r\n"), std::string::npos)
                << section;
        }
        if (!mdbtools) {
            continue;
        }
        FILE* pipe =
            ::popen(("mdb-tables -1 " + Quoted(file.string()) + " 2>/dev/null").c_str(), "r");
        char line[512];
        while (pipe != nullptr && std::fgets(line, sizeof line, pipe) != nullptr) {
            std::string name(line);
            name.erase(name.find_last_not_of("\r\n") + 1);
            if (!name.empty() && name.rfind("MSys", 0) != 0 && name.rfind("f_", 0) != 0) {
                EXPECT_NE(result.out.find("\r\nTable : " + name + "\r\n"), std::string::npos)
                    << name;
            }
        }
        if (pipe != nullptr) {
            ::pclose(pipe);
        }
    }
}

// A front end whose back end is missing, found in a named folder, or damaged.
TEST(Program, SplitDatabase) {
    const fs::path folder =
        fs::temp_directory_path() / ("ostrel2-split-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "back");
    jetgen::DatabaseDescription front;
    front.linkedTables.push_back(
        {"Customers", "\\\\server\\share\\Sales Data.mdb", "Clients", std::nullopt, 0, 0});
    jetgen::DatabaseDescription back;
    jetgen::TableDescription clients;
    clients.name = "Clients";
    jetgen::ColumnDescription column;
    column.name = "Client's name";
    clients.columns.push_back(column);
    back.tables.push_back(clients);
    // A local table joined to the linked one, for the diagram.
    jetgen::TableDescription orders;
    orders.name = "Orders";
    jetgen::ColumnDescription client;
    client.name = "Client";
    orders.columns.push_back(client);
    front.tables.push_back(orders);
    front.relationships.push_back({"CustomersOrders",
                                   "Customers",
                                   "Orders",
                                   {"Client's name"},
                                   {"Client"},
                                   jetgen::kRelationDontEnforce});
    const std::string frontPath = (folder / "Front End.mdb").string();
    jetgen::WriteDatabase(front, frontPath);
    const std::string row = "\r\n,Fields,cannot be listed because its source database ";
    ProgramResult result;
    const std::string warning =
        "ostrel2-report: warning: linked table 'Customers': its fields cannot be listed "
        "because its source database '\\\\server\\share\\Sales Data.mdb' cannot be found\n";

    // Every output documents what it can and warns about the rest.
    for (const std::string option : {"--json", "--pdf", "--diagram"}) {
        const fs::path out =
            folder / ("out" + option.substr(1) + (option == "--json" ? "" : ".pdf"));
        result = RunProgram({"--all-switches", option, out.string(), frontPath});
        EXPECT_EQ(result.status, 0) << option << ": " << result.err;
        EXPECT_EQ(result.err, warning) << option;
        EXPECT_GT(fs::file_size(out), 0U) << option;
    }
    std::ifstream json(folder / "out-json");
    const auto report = nlohmann::json::parse(json);
    EXPECT_EQ(report["tables"]["Customers"]["fieldsNotListed"],
              "its source database '\\\\server\\share\\Sales Data.mdb' cannot be found");
    EXPECT_TRUE(report["tables"]["Customers"]["fields"].empty());
    fs::copy_file(frontPath, folder / "Copy.mdb");
    result = RunProgram({"--all-switches", "--compare", frontPath, (folder / "Copy.mdb").string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err,
              "ostrel2-report: warning: old database: linked table 'Customers'"
              ": its fields cannot be listed because its source database "
              "'\\\\server\\share\\Sales Data.mdb' cannot be found\n"
              "ostrel2-report: warning: new database: linked table 'Customers'"
              ": its fields cannot be listed because its source database "
              "'\\\\server\\share\\Sales Data.mdb' cannot be found\n");
    fs::remove(folder / "Copy.mdb");

    result = RunProgram({"--all-switches", frontPath});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, warning);
    EXPECT_NE(result.out.find(row + "'\\\\server\\share\\Sales Data.mdb' cannot be found\r\n"),
              std::string::npos);
    EXPECT_NE(result.out.find("\r\n,SourceTableName,Clients\r\n"), std::string::npos);

    result = RunProgram({"--strict", "--all-switches", frontPath});
    EXPECT_EQ(result.status, 4);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("linked table 'Customers'"), std::string::npos);

    jetgen::WriteDatabase(back, folder / "back" / "SALES DATA.MDB");
    result = RunProgram({"--all-switches", "--link-folder", (folder / "back").string(), frontPath});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find("\r\nField - Client's name,"), std::string::npos);

    std::ofstream(folder / "Sales Data.mdb") << "not a database";
    result = RunProgram({"--all-switches", frontPath});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("Sales Data.mdb' cannot be read: "), std::string::npos) << result.err;
    fs::remove_all(folder);
}

#ifdef OSTREL_CLI_SWITCH_STORE
// Without --all-switches the switches the user stored apply.
TEST(Program, UsesTheStoredSwitchesUnlessAllAreAskedFor) {
    const fs::path home =
        fs::temp_directory_path() / ("ostrel2-program-home-" + std::to_string(::getpid()));
    fs::create_directories(home / "config" / "Ostrel2");
    std::ofstream(home / "config" / "Ostrel2" / "Ostrel2.ini")
        << "[Config]\nDatabase Version=False\nDatabase CollatingOrder=True\n";
    const std::string environment = "HOME=" + Quoted(home.string()) +
                                    " XDG_CONFIG_HOME=" + Quoted((home / "config").string()) + " ";
    ProgramResult result = RunProgram({kSample}, environment);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\r\nCollatingOrder,1033\r\n"), std::string::npos);
    EXPECT_EQ(result.out.find("\r\nVersion,"), std::string::npos);

    result = RunProgram({"--all-switches", kSample}, environment);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\r\nVersion,4.0\r\n"), std::string::npos);
    fs::remove_all(home);
}
#endif

}  // namespace
}  // namespace ostrel::cli
